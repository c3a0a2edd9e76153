#!/usr/bin/env bash
# Installs what is missing, builds the two executables of each platform (presets
# linux-app and windows) and makes the release packages in build/packages/:
# dorvanta_<version>_<arch>.deb and Dorvanta-<version>-win64.zip.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh package
out="$PWD/build/packages"
for preset in linux-app windows; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target Dorvanta dvtool
  cpack --config "build/$preset/CPackConfig.cmake" -B "$out"
done
rm -rf "$out/_CPack_Packages"
ls -l "$out"/*.deb "$out"/*.zip
