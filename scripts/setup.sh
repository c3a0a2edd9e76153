#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, and any further
# packages named as arguments, where missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config python3  # native build and the test runner
  libgtest-dev                              # unit tests
  libicu-dev libudev-dev                    # Linux language facts and device list
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64  # the Windows executable
  wine wine64                               # running the Windows executable in the tests
  locales                                   # locale sources for the tests under other LANGs
  liblnk-utils desktop-file-utils           # reading back the shortcuts the tests write
  clang-tidy-14 cppcheck                    # static analysis (scripts/analyze.sh)
  clang-14 libclang-rt-14-dev               # the libFuzzer targets (scripts/fuzz-smoke.sh)
)

packages+=("$@")

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
