#!/usr/bin/env bash
# The parts of the test suite that need builds of their own (called by
# scripts/test.sh): every test program again under ThreadSanitizer, the whole
# suite under the address and undefined-behaviour sanitizers, and every fuzz
# target for a bounded time (scripts/test-fuzz.sh). Only the targets needed
# are built. One step after the other; add a step as a few lines of its own.
# TESMIRA_EXTRA="tsan asan fuzz" (the default) chooses the steps.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="$(nproc)"
steps=" ${TESMIRA_EXTRA:-tsan asan fuzz} "

# The test programs a build folder defines (test_<folder>), one a line.
# grep reads the whole list: with -q it would stop early and the SIGPIPE of
# ninja would fail the pipeline under pipefail.
test_targets() { ninja -C "$1" -t targets all 2>/dev/null | sed -n 's/^\(test_[a-z0-9_]*\): phony$/\1/p' | sort -u; }

# ThreadSanitizer: every test program, each run whole (its threads and the
# ones of its fixtures), the Qt tests and the end-to-end runs of the program
# included. The libraries are not instrumented: what they do in their own
# code (Qt's painting threads) is not looked at, and the program's calls to
# the UI thread go through a handoff the sanitizer sees (gui/ui_thread.h).
if [[ "$steps" == *" tsan "* ]]; then
  if [ ! -f build-tsan/build.ninja ]; then cmake --preset tsan >/dev/null; fi
  mapfile -t tsan_tests < <(test_targets build-tsan)
  ninja -C build-tsan -j"$jobs" "${tsan_tests[@]}"
  for t in "${tsan_tests[@]}"; do
    echo "== $t under ThreadSanitizer"
    (cd build-tsan && TSAN_OPTIONS="halt_on_error=1 ignore_noninstrumented_modules=1 ${TSAN_OPTIONS:-}" \
       bin/"$t" --gtest_brief=1)
  done
fi

# AddressSanitizer and UndefinedBehaviorSanitizer: the whole suite (every
# test case, the Qt tests and the end-to-end runs of the program included).
# The tree is built with clang, which compiles instrumented code in about
# two thirds of gcc's time, and with the fuzzers' coverage, so that the fuzz
# targets below link the same libraries instead of a fourth build of them. The
# system's font library keeps a few hundred bytes to the end of a process
# that uses fonts: not ours to report (scripts/lsan.supp). The report of the
# suppressions used is kept quiet: the end-to-end tests compare the
# program's whole output, and it would be appended to it.
if [[ "$steps" == *" asan "* ]]; then
  if [ ! -f build-asan/build.ninja ]; then cmake --preset asan >/dev/null; fi
  ninja -C build-asan -j"$jobs"
  echo "== the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer"
  ASAN_OPTIONS="detect_leaks=1 ${ASAN_OPTIONS:-}" \
    LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp print_suppressions=0 ${LSAN_OPTIONS:-}" \
    UBSAN_OPTIONS="print_stacktrace=1 halt_on_error=1 ${UBSAN_OPTIONS:-}" \
    ctest --test-dir build-asan --output-on-failure -j"$jobs"
fi

# Fuzz targets: every one for a bounded time (scripts/test-fuzz.sh), from the
# sanitizer tree above.
if [[ "$steps" == *" fuzz "* ]]; then
  FUZZ_DIR=build-asan FUZZ_PRESET=asan bash scripts/test-fuzz.sh
fi
