#!/usr/bin/env bash
# The parts of the test suite that need builds of their own (called by
# scripts/test.sh): the threaded tests (label "threads") again under
# ThreadSanitizer, and every fuzz target for a bounded time
# (scripts/test-fuzz.sh). Only the targets needed are built. One step after
# the other; add a step as a few lines of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="$(nproc)"

# grep reads the whole list: with -q it would stop early and the SIGPIPE of
# ninja would fail the pipeline under pipefail.
has_target() { ninja -C "$1" -t targets all 2>/dev/null | grep "^$2:" >/dev/null; }

# ThreadSanitizer: the test executables registered with the "threads" label.
if [ ! -f build-tsan/build.ninja ]; then cmake --preset tsan >/dev/null; fi
threaded=(test_curves test_channels test_measure test_comedi)
for t in "${threaded[@]}"; do
  if has_target build-tsan "$t"; then
    ninja -C build-tsan -j"$jobs" "$t"
    echo "== $t under ThreadSanitizer"
    TSAN_OPTIONS="halt_on_error=1 ${TSAN_OPTIONS:-}" build-tsan/bin/"$t"
  fi
done

# Fuzz targets: every one for a bounded time (scripts/test-fuzz.sh).
bash scripts/test-fuzz.sh
