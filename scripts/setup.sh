#!/usr/bin/env bash
# Installs (as root, with apt-get) whatever the build and the tests need and
# is not on the machine yet. Safe to run again: it installs only what is missing.
# Package names given as arguments are installed too (what only the
# benchmarks need, for one: scripts/setup-bench.sh).
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgl1-mesa-dev
          libgtest-dev libgmock-dev googletest libbenchmark-dev clang
          libclang-rt-dev python3 locales
          qt6-svg-dev qt6-multimedia-dev libcomedi-dev poppler-utils "$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "scripts/setup.sh: these packages are missing and installing them needs root" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
