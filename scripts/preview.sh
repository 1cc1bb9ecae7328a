#!/usr/bin/env bash
# Renders a settings file through the real Ostrivane.dll, loaded by the stand-in host under Wine,
# over a background that looks like a modelling viewport, and writes a PNG.
#
#   scripts/preview.sh [options]
#
#   --settings FILE   the settings file (default: examples/Ostrivane.ini)
#   --output FILE     the PNG to write (default: out/preview.png)
#   --size WxH        the viewport size in pixels (default: 640x480)
#   --camera NAME     the active view's camera: perspective, top, left, right, front, back,
#                     bottom or free (default: perspective)
#   --mode MODE       selection mode: face, edge, vertex or none (default: face)
#   --faces N, --edges N, --vertices N
#                     selected counts (default: 12, 30, 20)
#   --page N          show page N (default: 1)
#   --switch          press "Ostrivane Switch" first, for files that start hidden
#                     (DISPLAY_ONSTART missing or 0)
#
# Installs what is missing and builds the Windows half first (in build/, or $OSTRIVANE_BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OSTRIVANE_BUILD_DIR:-$root/build}

settings=$root/examples/Ostrivane.ini
output=$root/out/preview.png
size=640x480
camera=perspective
mode=face
faces=12 edges=30 vertices=20
page=1
switch=0
while [ $# -gt 0 ]; do
  case $1 in
    --settings) settings=$2; shift 2 ;;
    --output) output=$2; shift 2 ;;
    --size) size=$2; shift 2 ;;
    --camera) camera=$2; shift 2 ;;
    --mode) mode=$2; shift 2 ;;
    --faces) faces=$2; shift 2 ;;
    --edges) edges=$2; shift 2 ;;
    --vertices) vertices=$2; shift 2 ;;
    --page) page=$2; shift 2 ;;
    --switch) switch=1; shift ;;
    -h|--help) sed -n '2,21p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "preview: unknown option $1 (see --help)" >&2; exit 2 ;;
  esac
done
if [[ ! $size =~ ^([0-9]+)x([0-9]+)$ ]]; then echo "preview: --size takes WxH, e.g. 1280x960" >&2; exit 2; fi
width=${BASH_REMATCH[1]} height=${BASH_REMATCH[2]}
if [[ ! $page =~ ^[1-5]$ ]]; then echo "preview: --page takes 1 to 5" >&2; exit 2; fi
if [ ! -f "$settings" ]; then echo "preview: settings file $settings not found" >&2; exit 2; fi
settings=$(cd "$(dirname "$settings")" && pwd)/$(basename "$settings")
mkdir -p "$(dirname "$output")"
output=$(cd "$(dirname "$output")" && pwd)/$(basename "$output")

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target win32 >/dev/null

steps=("viewport $width $height" "background viewport" "camera $camera" "selmode $mode"
       "faces $faces" "edges $edges" "vertices $vertices" frame)
[ "$switch" = 1 ] && steps+=("run 1")
for ((i = 1; i < page; i++)); do steps+=("run 2"); done
steps+=(frame "save $(basename "$output")")

"$root/tests/wine/run-wine.sh" "$build/wineprefix" --display \
  "$build/win32/tools/standin_host/standin_host.exe" --plugin "$build/win32/Ostrivane.dll" \
  --settings "$settings" --output "$(dirname "$output")" "${steps[@]}"
echo "preview: wrote $output"
