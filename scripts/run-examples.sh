#!/usr/bin/env bash
# Installs what building and running the native executables needs, where missing,
# builds them (preset linux-app: no tests) and runs Dorvanta on every example INI
# file with /VERBOSE, from the folder build/examples/, which gets the logs and
# whatever the examples write.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run
cmake --preset linux-app >/dev/null
cmake --build --preset linux-app --target Dorvanta dvtool
mkdir -p build/examples
cd build/examples
status=0
for ini in ../../examples/*.ini; do
  name=$(basename "$ini" .ini)
  echo "### examples/$name.ini"
  ../linux-app/src/Dorvanta "$ini" "$name.log" /VERBOSE || status=$?
  echo
done
exit "$status"
