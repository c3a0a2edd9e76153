#!/usr/bin/env bash
# Installs what the benchmark needs, builds both executables, times them with
# hyperfine beside the reference points and writes bench/RESULTS.md and
# bench/scaling.svg. Work files go to build/bench/. Takes about ten minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

packages=(hyperfine facter gnuplot-nox time strace valgrind)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake --preset linux >/dev/null
cmake --build --preset linux --target Dorvanta dorvanta_test_helper
cmake --preset windows >/dev/null
cmake --build --preset windows --target Dorvanta dorvanta_test_helper

python3 bench/bench.py "$@"
