#!/usr/bin/env bash
# Configures (once) and builds the default preset into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/build.ninja ]; then
  cmake --preset default
fi
cmake --build build -j"$(nproc)"
