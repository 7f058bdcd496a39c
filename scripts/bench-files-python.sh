#!/usr/bin/env bash
# Compares the data-file benchmark with the usual Python tools on the very
# same file: pandas.read_csv against our load, numpy.savetxt against our
# save. pandas and numpy are installed here only (Debian packages); the
# program does not need them.
#   BENCH_DIR   build folder of the benchmarks (default build-bench, made
#               with the "bench" preset when it has no bench_files yet)
set -euo pipefail
cd "$(dirname "$0")/.."
BENCH_DIR=${BENCH_DIR:-build-bench}

bash scripts/setup-bench.sh python3-pandas python3-numpy
if [ ! -x "$BENCH_DIR/bin/bench_files" ]; then
  if [ ! -f "$BENCH_DIR/build.ninja" ]; then
    cmake -S . -B "$BENCH_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESMIRA_BENCH=ON \
      -DTESMIRA_TESTS=OFF -DTESMIRA_GUI=OFF
  fi
  cmake --build "$BENCH_DIR" --target bench_files -j"$(nproc)"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
TESMIRA_BENCH_KEEP_DIR="$work" "$BENCH_DIR/bin/bench_files" \
  --benchmark_filter='BM_(Save|Load)DataFile' --benchmark_min_time=1 \
  --benchmark_format=json >"$work/ours.json"

# Debian's interpreter: the packages above are installed for it.
/usr/bin/python3 - "$work" <<'PY'
import json, os, sys, time
import numpy as np
import pandas as pd

work = sys.argv[1]
dat = os.path.join(work, "family.dat")
size = os.path.getsize(dat)
ours = {b["name"].split("/")[0]: b["real_time"] / 1e3  # milliseconds -> seconds
        for b in json.load(open(os.path.join(work, "ours.json")))["benchmarks"]}

def best(fn, runs=3):
    times = []
    for _ in range(runs):
        t = time.perf_counter()
        result = fn()
        times.append(time.perf_counter() - t)
    return min(times), result

read_s, frame = best(lambda: pd.read_csv(dat, sep="\t", header=None))
values = frame.to_numpy(dtype=np.float64)
out = os.path.join(work, "numpy.dat")
write_s, _ = best(lambda: np.savetxt(out, values, fmt="%12.8g", delimiter="\t", newline="\r\n"))

mb = size / 1e6
print(f"data file: {mb:.1f} MB, {values.shape[0]} rows x {values.shape[1]} columns")
print(f"load: Tesmira {ours['BM_LoadDataFile']:.3f} s ({mb / ours['BM_LoadDataFile']:.0f} MB/s), "
      f"pandas.read_csv {read_s:.3f} s ({mb / read_s:.0f} MB/s): "
      f"pandas takes {read_s / ours['BM_LoadDataFile']:.1f} x as long")
print(f"save: Tesmira {ours['BM_SaveDataFile']:.3f} s ({mb / ours['BM_SaveDataFile']:.0f} MB/s), "
      f"numpy.savetxt {write_s:.3f} s ({mb / write_s:.0f} MB/s): "
      f"numpy takes {write_s / ours['BM_SaveDataFile']:.1f} x as long")
same = open(out, "rb").read() == open(dat, "rb").read()
print("numpy.savetxt wrote the same bytes as Tesmira" if same else
      "numpy.savetxt text differs from Tesmira's (it is not the same writer)")
PY
