#!/usr/bin/env bash
# Installs (as root, with apt-get) what the benchmarks need: what the build
# needs, FFTW, the reference the FFT benchmark measures the program's
# transform against, and any package named as an argument. The program and
# the tests never use FFTW, so scripts/setup.sh alone does not install it.
set -euo pipefail
exec bash "$(dirname "$0")/setup.sh" libfftw3-dev "$@"
