#!/usr/bin/env bash
# Installs what the benchmark needs, builds both executables of both builds and
# the Dorvanta of the commit before the device list was read once between
# actions, times them with hyperfine beside the reference points and writes
# bench/RESULTS.md and bench/scaling.svg. Work files go to build/bench/. Takes
# about fifteen minutes. With --check it times only "dvtool check" (a minute)
# and writes that section of bench/RESULTS.md anew, and likewise with --summarize
# "dvtool summarize" of 100,000 generated records, and with --plan "dvtool plan"
# of generated fleets of 3,000 and 100,000 machines beside the floor of reading
# their documents (facts_floor, built here) and the loop of explain runs (some
# ten minutes; the fleets need 3 GB of disk for a while); with --record-only,
# only dvtool run with and without --record (two minutes), whose section it
# replaces.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test hyperfine facter gnuplot-nox time strace valgrind linux-perf \
  libsimdjson-dev

if [ "${1:-}" = --plan ]; then
  cmake --preset linux >/dev/null
  cmake --build --preset linux --target dvtool facts_floor
  exec python3 bench/bench.py "$@"
fi

if [ "${1:-}" = --check ] || [ "${1:-}" = --summarize ]; then
  cmake --preset linux >/dev/null
  cmake --build --preset linux --target dvtool
  exec python3 bench/bench.py "$@"
fi

scripts/build.sh Dorvanta dvtool dorvanta_test_helper

# The parent of the merge "devices cross the platform line as data, read once
# between actions": the driver pack's figures before the change. Built once
# into build/bench-before/ from the history; a clone without it skips them.
before=8eb605f337cd15e13a97d0081d861325e90c0ec2
dir=build/bench-before
if git cat-file -e "$before^{commit}" 2>/dev/null; then
  if [ "$(cat "$dir/commit" 2>/dev/null)" != "$before" ]; then
    rm -rf "$dir"
    mkdir -p "$dir/source"
    git archive "$before" | tar -x -C "$dir/source"
    echo "$before" >"$dir/commit"
  fi
  cmake -S "$dir/source" -B "$dir/linux" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DDORVANTA_BUILD_TESTS=OFF >/dev/null
  cmake --build "$dir/linux" --target Dorvanta
  cmake -S "$dir/source" -B "$dir/windows" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DDORVANTA_BUILD_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/$dir/source/cmake/mingw-w64-x86_64.cmake" >/dev/null
  cmake --build "$dir/windows" --target Dorvanta
else
  echo "commit $before is not in this clone: the driver pack runs without the earlier build" >&2
fi

python3 bench/bench.py "$@"
