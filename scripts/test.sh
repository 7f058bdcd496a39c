#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite: every unit
# and end-to-end test, the threaded tests again under ThreadSanitizer, and the
# fuzz targets for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
if [ -x scripts/test-extra.sh ] && [ "${TESMIRA_SKIP_EXTRA:-0}" != 1 ]; then
  bash scripts/test-extra.sh
fi
# Last, so that its summary closes the output.
ctest --test-dir build --output-on-failure -j"$(nproc)"
