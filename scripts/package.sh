#!/usr/bin/env bash
# Makes the release for Windows users: out/Ostrivane-<version>-win32.zip, one folder with the
# plug-in, its settings file, the settings check, the preview and their documents.
#   scripts/package.sh
# Installs what is missing, then builds the Windows half in Release in build/package (or
# $OSTRIVANE_PACKAGE_BUILD_DIR) and packs it with CPack. The version is the project's, in the
# top CMakeLists.txt.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OSTRIVANE_PACKAGE_BUILD_DIR:-$root/build/package}

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" >/dev/null
cmake --build "$build" --target Ostrivane settings_dump standin_host >/dev/null
mkdir -p "$root/out"
(cd "$build" && cpack -G ZIP -B "$root/out" >/dev/null)
rm -rf "$root/out/_CPack_Packages"
zip=$(ls -t "$root"/out/Ostrivane-*-win32.zip | head -n 1)
echo "package: wrote $zip"
