#!/usr/bin/env bash
# Installs what the benchmark needs, builds both executables, times them with
# hyperfine beside the reference points and writes bench/RESULTS.md and
# bench/scaling.svg. Work files go to build/bench/. Takes about ten minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test hyperfine facter gnuplot-nox time strace valgrind

scripts/build.sh Dorvanta dorvanta_test_helper

python3 bench/bench.py "$@"
