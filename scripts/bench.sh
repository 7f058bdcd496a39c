#!/usr/bin/env bash
# Installs what is missing (the benchmarks' own FFTW included), builds the
# "bench" preset into build-bench/ and runs benchmarks. Each speed target is
# checked against an anchor measured in the same run; run on a quiet machine
# and repeat to see the spread.
#   bash scripts/bench.sh                 every benchmark
#   bash scripts/bench.sh math plot       bench_math and bench_plot only
# Further arguments after "--" go to every benchmark program, e.g.
#   bash scripts/bench.sh plot -- --benchmark_filter=zoom --benchmark_repetitions=5
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-bench.sh

names=()
while (($#)) && [ "$1" != "--" ]; do
  names+=("$1")
  shift
done
[ "${1:-}" = "--" ] && shift

if [ ! -f build-bench/build.ninja ]; then
  cmake --preset bench
fi
if ((${#names[@]} == 0)); then
  cmake --build build-bench -j"$(nproc)"
  for b in build-bench/bin/bench_*; do names+=("${b##*/bench_}"); done
else
  targets=()
  for n in "${names[@]}"; do targets+=("bench_$n"); done
  cmake --build build-bench -j"$(nproc)" --target "${targets[@]}"
fi

export QT_QPA_PLATFORM=offscreen
for n in "${names[@]}"; do
  echo "== bench_$n"
  "build-bench/bin/bench_$n" "$@"
done
