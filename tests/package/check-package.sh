#!/usr/bin/env bash
# The release a Windows user downloads, checked as that user would meet it: the ZIP is made from
# the Windows build, unpacked into a folder whose name holds letters of three scripts (as many
# users' profile folders do), its listing, line ends and licence read, the binaries' version
# resources, tables and sections looked at, and its tools run from there under Wine on files and
# to pictures in other such folders.
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

# Folders named in scripts that no ANSI code page has all of.
downloads="$work/Téléchargements Жж 下载"
settings_folder="$work/Réglages Жж 设置"
pictures_folder="$work/Aperçus Жж 图片"
rm -rf "$work" && mkdir -p "$downloads" "$settings_folder"
(cd "$win32" && cpack -G ZIP -B "$work" >/dev/null) || { echo "check-package: cpack failed"; exit 1; }
zip="$work/Ostrivane-$version-win32.zip"
[ -f "$zip" ] || { echo "check-package: $zip was not made"; exit 1; }
unzip -q "$zip" -d "$downloads" || { echo "check-package: cannot unzip $zip"; exit 1; }
folder="$downloads/Ostrivane-$version"
# A path as a Windows user types it: Wine's drive Z: is the root of the Unix tree.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# One folder, holding exactly these files.
listing=$(cd "$downloads" && find . -mindepth 1 | sed 's|^\./||' | sort)
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
for f in Ostrivane.dll settings_dump.exe standin_host.exe; do
  "$runner" "$prefix" "$win32/tests/win32/version_check.exe" "$folder/$f" "$version" > "$work/version.txt" ||
    fail "the version resource of $f: $(cat "$work/version.txt")"
done

# The settings check from the unpacked folder: the example is clean, a typo is found.
(cd "$folder" && "$runner" "$prefix" settings_dump.exe --check Ostrivane.ini) > "$work/example-check.txt"
status=$?
[ "$status" = 0 ] && [ "$(cat "$work/example-check.txt")" = "Ostrivane.ini: no problems found" ] ||
  fail "the example gives status $status: $(cat "$work/example-check.txt")"
printf '[CONFIG]\r\nDISPLAY_ONSTART=1\r\nHUD_POSX=10\r\n[SECTION1]\r\nROWDATA1=typo\r\n' > "$folder/typo.ini"
(cd "$folder" && "$runner" "$prefix" settings_dump.exe --check typo.ini) > "$work/typo-check.txt"
status=$?
output=$(tr -d '\r' < "$work/typo-check.txt")
[ "$status" = 1 ] && grep -q "^typo.ini:3: warning: \[CONFIG\] has no key HUD_POSX (did you mean HUD_POS_X?)$" <<<"$output" ||
  fail "the typo gives status $status: $output"

# preview.bat from the unpacked folder, through cmd, on a file in another such folder, to a picture
# in a folder not made yet; the picture against the oracle, and settings_dump on the same file.
cp "$here/preview-test.ini" "$settings_folder/Réglages Ж.ini"
settings=$(windows_path "$settings_folder/Réglages Ж.ini")
picture=$(windows_path "$pictures_folder/new/Aperçu Ж.png")
(cd "$folder" && "$runner" "$prefix" --display cmd /c preview.bat "$settings" "$picture") > "$work/preview.txt" 2>&1
status=$?
output=$(tr -d '\r' < "$work/preview.txt")
[ "$status" = 0 ] && [ -s "$pictures_folder/new/Aperçu Ж.png" ] && grep -qx "preview: wrote $(sed 's/[][\\.*^$]/\\&/g' <<<"$picture")" <<<"$output" ||
  fail "preview.bat gives status $status: $output"
"$runner" "$prefix" --display "$win32/tools/standin_host/standin_host.exe" --plugin "$folder/Ostrivane.dll" \
  --output "$work" --script "$here/preview-test.steps" "compare-image 0 $pictures_folder/new/Aperçu Ж.png" ||
  fail "the picture preview.bat made differs from the oracle"
(cd "$folder" && "$runner" "$prefix" settings_dump.exe "$settings") > "$work/dump.txt"
grep -qx "file: $(sed 's/[][\\.*^$]/\\&/g' <<<"$settings") (found)" "$work/dump.txt" && grep -qx "  row  3: Café Größe (converted from UTF-8)" "$work/dump.txt" ||
  fail "settings_dump does not show the file and its row as they are: $(cat "$work/dump.txt")"

# Without arguments: the Ostrivane.ini beside it, drawn into Ostrivane.png beside it.
(cd "$folder" && "$runner" "$prefix" --display cmd /c preview.bat) > "$work/preview-example.txt" 2>&1
status=$?
[ "$status" = 0 ] && [ -s "$folder/Ostrivane.png" ] || fail "preview.bat without arguments gives $status: $(cat "$work/preview-example.txt")"

# Its usage, its refusals and its exit statuses, through cmd.
bat() {  # bat STATUS PATTERN ARGS...: preview.bat ARGS gives STATUS and a line matching PATTERN
  local expected=$1 pattern=$2 code
  shift 2
  (cd "$folder" && "$runner" "$prefix" cmd /c preview.bat "$@") < /dev/null > "$work/bat.txt" 2>&1
  code=$?
  output=$(tr -d '\r' < "$work/bat.txt")
  [ "$code" = "$expected" ] && grep -q -- "$pattern" <<<"$output" || fail "preview.bat $* gives $code: $output"
}
bat 0 "^usage: preview.bat \[options\] \[SETTINGS.ini \[PICTURE.png\]\]" /?
bat 2 "^preview: unknown option /x" /x
bat 2 "^preview: --size takes WxH" --size 640
bat 2 "^preview: settings file no-such.ini not found" no-such.ini
bat 2 "^preview: output picture.jpg does not end in .png" Ostrivane.ini picture.jpg
[ ! -e "$folder/picture.jpg" ] || fail "preview.bat wrote picture.jpg"
# Started from Explorer (cmd /c with the script's full path in quotes, which Wine's cmd leaves to
# the environment) it waits for a key before its window closes; typed at a prompt it does not.
launch="C:\\windows\\system32\\cmd.exe /c \"\"$(windows_path "$folder/preview.bat")\" \""
export cmdcmdline=$launch
bat 2 "^Press a key to close this window" --size 640
unset cmdcmdline
bat 2 "^preview: --size" --size 640
! grep -q "Press a key" <<<"$output" || fail "preview.bat waits for a key when started from a prompt"

[ $failures -eq 0 ] && echo "check-package: $zip as a Windows user gets it: every check passed"
exit $((failures > 0))
