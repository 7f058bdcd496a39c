#!/usr/bin/env bash
# Builds every fuzz target (fuzz/<name>.cpp gives fuzz_<name>, "fuzz"
# preset) and runs each for its share of TESMIRA_FUZZ_SECONDS (default 60 in
# all). A crash, a leak, an input running longer than 10 s or a process
# growing beyond 2 GB fails the run; the input is kept in fuzz-corpus-tmp/.
# A fuzz/<name>.dict beside a target is its dictionary, fuzz/seeds/<name>/
# holds inputs to start from. FUZZ_DIR and FUZZ_PRESET name another build
# folder and the preset that configures it (default build-fuzz and "fuzz";
# the "asan" preset builds the fuzz targets too).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="$(nproc)"
dir="${FUZZ_DIR:-build-fuzz}"
preset="${FUZZ_PRESET:-fuzz}"

shopt -s nullglob
sources=(fuzz/*.cpp)
((${#sources[@]})) || exit 0
if [ ! -f "$dir/build.ninja" ]; then cmake --preset "$preset" >/dev/null; fi
names=()
for src in "${sources[@]}"; do names+=("fuzz_$(basename "$src" .cpp)"); done
ninja -C "$dir" -j"$jobs" "${names[@]}"

total="${TESMIRA_FUZZ_SECONDS:-60}"
seconds=$(( total / ${#names[@]} ))
((seconds > 0)) || seconds=1
for name in "${names[@]}"; do
  corpus="fuzz-corpus-tmp/$name"
  mkdir -p "$corpus"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -detect_leaks=1
           -artifact_prefix="fuzz-corpus-tmp/$name-")
  dict="fuzz/${name#fuzz_}.dict"
  [ -f "$dict" ] && options+=(-dict="$dict")
  seeds="fuzz/seeds/${name#fuzz_}"
  [ -d "$seeds" ] || seeds=()
  echo "== $name for ${seconds}s"
  log="$dir/$name.log"
  if ! "$dir/bin/$name" "${options[@]}" "$corpus" ${seeds[@]+"${seeds[@]}"} >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "$name failed (the input is saved in fuzz-corpus-tmp/)" >&2
    exit 1
  fi
  grep '^Done' "$log" || true
done
