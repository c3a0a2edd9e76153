#!/usr/bin/env bash
# Builds the native executable (with its unit tests) and the Windows executable;
# with target names as arguments, only those targets of both builds.
set -euo pipefail
cd "$(dirname "$0")/.."
targets=()
(($# == 0)) || targets=(--target "$@")
cmake --preset linux >/dev/null
cmake --build --preset linux "${targets[@]}"
cmake --preset windows >/dev/null
cmake --build --preset windows "${targets[@]}"
