#!/usr/bin/env bash
# Runs ini_probe over the settings corpus and fails, printing the differing lines, when the native
# settings reader answers differently from the Windows one.
#
#   run_probe_diff.sh WORK_DIR CORPUS_DIR NATIVE_PROBE --expect ANSWERS_FILE
#   run_probe_diff.sh WORK_DIR CORPUS_DIR NATIVE_PROBE --wine RUNNER PREFIX WINDOWS_PROBE
#
# --expect compares with answers recorded from the Windows reader (tests/settings/expected/).
# --wine runs the Windows build of the probe under Wine, once for all cases, and compares live;
# its answers stay in WORK_DIR/windows.txt, ready to be recorded.
# Besides the committed corpus, the cases include files too large to commit, made here, and the
# states without a file: no file, no folder, and a folder where the file should be.
set -euo pipefail

work=$1 corpus=$2 native_probe=$3 mode=$4
shift 4
export LC_ALL=C

rm -rf "$work"
mkdir -p "$work/cases"
cp "$corpus"/*.ini "$work/cases/"
cd "$work"

# Five megabytes of key lines, with the names the plug-in reads at both ends.
{
  printf '[SECTION1]\r\nROWDATA1=before the bulk\r\n'
  head -c 5242880 < <(yes 'BULKKEY=0123456789abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnop')
  printf '\r\n[SECTION2]\r\nROWDATA1=after the bulk\r\n[SECTION1]\r\nROWDATA2=in a later copy\r\n'
} > cases/large-5mb-of-lines.ini
# One five-megabyte line, cut to the buffer.
{
  printf '[SECTION1]\nROWDATA1='
  head -c 5242880 < <(yes v | tr -d '\n')
  printf '\nROWDATA2=after a 5 MB line\n'
} > cases/large-5mb-line.ini

{
  for file in cases/*.ini; do echo "$file"; done
  printf ':missing\n:no-folder\n:directory\n'
} > cases.txt

"$native_probe" --stage stage-native --out native.txt @cases.txt

case $mode in
  --expect)
    expected=$1
    if ! diff -u -F "^== " --label "recorded Windows answers" --label "native answers" "$expected" native.txt; then
      echo "run_probe_diff: the native reader differs from the recorded Windows answers" >&2
      exit 1
    fi
    ;;
  --wine)
    runner=$1 prefix=$2 windows_probe=$3
    "$runner" "$prefix" "$windows_probe" --stage stage-windows --out windows.txt @cases.txt
    if ! diff -u -F "^== " --label "Windows reader (Wine)" --label "native reader" windows.txt native.txt; then
      echo "run_probe_diff: the native reader differs from the Windows reader" >&2
      exit 1
    fi
    ;;
  *)
    echo "run_probe_diff: unknown mode $mode" >&2
    exit 2
    ;;
esac
echo "run_probe_diff: $(grep -c '^== ' native.txt) cases, $(grep -vc '^==\|^readable' native.txt) lookups agree"
