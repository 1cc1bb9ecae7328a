#!/usr/bin/env bash
# scripts/preview.sh in its own words: bad options refused before anything is built, the check's
# warnings printed, and a picture without the overlay explained.
#   preview-check.sh BUILD_DIR WORK_DIR
set -u
build=$1 work=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
export OSTRIVANE_BUILD_DIR=$build OSTRIVANE_PREVIEW_BUILT=1
rm -rf "$work" && mkdir -p "$work"
failures=0

expect() {  # expect STATUS PATTERN ARGS...
  local status=$1 pattern=$2 output code
  shift 2
  output=$("$root/scripts/preview.sh" "$@" 2>&1)
  code=$?
  if [ "$code" != "$status" ] || ! grep -q -- "$pattern" <<<"$output"; then
    echo "preview $*: expected status $status and /$pattern/, got $code:"
    echo "$output"
    failures=$((failures + 1))
  fi
}

expect 2 "^preview: --page needs a value" --page
expect 2 "^preview: --size takes a width and a height from 1 to 4096, not 0x480" --size 0x480
expect 2 "^preview: --camera takes one of: perspective top left right front back bottom free" --camera side
expect 2 "^preview: --faces takes a whole number" --faces -3
expect 2 "Next Page wraps" --page 6
expect 2 "^preview: settings file $work is a directory" --settings "$work"
expect 2 "^preview: output $work is a directory" --output "$work"
expect 0 "^Usage\|scripts/preview.sh \[options\]" --help

printf '[CONFIG]\nHUD_POSX=12\n[SECTION1]\nROWDATA1=hidden at start\n' > "$work/hidden.ini"
expect 0 "hidden.ini:2: warning: \[CONFIG\] has no key HUD_POSX (did you mean HUD_POS_X?)" \
  --settings "$work/hidden.ini" --output "$work/hidden.png"
expect 0 "shows nothing of the overlay: it is hidden at start: use --switch" \
  --settings "$work/hidden.ini" --output "$work/hidden.png"
expect 0 "shows nothing of the overlay: --switch hid it" \
  --settings "$root/examples/Ostrivane.ini" --switch --output "$work/switched.png"
printf '[CONFIG]\nDISPLAY_ONSTART=1\n[SECTION1]\nROWDATA1=one\n[SECTION2]\nROWDATA1=BLANK\n' > "$work/blank.ini"
expect 0 "page 2 is empty: all its rows are BLANK (the file has 2 page(s), so --page 4 shows page 2" \
  --settings "$work/blank.ini" --page 4 --output "$work/blank.png"
if ! [ -s "$work/blank.png" ]; then echo "no picture written"; failures=$((failures + 1)); fi
[ $failures -eq 0 ] && echo "preview-check: every case as expected"
exit $((failures > 0))
