#!/usr/bin/env bash
# The parts of the test suite that need builds of their own (called by
# scripts/test.sh): the threaded tests (label "threads") again under
# ThreadSanitizer, and every fuzz target for a bounded time
# (TESMIRA_FUZZ_SECONDS each, default 15). Only the targets needed are built.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="$(nproc)"

has_target() { ninja -C "$1" -t targets all 2>/dev/null | grep -q "^$2:"; }

# ThreadSanitizer: the test executables registered with the "threads" label.
if [ ! -f build-tsan/build.ninja ]; then cmake --preset tsan >/dev/null; fi
threaded=(test_channels test_measure)
for t in "${threaded[@]}"; do
  if has_target build-tsan "$t"; then
    ninja -C build-tsan -j"$jobs" "$t"
    echo "== $t under ThreadSanitizer"
    TSAN_OPTIONS="halt_on_error=1 ${TSAN_OPTIONS:-}" build-tsan/bin/"$t"
  fi
done

# Fuzz targets: fuzz/<name>.cpp builds fuzz_<name>.
shopt -s nullglob
sources=(fuzz/*.cpp)
if ((${#sources[@]})); then
  if [ ! -f build-fuzz/build.ninja ]; then cmake --preset fuzz >/dev/null; fi
  seconds="${TESMIRA_FUZZ_SECONDS:-15}"
  for src in "${sources[@]}"; do
    name="fuzz_$(basename "$src" .cpp)"
    ninja -C build-fuzz -j"$jobs" "$name"
    corpus="fuzz-corpus-tmp/$name"
    mkdir -p "$corpus"
    echo "== $name for ${seconds}s"
    log="build-fuzz/$name.log"
    if ! build-fuzz/bin/"$name" -max_total_time="$seconds" -artifact_prefix="fuzz-corpus-tmp/" \
        "$corpus" >"$log" 2>&1; then
      tail -n 60 "$log"
      echo "$name failed (the input is saved in fuzz-corpus-tmp/)" >&2
      exit 1
    fi
    grep '^Done' "$log" || true
  done
fi
