#!/usr/bin/env bash
# settings_dump without a file reads the one the plug-in would, and says which and why: the
# relative path in the current folder first, then Ostrivane.ini beside the program.
#   run_dump_location.sh WORK_DIR DUMP [RUNNER PREFIX]
set -euo pipefail
work=$1 dump=$2
shift 2
rm -rf "$work"
mkdir -p "$work/program" "$work/host/Plugins/Startup Plugins"
cp "$dump" "$work/program/"
program="$work/program/$(basename "$dump")"
run() { (cd "$work/host" && "$@" "$program"); }

expect() {
  local what=$1 output
  output=$(run "${runner[@]}" | tr -d '\r' | head -n 4 || true)
  if ! grep -q -- "$what" <<<"$output"; then
    echo "run_dump_location: expected \"$what\" in:"
    echo "$output"
    exit 1
  fi
}
runner=("$@")

printf '[SECTION1]\nROWDATA1=beside\n' > "$work/program/Ostrivane.ini"
expect "Ostrivane.ini (found beside this program, as Plugins.Startup Plugins.Ostrivane.ini is not in the current folder)"
expect "row  1: beside"
printf '[SECTION1]\nROWDATA1=current\n' > "$work/host/Plugins/Startup Plugins/Ostrivane.ini"
expect "file: Plugins.Startup Plugins.Ostrivane.ini (found in the current folder)"
rm "$work/program/Ostrivane.ini" "$work/host/Plugins/Startup Plugins/Ostrivane.ini"
expect "Ostrivane.ini: error: not found: not in the current folder, nor beside this program as "
printf '[SECTION1]\nROWDATA1=renamed\n' > "$work/program/Ostrivane.ini.txt"
expect "beside this program as .*Ostrivane.ini; there is Ostrivane.ini.txt beside this program: Notepad may have added .txt, rename it to Ostrivane.ini$"
printf '[SECTION1]\nROWDATA1=renamed\n' > "$work/host/Plugins/Startup Plugins/Ostrivane.txt"
expect "; there is Ostrivane.txt in the current folder's Plugins.Startup Plugins: Notepad may have saved it as .txt, rename it to Ostrivane.ini$"
echo "run_dump_location: the three places reported, and files named with an extension too many"
