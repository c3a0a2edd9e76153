#!/usr/bin/env bash
# Builds the native executable (with its unit tests) and the Windows executable.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset linux >/dev/null
cmake --build --preset linux
cmake --preset windows >/dev/null
cmake --build --preset windows
