#!/usr/bin/env bash
# Installs what is missing, builds the native executable and runs it on every
# example INI file with /VERBOSE, each with its log in build/examples/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset linux >/dev/null
cmake --build --preset linux --target Dorvanta
mkdir -p build/examples
status=0
for ini in examples/*.ini; do
  name=$(basename "$ini" .ini)
  echo "### $ini"
  build/linux/src/Dorvanta "$ini" "build/examples/$name.log" /VERBOSE || status=$?
  echo
done
exit "$status"
