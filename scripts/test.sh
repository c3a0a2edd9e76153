#!/usr/bin/env bash
# Installs what is missing, builds both executables and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
ctest --preset linux -j "$(nproc)"
