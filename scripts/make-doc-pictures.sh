#!/usr/bin/env bash
# Makes the README's pictures with the preview: of HUD_UNITS and FONT_SCALE, docs/units-screen.ini,
# docs/units-pixels.ini and docs/units-view.ini (SCREEN with FONT_SCALE=VIEW) drawn by the real
# DLL in one of four views (640x400) and in views of 1280x960 and 2560x1440, into
# docs/units-<units>-<size>.png; of a page in several scripts, docs/scripts.ini, into
# docs/scripts.png; and of a Russian and a Japanese page saved as UTF-8 and as the system's ANSI
# code page (docs/ru-*.ini, docs/ja-*.ini; natively the tests' lever stands for that system).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
for units in screen pixels view; do
  for size in 640x400 1280x960 2560x1440; do
    # Status 1 is a picture made of a file with warnings: the overlapping rows are the point.
    "$root/scripts/preview.sh" --size "$size" "$root/docs/units-$units.ini" "$root/docs/units-$units-$size.png" ||
      [ $? -eq 1 ]
    export OSTRIVANE_PREVIEW_BUILT=1  # built once is enough
  done
done
"$root/scripts/preview.sh" --size 480x160 "$root/docs/scripts.ini" "$root/docs/scripts.png"
for page in ru-utf8 ja-utf8; do "$root/scripts/preview.sh" --size 400x100 "$root/docs/$page.ini" "$root/docs/$page.png"; done
OSTRIVANE_TEST_CODE_PAGE=1251 "$root/scripts/preview.sh" --size 400x100 "$root/docs/ru-ansi-1251.ini" "$root/docs/ru-ansi-1251.png"
OSTRIVANE_TEST_CODE_PAGE=932 "$root/scripts/preview.sh" --size 400x100 "$root/docs/ja-ansi-932.ini" "$root/docs/ja-ansi-932.png"
