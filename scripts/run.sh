#!/usr/bin/env bash
# Installs what is missing, builds and starts the program with the emulated
# acquisition driver. Arguments are passed to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
exec build/bin/tesmira "$@"
