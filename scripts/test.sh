#!/usr/bin/env bash
# Installs what is missing, builds the native and the Windows halves, and runs the whole suite:
# unit tests, the settings-reader differential test and the end-to-end tests under Wine.
#   scripts/test.sh [extra ctest arguments]
# The build goes to build/ (or $OSTRIVANE_BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OSTRIVANE_BUILD_DIR:-$root/build}

"$root/scripts/setup.sh"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" "$@"
