#!/usr/bin/env bash
# Installs what is missing, builds both executables and runs every test, the
# fuzzing smoke run included.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
ctest --preset linux -j "$(nproc)"
scripts/fuzz-smoke.sh
