#!/usr/bin/env bash
# The step the settings check gives for rows that overlap, checked by drawing: a file that sets
# no HUD_STEP_Y is told its default step makes two rows overlap and which step keeps them apart.
# Each row drawn alone (the other BLANK): with the default step some row of pixels holds ink of
# both, with the step given none does, and the check then has nothing to say.
#   step-suggestion.sh WORK_DIR DUMP STANDIN_HOST PLUGIN [RUNNER PREFIX]
set -u
work=$1 dump=$2 host=$3 plugin=$4
shift 4
rm -rf "$work" && mkdir -p "$work"
if [ $# -gt 0 ]; then
  runner=$1 prefix=$2
  check() { "$runner" "$prefix" "$dump" "$@"; }
  draw() { "$runner" "$prefix" --display "$host" --plugin "$plugin" --output "$work" "$@"; }
else
  check() { "$dump" "$@"; }
  draw() { "$host" --plugin "$plugin" --output "$work" "$@"; }
fi
rows() {  # rows [CONFIG LINE]: a file with two rows of accents and descenders, and each alone
  printf '[CONFIG]\r\nDISPLAY_ONSTART=1\r\n%s[SECTION1]\r\nROWDATA1=%s\r\nROWDATA2=%s\r\n' "${1:+$1$'\r\n'}" \
    "$first" "$second"
  printf '[SECTION2]\r\nROWDATA1=%s\r\nROWDATA2=BLANK\r\n[SECTION3]\r\nROWDATA1=BLANK\r\nROWDATA2=%s\r\n' "$first" "$second"
}
first='Égypte gjpqy ¶' second='ÅÉÇ Mgjpqy §'
rows > "$work/defaults.ini"
output=$(check --check "$work/defaults.ini" 2>&1 | tr -d '\r')
pattern='rows 1 and 2 of page 1 overlap in a 640x480 view, .*: the font.s line height is [0-9]+ pixels, the default HUD_STEP_Y=15; HUD_STEP_Y=([0-9]+) or more keeps them apart in this view$'
if [[ ! $output =~ $pattern ]]; then
  echo "step-suggestion: no suggested step in:"; echo "$output"; exit 1
fi
step=${BASH_REMATCH[1]}
alone=(frame "run 2" frame "save first.png" "run 2" frame "expect-ink-apart first.png")
if draw --settings "$work/defaults.ini" "${alone[@]}" > "$work/defaults.txt" 2>&1; then
  echo "step-suggestion: with the default step the rows' ink does not meet, yet the check warns"; exit 1
fi
grep -q "shares rows of pixels" "$work/defaults.txt" || { cat "$work/defaults.txt"; exit 1; }
rows "HUD_STEP_Y=$step" > "$work/suggested.ini"
draw --settings "$work/suggested.ini" "${alone[@]}" ||
  { echo "step-suggestion: with HUD_STEP_Y=$step the rows still meet"; exit 1; }
output=$(check --check "$work/suggested.ini" 2>&1 | tr -d '\r')
[ "$output" = "$work/suggested.ini: no problems found" ] || { echo "step-suggestion: $output"; exit 1; }
echo "step-suggestion: HUD_STEP_Y=$step keeps the rows apart, the default does not"
