#!/usr/bin/env bash
# Runs settings_dump over the settings corpus natively and, under Wine, its Windows build, and
# fails, printing the differing lines, when the two report anything differently.
#
#   run_dump_diff.sh WORK_DIR CORPUS_DIR NATIVE_DUMP RUNNER PREFIX WINDOWS_DUMP
set -euo pipefail

work=$1 corpus=$2 native_dump=$3 runner=$4 prefix=$5 windows_dump=$6
export LC_ALL=C

rm -rf "$work"
mkdir -p "$work/cases"
cp "$corpus"/*.ini "$work/cases/"
cd "$work/cases"
# Wine rereads a file younger than about two seconds on every lookup; age them as the probe does.
touch -d '1 day ago' ./*.ini
files=(*.ini missing-file.ini)

# The exit status says whether there were warnings; both must say the same.
native_status=0 windows_status=0
"$native_dump" "${files[@]}" > ../native-full.txt || native_status=$?
"$runner" "$prefix" "$windows_dump" "${files[@]}" > ../windows-full.txt || windows_status=$?
cd ..
# Which fonts a system has is its own: the font warnings are left out of the comparison.
grep -v ': warning: font "' native-full.txt > native.txt || true
tr -d '\r' < windows-full.txt | grep -v ': warning: font "' > windows.txt || true
if [ "$native_status" != "$windows_status" ]; then
  echo "run_dump_diff: settings_dump exits with $windows_status under Wine and $native_status natively" >&2
  exit 1
fi
if ! diff -u --label "settings_dump under Wine" --label "settings_dump native" windows.txt native.txt; then
  echo "run_dump_diff: the native settings dump differs from the Windows one" >&2
  exit 1
fi
echo "run_dump_diff: ${#files[@]} files, $(wc -l < native.txt) lines and the exit status ($native_status) agree"
