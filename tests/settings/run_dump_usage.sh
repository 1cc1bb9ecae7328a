#!/usr/bin/env bash
# settings_dump as its user meets it, natively or (with RUNNER PREFIX) its Windows build under
# Wine, output redirected: the usage and exit status for each kind of argument, one error line and
# no dump for an input it cannot read, the clean file's one line, a row outside the view and inside
# a larger one (measured with the system's font), a font face the system lacks and the one it
# draws instead, and a file in a folder named in
# three scripts whose accented row is shown as the characters it holds (under Wine on a console,
# too).
#   run_dump_usage.sh WORK_DIR DUMP [RUNNER PREFIX]
set -u
work=$1 dump=$2
shift 2
runner=("$@")
rm -rf "$work"
folder="Café Жж 中文"
mkdir -p "$work/$folder"
cd "$work"
# Windows-1252, as Notepad's "ANSI" saves it; rows far enough apart not to overlap.
printf '[SECTION1]\r\nROWDATA1=Caf\xe9 Gr\xf6\xdfe \x80\r\nROWDATA2=tab\there\r\n[CONFIG]\r\nHUD_STEP_Y=40\r\n' > "$folder/Größe Ж.ini"
printf '[SECTION1]\r\nROWDATA1=fine\r\n' > "$folder/clean.ini"
# A row 700 pixels from the left, whatever the font: outside a view 640 wide, inside one 800 wide.
printf '[CONFIG]\r\nHUD_UNITS=PIXELS\r\nHUD_POS_X=700\r\n[SECTION1]\r\nROWDATA1=far\r\n' > "$folder/far.ini"
printf '[CONFIG]\r\nFONT_FACE=No Such Face\r\n[SECTION1]\r\nROWDATA1=x\r\n' > "$folder/face.ini"
failures=0

expect() {  # expect STATUS EXPECTED_OUTPUT ARGS...: the whole output, or its first line for usage
  local status=$1 expected=$2 output code
  shift 2
  output=$("${runner[@]}" "$dump" "$@" 2>&1)
  code=$?
  output=$(tr -d '\r' <<<"$output")
  [[ $expected == usage:* ]] && output=$(head -n 1 <<<"$output")
  if [ "$code" != "$status" ] || [ "$output" != "$expected" ]; then
    printf 'settings_dump %s: expected status %s and:\n%s\ngot %s and:\n%s\n' "$*" "$status" "$expected" "$code" "$output"
    failures=$((failures + 1))
  fi
}

usage="usage: settings_dump [--check] [--viewport WxH] [SETTINGS_FILE...]"
for help in --help -h /?; do expect 0 "$usage" "$help"; done
# What it prints to explain itself fits an 80-column console.
for help in --help --keys; do
  width=$("${runner[@]}" "$dump" "$help" | tr -d '\r' | LC_ALL=C.UTF-8 wc -L)
  [ "$width" -le 79 ] || { echo "settings_dump $help has lines of $width columns"; failures=$((failures + 1)); }
done
for bad in -x --checks; do
  expect 2 "settings_dump: unknown option $bad
$usage (see --help)" "$bad" "$folder/clean.ini"
done
if [ ${#runner[@]} -gt 0 ]; then expect 2 "settings_dump: unknown option /x
$usage (see --help)" /x; fi
expect 2 "no-such.ini: error: not found" no-such.ini
# Files Notepad or Explorer named with an extension too many, beside the one asked for.
printf '[SECTION1]\r\nROWDATA1=x\r\n' > "$folder/Réglages Ж.ini.txt"
printf '[SECTION1]\r\nROWDATA1=x\r\n' > "$folder/設定.txt"
printf '[SECTION1]\r\nROWDATA1=x\r\n' > "$folder/twice.ini.ini"
expect 2 "$folder/Réglages Ж.ini: error: not found; there is Réglages Ж.ini.txt beside it: Notepad may have added .txt, rename it to Réglages Ж.ini" \
  --check "$folder/Réglages Ж.ini"
expect 2 "$folder/設定.ini: error: not found; there is 設定.txt beside it: Notepad may have saved it as .txt, rename it to 設定.ini" "$folder/設定.ini"
expect 2 "$folder/twice.ini: error: not found; there is twice.ini.ini beside it: the name may end in .ini twice where Windows hides the last, rename it to twice.ini" \
  "$folder/twice.ini"
expect 2 "$folder: error: is a directory" "$folder"
expect 0 "$folder/clean.ini: no problems found" --check "$folder/clean.ini"
# --viewport's parsing is plain code, tested natively only (under Wine a run takes seconds).
if [ ${#runner[@]} -eq 0 ]; then
  for bad in 0x480 640x 640x4097 abc 640*480 -1x480; do
    expect 2 "settings_dump: --viewport $bad is not a view's size: write WIDTHxHEIGHT, each 1 to 4096, as 640x480
$usage (see --help)" --check --viewport "$bad" "$folder/clean.ini"
  done
  expect 2 "settings_dump: --viewport needs the view's size, as 640x480
$usage (see --help)" --check "$folder/clean.ini" --viewport
  expect 0 "$folder/far.ini: no problems found" --check --viewport=4096X4096 "$folder/far.ini"
fi
expect 1 "$folder/far.ini:5: warning: row 1 of page 1 is past the right edge in a 640x480 view and is not shown (HUD_POS_X=700, HUD_UNITS=PIXELS)" --check "$folder/far.ini"
expect 0 "$folder/far.ini: no problems found" --check --viewport 800x600 "$folder/far.ini"
expect 1 "$folder/Größe Ж.ini:3: warning: row 2 of page 1 holds a tab, which draws nothing" --check "$folder/Größe Ж.ini"
# A face the system lacks, named with the face the system draws instead: whichever that is here, it
# is a face the system has.
output=$("${runner[@]}" "$dump" --check "$folder/face.ini" 2>&1 | tr -d '\r')
warning="$folder/face.ini:2: warning: font \"No Such Face\" is not installed here: text is drawn in \""
drawn=${output#"$warning"}
drawn=${drawn%\"}
if [ "$drawn" = "$output" ] || [ -z "$drawn" ]; then
  printf 'no font warning in:\n%s\n' "$output"; failures=$((failures + 1))
else
  printf '[CONFIG]\r\nFONT_FACE=%s\r\n[SECTION1]\r\nROWDATA1=x\r\n' "$drawn" > "$folder/drawn.ini"
  expect 0 "$folder/drawn.ini: no problems found" --check "$folder/drawn.ini"
fi
# In pixels the step in force is the font's line height, measured, not the 0 that stands for it.
output=$("${runner[@]}" "$dump" "$folder/far.ini" | tr -d '\r')
grep -qE '^  HUD_STEP_Y += [1-9][0-9]* \(default: the font.s line height\)$' <<<"$output" ||
  { printf 'no step in force in:\n%s\n' "$output"; failures=$((failures + 1)); }
output=$("${runner[@]}" "$dump" "$folder/Größe Ж.ini" "$folder/clean.ini" | tr -d '\r')
for line in "file: $folder/Größe Ж.ini (found)" "page 1: 2 rows" "  row  1: Café Größe €" '  row  2: tab\x09here' \
            "page 1: 1 row"; do
  grep -qxF -- "$line" <<<"$output" || { printf 'no line "%s" in:\n%s\n' "$line" "$output"; failures=$((failures + 1)); }
done
# On a console (Wine makes one of a terminal) the row is shown as the characters it holds too.
if [ ${#runner[@]} -gt 0 ]; then
  console=$(script -qc "$(printf '%q ' "${runner[@]}" "$dump" "$folder/Größe Ж.ini")" /dev/null < /dev/null | tr -d '\r')
  grep -qF "  row  1: Café Größe €" <<<"$console" || { printf 'the console shows:\n%s\n' "$console"; failures=$((failures + 1)); }
fi
[ $failures -eq 0 ] && echo "run_dump_usage: every case as expected"
exit $((failures > 0))
