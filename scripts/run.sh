#!/usr/bin/env bash
# Installs what is missing, builds the program (not the tests) and starts it
# with the emulated acquisition driver. Arguments are passed to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
if [ ! -f build/build.ninja ]; then
  cmake --preset default
fi
cmake --build build -j"$(nproc)" --target tesmira
exec build/bin/tesmira "$@"
