#!/usr/bin/env bash
# Installs what is missing, builds both executables and runs every test, the
# fuzzing smoke run included.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test
scripts/build.sh
ctest --preset linux -j "$(nproc)"
# The native executable and the unit tests again, built with AddressSanitizer and
# UndefinedBehaviorSanitizer; every finding ends its test (the Wine tests need the
# Windows executable, which is not sanitized, and are left out by the preset).
cmake --preset linux-asan >/dev/null
cmake --build --preset linux-asan
ctest --preset linux-asan -j "$(nproc)"
# The concurrency tests (walks on several threads at once) built with
# ThreadSanitizer: only the unit tests are built, and only those tests run.
cmake --preset linux-tsan >/dev/null
cmake --build --preset linux-tsan
ctest --preset linux-tsan -j "$(nproc)"
scripts/analyze.sh
scripts/fuzz-smoke.sh
