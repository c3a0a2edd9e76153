#!/usr/bin/env bash
# Static analysis: clang-tidy (configuration in .clang-tidy) over the Linux and
# the Windows sources, and cppcheck over src/; every finding fails the run.
# Needs the compile databases of the linux and windows presets (configured
# here when missing); scripts/setup.sh test installs clang-tidy and cppcheck.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${ANALYZE_JOBS:-2}
for preset in linux windows; do
  [ -f "build/$preset/compile_commands.json" ] || cmake --preset "$preset" >/dev/null
done

# The product and the helper program; the unit tests and fakes are left out
# (GoogleTest's macros are not written for these checks).
files='/(src|tests/helper)/.*\.cpp$'
status=0

# clang-tidy's lines without terminal colours, less the counts of warnings in
# system headers that it suppressed anyway.
filter() { sed -r 's/\x1b\[[0-9;]*m//g' | grep -vE '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' || true; }

# clang-tidy over the compile database of preset $1, with the further arguments
# given; its output goes to build/clang-tidy-$1.log.
tidy() {
  local preset=$1 log="build/clang-tidy-$1.log"
  shift
  run-clang-tidy-14 -p "build/$preset" -j "$jobs" -quiet "$@" "$files" 2>&1 | filter >"$log" || true
  # run-clang-tidy reports a failing file with its command line; a finding is an error.
  if grep -qE '(error|warning): ' "$log"; then
    grep -E '(error|warning): ' "$log" | sort -u
    status=1
  fi
}

echo "== clang-tidy: Linux sources"
tidy linux

echo "== clang-tidy: Windows sources (MinGW-w64 headers)"
# clang takes the MinGW-w64 target; the C++ library headers are those of the
# MinGW g++ that builds the executable, in its search order (its own compiler
# headers excepted: clang brings its own).
mingw_gxx=x86_64-w64-mingw32-g++-posix
windows_args=(-extra-arg=--target=x86_64-w64-mingw32)
while read -r dir; do
  case "$dir" in
    */include | */include-fixed) ;;
    *) windows_args+=("-extra-arg=-isystem$dir") ;;
  esac
done < <(echo | "$mingw_gxx" -E -x c++ - -v 2>&1 |
  sed -n '/#include <...> search starts here/,/End of search list/p' | sed -n 's/^ //p')
windows_args+=("-extra-arg=-isystem/usr/x86_64-w64-mingw32/include")
tidy windows "${windows_args[@]}"

echo "== cppcheck: src/"
# Both platforms' sources; the suppressions file gives each false positive's reason.
if ! cppcheck --quiet --std=c++20 --language=c++ --enable=warning,style,performance,portability \
  --inline-suppr --suppressions-list=.cppcheck-suppressions --error-exitcode=1 \
  -j "$jobs" -I src src; then
  status=1
fi

if ((status)); then
  echo "static analysis: findings above"
else
  echo "static analysis: clean"
fi
exit "$status"
