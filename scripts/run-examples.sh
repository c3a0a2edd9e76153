#!/usr/bin/env bash
# Installs what is missing, builds the native executable and runs it on every
# example INI file with /VERBOSE, from the folder build/examples/, which gets the
# logs and whatever the examples write.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset linux >/dev/null
cmake --build --preset linux --target Dorvanta
mkdir -p build/examples
cd build/examples
status=0
for ini in ../../examples/*.ini; do
  name=$(basename "$ini" .ini)
  echo "### examples/$name.ini"
  ../linux/src/Dorvanta "$ini" "$name.log" /VERBOSE || status=$?
  echo
done
exit "$status"
