#!/usr/bin/env bash
# The preview in its own words: bad options refused with status 2 and no picture, the check's
# warnings printed, a picture without the overlay explained with status 1, a missing output folder
# made and named. Under Wine through scripts/preview.sh, natively through the native stand-in
# host's preview with the native plug-in.
#   preview-check.sh BUILD_DIR WORK_DIR wine
#   preview-check.sh BUILD_DIR WORK_DIR native STANDIN_HOST PLUGIN
set -u
build=$1 work=$2 mode=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
export OSTRIVANE_BUILD_DIR=$build OSTRIVANE_PREVIEW_BUILT=1
rm -rf "$work" && mkdir -p "$work"
failures=0

if [ "$mode" = wine ]; then
  preview() { "$root/scripts/preview.sh" "$@"; }
  standin_host() {
    "$root/tests/wine/run-wine.sh" "$build/wineprefix" --display "$build/win32/tools/standin_host/standin_host.exe" \
      --plugin "$build/win32/Ostrivane.dll" "$@"
  }
else
  host=$4 plugin=$5
  preview() {
    "$host" --preview scripts/preview.sh --plugin "$plugin" --default-settings "$root/examples/Ostrivane.ini" \
      --default-output "$work/default.png" "$@"
  }
  standin_host() { "$host" --plugin "$plugin" "$@"; }
fi

expect() {  # expect STATUS PATTERN ARGS...
  local status=$1 pattern=$2 output code
  shift 2
  output=$(preview "$@" 2>&1)
  code=$?
  output=$(tr -d '\r' <<<"$output")
  if [ "$code" != "$status" ] || ! grep -q -- "$pattern" <<<"$output"; then
    echo "preview $*: expected status $status and /$pattern/, got $code:"
    echo "$output"
    failures=$((failures + 1))
  fi
}

expect 2 "^preview: --page needs a value" --page
expect 2 "^preview: --size takes a width and a height from 1 to 4096, not 0x480" --size 0x480
expect 2 "^preview: --camera takes one of: perspective top left right front back bottom free" --camera side
expect 2 "^preview: --mode takes one of: face edge vertex none (not \"edges\")" --mode edges
expect 2 "^preview: --faces takes a whole number" --faces -3
expect 2 "Next Page wraps" --page 6
expect 2 "^preview: unknown option -x" -x
expect 2 "^preview: settings file $work is a directory" --settings "$work"
printf '[SECTION1]\nROWDATA1=x\n' > "$work/Réglages Ж.ini.txt"
expect 2 "^preview: settings file $work/Réglages Ж.ini not found; there is Réglages Ж.ini.txt beside it: Notepad may have added .txt, rename it to Réglages Ж.ini$" \
  "$work/Réglages Ж.ini"
expect 2 "^preview: output $work is a directory" --output "$work"
expect 2 "^preview: output $work/picture.jpg does not end in .png: .* name it picture.png" --output "$work/picture.jpg"
expect 0 "^usage: preview.sh \[options\] \[SETTINGS.ini \[PICTURE.png\]\]" --help
expect 0 "^  --switch" /?
# The usages fit an 80-column console.
for tool in preview standin_host; do
  width=$($tool --help | tr -d '\r' | LC_ALL=C.UTF-8 wc -L)
  [ "$width" -le 79 ] || { echo "$tool --help has lines of $width columns"; failures=$((failures + 1)); }
done

printf '[CONFIG]\nHUD_POSX=12\n[SECTION1]\nROWDATA1=hidden at start\n' > "$work/hidden.ini"
expect 1 "hidden.ini:2: warning: \[CONFIG\] has no key HUD_POSX (did you mean HUD_POS_X?)" "$work/hidden.ini" "$work/hidden.png"
expect 1 "shows nothing of the overlay: it is hidden at start: use --switch" --settings "$work/hidden.ini" --output "$work/hidden.png"
expect 1 "shows nothing of the overlay: --switch hid it" --switch --output "$work/switched.png"
printf '[CONFIG]\nDISPLAY_ONSTART=1\n[SECTION1]\nROWDATA1=one\n[SECTION2]\nROWDATA1=BLANK\n' > "$work/blank.ini"
expect 1 "page 2 is empty: all its rows are BLANK (the file has 2 pages, so --page 4 shows page 2" \
  --settings "$work/blank.ini" --page 4 --output "$work/blank.png"
[ -s "$work/blank.png" ] || { echo "no picture for blank.ini"; failures=$((failures + 1)); }
printf '[CONFIG]\nDISPLAY_ONSTART=1\n[SECTION2]\nROWDATA1=no first page\n' > "$work/no-page.ini"
expect 2 "no-page.ini: error: no page to show" "$work/no-page.ini"
# The clean example into a folder that is not there yet: made, and named.
expect 0 "^preview: made the folder .*new folder.* for the picture" --output "$work/new folder/example.png"
# A file and a picture in folders named in three scripts; the picture against the oracle.
mkdir -p "$work/Réglages Жж 设置"
cp "$root/tests/package/preview-test.ini" "$work/Réglages Жж 设置/Réglages Ж.ini"
expect 0 "^preview: wrote $work/Aperçus Жж 图片/Aperçu Ж.png$" "$work/Réglages Жж 设置/Réglages Ж.ini" \
  "$work/Aperçus Жж 图片/Aperçu Ж.png"
standin_host --output "$work" --script "$root/tests/package/preview-test.steps" "compare-image 0 $work/Aperçus Жж 图片/Aperçu Ж.png" ||
  { echo "the picture differs from the oracle"; failures=$((failures + 1)); }
# *FPS* as a host drawing 60 frames a second shows it, or as many as --fps says.
printf '[CONFIG]\nDISPLAY_ONSTART=1\nHUD_ANCHOR=TOP_LEFT\nCOLOR_RED=255\n[SECTION1]\nROWDATA1=*FPS* frames a second\n' > "$work/fps.ini"
expect 0 "^preview: wrote $work/fps-60.png" "$work/fps.ini" "$work/fps-60.png"
expect 0 "^preview: wrote $work/fps-1000.png" --fps 1000 "$work/fps.ini" "$work/fps-1000.png"
expect 2 "^preview: --fps takes a whole number from 0 to 1000, not \"1001\"" --fps 1001 "$work/fps.ini"
for fps in 60 1000; do
  standin_host --output "$work" "background viewport" "oracle 18 255 64 64 Arial" "oracle-anchor top-left" "oracle-text 10 10 $fps frames a second" \
    "compare-image 0 $work/fps-$fps.png" || { echo "the picture at $fps frames a second differs"; failures=$((failures + 1)); }
done
for picture in no-page.png picture.jpg; do
  [ ! -e "$work/$picture" ] || { echo "a picture was written for a bad input: $picture"; failures=$((failures + 1)); }
done
[ -s "$work/new folder/example.png" ] || { echo "no picture in the new folder"; failures=$((failures + 1)); }
[ $failures -eq 0 ] && echo "preview-check: every case as expected ($mode)"
exit $((failures > 0))
