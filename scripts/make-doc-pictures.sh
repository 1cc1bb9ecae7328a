#!/usr/bin/env bash
# Makes the README's pictures of HUD_UNITS with the preview: docs/units-screen.ini and
# docs/units-pixels.ini drawn by the real DLL in one of four views (640x400) and in views of
# 1280x960 and 2560x1440, into docs/units-<units>-<size>.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
for units in screen pixels; do
  for size in 640x400 1280x960 2560x1440; do
    "$root/scripts/preview.sh" --size "$size" "$root/docs/units-$units.ini" "$root/docs/units-$units-$size.png"
    export OSTRIVANE_PREVIEW_BUILT=1  # built once is enough
  done
done
