#!/usr/bin/env bash
# Installs (as root, with apt-get) what only the benchmarks need: FFTW, the
# reference the FFT benchmark measures the program's transform against. The
# program and the tests never use it, so scripts/setup.sh does not install it.
set -euo pipefail

packages=(libfftw3-dev pkg-config)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "scripts/setup-bench.sh: these packages are missing and installing them needs root" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
