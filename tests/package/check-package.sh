#!/usr/bin/env bash
# The release a Windows user downloads, checked as that user would meet it: the ZIP is made from
# the Windows build, unpacked, its listing, line ends and licence read, the DLL's version
# resource, tables and sections looked at, and its tools run from the unpacked folder under Wine.
#   check-package.sh WIN32_BUILD_DIR WORK_DIR VERSION RUNNER PREFIX
set -u
win32=$1 work=$2 version=$3 runner=$4 prefix=$5
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
failures=0
fail() {
  echo "check-package: $*"
  failures=$((failures + 1))
}

rm -rf "$work" && mkdir -p "$work/unpacked"
(cd "$win32" && cpack -G ZIP -B "$work" >/dev/null) || { echo "check-package: cpack failed"; exit 1; }
zip="$work/Ostrivane-$version-win32.zip"
[ -f "$zip" ] || { echo "check-package: $zip was not made"; exit 1; }
unzip -q "$zip" -d "$work/unpacked" || { echo "check-package: cannot unzip $zip"; exit 1; }
folder="$work/unpacked/Ostrivane-$version"

# One folder, holding exactly these files.
listing=$(cd "$work/unpacked" && find . -mindepth 1 | sed 's|^\./||' | sort)
expected=$(printf 'Ostrivane-%s\n' "$version"
           for f in CHANGES.txt LICENSE.txt Ostrivane.dll Ostrivane.ini README.txt preview.bat settings_dump.exe \
                    standin_host.exe; do printf 'Ostrivane-%s/%s\n' "$version" "$f"; done | sort)
[ "$listing" = "$(sort <<<"$expected")" ] || fail "the archive holds:
$listing
expected:
$expected"

# Windows line ends on every text file, and the licence.
for f in CHANGES.txt LICENSE.txt Ostrivane.ini README.txt preview.bat; do
  lines=$(wc -l < "$folder/$f")
  crlf=$(grep -c $'\r$' "$folder/$f")
  [ "$lines" -gt 0 ] && [ "$lines" = "$crlf" ] || fail "$f has $crlf CRLF line ends of $lines"
done
grep -q "^MIT License" "$folder/LICENSE.txt" && grep -q "Permission is hereby granted, free of charge" "$folder/LICENSE.txt" ||
  fail "LICENSE.txt is not the MIT licence"
grep -q "Ostrivane $version" "$folder/README.txt" || fail "README.txt does not name version $version"

# The binaries: stripped, importing only what Windows ships, the DLL exporting its two entries.
for f in Ostrivane.dll settings_dump.exe standin_host.exe; do
  if i686-w64-mingw32-objdump -h "$folder/$f" | grep -q '\.debug'; then fail "$f has debug sections"; fi
done
"$root/tests/e2e/check-dll-tables.sh" "$folder/Ostrivane.dll" --exports getPluginVersion,initializePlugin || fail "Ostrivane.dll's tables"
"$root/tests/e2e/check-dll-tables.sh" "$folder/settings_dump.exe" || fail "settings_dump.exe's imports"
"$root/tests/e2e/check-dll-tables.sh" "$folder/standin_host.exe" || fail "standin_host.exe's imports"
"$runner" "$prefix" "$win32/tests/win32/version_check.exe" "$folder/Ostrivane.dll" "$version" || fail "the version resource"

# The settings check from the unpacked folder: the example is clean, a typo is found.
(cd "$folder" && "$runner" "$prefix" settings_dump.exe --check Ostrivane.ini) > "$work/example-check.txt"
status=$?
[ "$status" = 0 ] && ! grep -q warning "$work/example-check.txt" || fail "the example gives status $status: $(cat "$work/example-check.txt")"
printf '[CONFIG]\r\nDISPLAY_ONSTART=1\r\nHUD_POSX=10\r\n[SECTION1]\r\nROWDATA1=typo\r\n' > "$folder/typo.ini"
(cd "$folder" && "$runner" "$prefix" settings_dump.exe --check typo.ini) > "$work/typo-check.txt"
status=$?
output=$(tr -d '\r' < "$work/typo-check.txt")
[ "$status" = 1 ] && grep -q "^typo.ini:3: warning: \[CONFIG\] has no key HUD_POSX (did you mean HUD_POS_X?)$" <<<"$output" ||
  fail "the typo gives status $status: $output"

# preview.bat from the unpacked folder, through cmd, and its picture against the oracle.
cp "$here/preview-test.ini" "$folder/preview-test.ini"
(cd "$folder" && "$runner" "$prefix" --display cmd /c preview.bat preview-test.ini) > "$work/preview.txt" 2>&1
status=$?
output=$(tr -d '\r' < "$work/preview.txt")
[ "$status" = 0 ] && [ -s "$folder/preview-test.png" ] || fail "preview.bat gives status $status: $output"
"$runner" "$prefix" --display "$win32/tools/standin_host/standin_host.exe" --plugin "$folder/Ostrivane.dll" \
  --output "$work" "background viewport" "oracle 20 255 255 255 Arial" "oracle-shadow outline" \
  "oracle-anchor top-left" "oracle-text 12 10 Preview from the package" "oracle-text 12 32 Faces 12" \
  "compare-image 0 $folder/preview-test.png" || fail "the picture preview.bat made differs from the oracle"
(cd "$folder" && "$runner" "$prefix" cmd /c preview.bat no-such.ini) > "$work/missing.txt" 2>&1
status=$?
output=$(tr -d '\r' < "$work/missing.txt")
[ "$status" = 2 ] && grep -q "settings file no-such.ini not found" <<<"$output" || fail "a missing file gives $status: $output"

[ $failures -eq 0 ] && echo "check-package: $zip as a Windows user gets it: every check passed"
exit $((failures > 0))
