#!/usr/bin/env bash
# Renders a settings file through the real Ostrivane.dll, loaded by the stand-in host under Wine,
# over a background that looks like a modelling viewport, and writes a PNG.
#
#   scripts/preview.sh [options]
#
#   --settings FILE   the settings file (default: examples/Ostrivane.ini)
#   --output FILE     the PNG to write (default: out/preview.png)
#   --size WxH        the viewport size in pixels, each 1-4096 (default: 640x480)
#   --camera NAME     the active view's camera: perspective, top, left, right, front, back,
#                     bottom or free (default: perspective)
#   --mode MODE       selection mode: face, edge, vertex or none (default: face)
#   --faces N, --edges N, --vertices N
#                     selected counts, whole numbers of 0 or more (default: 12, 30, 20)
#   --page N          show page N, 1-5 (default: 1), reached by pressing Next Page; past the
#                     file's last page it wraps around to the first, as Next Page does
#   --switch          press "Ostrivane Switch" first, for files that start hidden
#                     (DISPLAY_ONSTART missing or 0)
#   --help            this text
#
# The settings file is checked first and its warnings are printed. Installs what is missing and
# builds the Windows half first (in build/, or $OSTRIVANE_BUILD_DIR; with OSTRIVANE_PREVIEW_BUILT=1
# that build is used as it is, as the test suite does).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OSTRIVANE_BUILD_DIR:-$root/build}

usage_error() {
  echo "preview: $*" >&2
  echo "preview: see scripts/preview.sh --help" >&2
  exit 2
}

settings=$root/examples/Ostrivane.ini
output=$root/out/preview.png
size=640x480
camera=perspective
mode=face
faces=12 edges=30 vertices=20
page=1
switch=0
cameras="perspective top left right front back bottom free"
modes="face edge vertex none"
while [ $# -gt 0 ]; do
  option=$1
  case $option in
    -h|--help) awk 'NR > 1 && /^#/ {sub(/^# ?/, ""); print; next} NR > 1 {exit}' "$0"; exit 0 ;;
    --switch) switch=1; shift; continue ;;
    --settings|--output|--size|--camera|--mode|--faces|--edges|--vertices|--page)
      if [ $# -lt 2 ] || [[ $2 == --* ]]; then usage_error "$option needs a value"; fi
      value=$2; shift 2 ;;
    *) usage_error "unknown option $option" ;;
  esac
  case $option in
    --settings) settings=$value ;;
    --output) output=$value ;;
    --size) size=$value ;;
    --camera) camera=$value ;;
    --mode) mode=$value ;;
    --faces) faces=$value ;;
    --edges) edges=$value ;;
    --vertices) vertices=$value ;;
    --page) page=$value ;;
  esac
done

if [[ ! $size =~ ^([0-9]+)x([0-9]+)$ ]]; then usage_error "--size takes WxH, e.g. 1280x960, not \"$size\""; fi
width=$((10#${BASH_REMATCH[1]})) height=$((10#${BASH_REMATCH[2]}))
if [ "$width" -lt 1 ] || [ "$width" -gt 4096 ] || [ "$height" -lt 1 ] || [ "$height" -gt 4096 ]; then
  usage_error "--size takes a width and a height from 1 to 4096, not $size"
fi
if [[ " $cameras " != *" $camera "* ]]; then usage_error "--camera takes one of: $cameras (not \"$camera\")"; fi
if [[ " $modes " != *" $mode "* ]]; then usage_error "--mode takes one of: $modes (not \"$mode\")"; fi
for name in faces edges vertices; do
  count=${!name}
  if [[ ! $count =~ ^[0-9]{1,9}$ ]]; then usage_error "--$name takes a whole number of 0 or more, not \"$count\""; fi
done
if [[ ! $page =~ ^[1-5]$ ]]; then
  usage_error "--page takes 1 to 5, not \"$page\": a file has at most 5 pages, and Next Page wraps from the last one to the first"
fi
if [ -d "$settings" ]; then usage_error "settings file $settings is a directory"; fi
if [ ! -e "$settings" ]; then usage_error "settings file $settings not found"; fi
if [ ! -r "$settings" ]; then usage_error "settings file $settings cannot be read"; fi
if [ -d "$output" ]; then usage_error "output $output is a directory: name the PNG file to write"; fi
settings=$(cd "$(dirname "$settings")" && pwd)/$(basename "$settings")
mkdir -p "$(dirname "$output")"
output=$(cd "$(dirname "$output")" && pwd)/$(basename "$output")

if [ "${OSTRIVANE_PREVIEW_BUILT:-0}" != 1 ]; then
  "$root/scripts/setup.sh"
  cmake -S "$root" -B "$build" -G Ninja >/dev/null
  cmake --build "$build" --target win32 >/dev/null
fi

run_wine() { "$root/tests/wine/run-wine.sh" "$build/wineprefix" "$@"; }

# What the plug-in makes of the file, and what in it does not do what it seems to.
dump=$(cd "$(dirname "$settings")" &&
       run_wine "$build/win32/tools/settings_dump/settings_dump.exe" "$(basename "$settings")" | tr -d '\r') || true
grep ': \(warning\|error\): ' <<<"$dump" >&2 || true

steps=("viewport $width $height" "background viewport" "camera $camera" "selmode $mode"
       "faces $faces" "edges $edges" "vertices $vertices" frame)
[ "$switch" = 1 ] && steps+=("run 1")
for ((i = 1; i < page; i++)); do steps+=("run 2"); done
steps+=(frame "save $(basename "$output")" count-drawn)

host_output=$(run_wine --display "$build/win32/tools/standin_host/standin_host.exe" \
  --plugin "$build/win32/Ostrivane.dll" --settings "$settings" --output "$(dirname "$output")" "${steps[@]}" | tr -d '\r')
echo "preview: wrote $output"

# A picture without the overlay: say why.
drawn=$(sed -n 's/^standin_host: the plug-in drew \([0-9]*\) pixels$/\1/p' <<<"$host_output")
if [ "${drawn:-0}" = 0 ]; then
  pages=$(sed -n 's/^pages: \([0-9]*\)$/\1/p' <<<"$dump" | head -n 1)
  pages=${pages:-0}
  if grep -q 'DISPLAY_ONSTART *= shown on start' <<<"$dump"; then shown=1; else shown=0; fi
  shown_page=$(( pages > 0 ? (page - 1) % pages + 1 : 0 ))
  if [ "$pages" = 0 ]; then
    why="the file has no page: it needs a [SECTION1] with a ROWDATA1"
  elif [ "$switch" = 1 ] && [ "$shown" = 1 ]; then
    why="--switch hid it: the file shows the overlay at start (DISPLAY_ONSTART), so leave --switch out"
  elif [ "$switch" = 0 ] && [ "$shown" = 0 ]; then
    why="it is hidden at start: use --switch, or set DISPLAY_ONSTART=1 in [CONFIG]"
  elif ! awk -v p="page $shown_page:" '$0 ~ "^"p {on=1; next} /^(page|config)/ {on=0} on && /^  row/ && !/: $/ {found=1} END {exit !found}' <<<"$dump"; then
    why="page $shown_page is empty: all its rows are BLANK"
  else
    why="its rows are outside the picture or draw nothing; see the warnings above"
  fi
  if [ "$pages" -gt 0 ] && [ "$page" -gt "$pages" ]; then
    why="$why (the file has $pages page(s), so --page $page shows page $shown_page: Next Page wraps)"
  fi
  echo "preview: the picture shows nothing of the overlay: $why" >&2
fi
