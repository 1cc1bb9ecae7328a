#!/usr/bin/env bash
# Renders a settings file through the real Ostrivane.dll, loaded by the stand-in host under Wine,
# over a background that looks like a modelling viewport, and writes a PNG.
#
#   scripts/preview.sh [options] [SETTINGS.ini [PICTURE.png]]
#
# It takes the options of the release's preview.bat, checks them and says the same things, as
# both run the stand-in host's preview: scripts/preview.sh --help lists them. Here the settings
# file defaults to examples/Ostrivane.ini and the picture to out/preview.png.
#
# Installs what is missing and builds the Windows half first (in build/, or $OSTRIVANE_BUILD_DIR;
# with OSTRIVANE_PREVIEW_BUILT=1 that build is used as it is, as the test suite does). On a machine
# that cannot run Wine's 32-bit programs (a kernel without its 32-bit support) it says so and draws
# with the native build of the same sources instead.
# Exit status: 0 picture made, 1 warnings or no overlay in the picture, 2 bad input (no picture).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OSTRIVANE_BUILD_DIR:-$root/build}

if [ "${OSTRIVANE_PREVIEW_BUILT:-0}" != 1 ]; then
  "$root/scripts/setup.sh"
  cmake -S "$root" -B "$build" -G Ninja >/dev/null
fi

if ! wine --version >/dev/null 2>&1; then
  echo "preview: this machine cannot run Wine's 32-bit programs (its kernel has no 32-bit support):" \
    "drawing with the native build of the same sources instead of Ostrivane.dll" >&2
  if [ "${OSTRIVANE_PREVIEW_BUILT:-0}" != 1 ]; then
    cmake --build "$build" --target standin_host Ostrivane >/dev/null
  fi
  exec "$build/tools/standin_host/standin_host" --preview "$0" --plugin "$build/Ostrivane.so" \
    --default-settings "$root/examples/Ostrivane.ini" --default-output "$root/out/preview.png" "$@"
fi

if [ "${OSTRIVANE_PREVIEW_BUILT:-0}" != 1 ]; then
  cmake --build "$build" --target win32 >/dev/null
fi

exec "$root/tests/wine/run-wine.sh" "$build/wineprefix" --display "$build/win32/tools/standin_host/standin_host.exe" \
  --preview "$0" --plugin "$build/win32/Ostrivane.dll" \
  --default-settings "$root/examples/Ostrivane.ini" --default-output "$root/out/preview.png" "$@"
