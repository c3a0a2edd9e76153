#!/usr/bin/env bash
# Installs the Debian packages of one set, and any further packages named after
# it, where missing:
#   run      building and running the native executables (scripts/run-examples.sh)
#   package  run, and building the release packages (scripts/package.sh)
#   test     package, and everything the tests need (scripts/test.sh)
set -euo pipefail

run=(
  cmake ninja-build g++ pkg-config  # the native build
  libicu-dev libudev-dev            # Linux language facts and device list
  nlohmann-json3-dev                # dvtool's JSON (written, and read but for facts documents)
  rapidjson-dev                     # the reader of facts documents (header-only)
  dpkg-dev                          # the native build's hardening flags (dpkg-buildflags)
)
package=(
  "${run[@]}"
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64  # the Windows executables
  file                                                  # CPack finds the .deb's dependencies
)
test=(
  "${package[@]}"
  python3 python3-jsonschema          # the test runner, its JSON Schema checks
  python3-junitparser                 # reading back dvtool test's JUnit reports
  libgtest-dev                        # unit tests
  wine wine64                         # running the Windows executables in the tests
  locales                             # locale sources for the tests under other LANGs
  liblnk-utils desktop-file-utils     # reading back the shortcuts the tests write
  lintian                             # checking the .deb
  ansible-core ansible-lint           # the Ansible role's run against local hosts, its lint
  ansible                             # the collections, ansible.windows among them, for its
                                      # Windows tasks' syntax check
  clang-tidy-14 cppcheck              # static analysis (scripts/analyze.sh)
  clang-14 libclang-rt-14-dev         # the libFuzzer targets (scripts/fuzz-smoke.sh)
  chromium                            # loading dvtool summarize's HTML page in a real browser
)

case "${1:-}" in
  run) packages=("${run[@]}") ;;
  package) packages=("${package[@]}") ;;
  test) packages=("${test[@]}") ;;
  *)
    echo "usage: $0 run|package|test [further packages...]" >&2
    exit 2
    ;;
esac
shift
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
