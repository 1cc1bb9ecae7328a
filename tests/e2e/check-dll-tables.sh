#!/usr/bin/env bash
# Checks the import (and optionally export) table of a Windows binary.
#
#   check-dll-tables.sh FILE [--exports NAME[,NAME...]]
#
# Fails unless FILE imports only from DLLs that every Windows ships (KERNEL32, USER32, GDI32,
# OPENGL32, msvcrt; any case, a subset is fine), imports no GetTickCount64 (missing before
# Vista), and, with --exports, exports exactly the NAMEs. OBJDUMP overrides the objdump used.
set -euo pipefail

file=${1:?usage: check-dll-tables.sh FILE [--exports NAME,...]}
expected_exports=
if [ "${2:-}" = "--exports" ]; then expected_exports=${3:?--exports needs a list}; fi
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}

if [ ! -f "$file" ]; then echo "check-dll-tables: $file not found" >&2; exit 1; fi
dump=$("$objdump" -p "$file")
status=0

imports=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p')
if [ -z "$imports" ]; then echo "check-dll-tables: $file has no import table" >&2; exit 1; fi
while read -r dll; do
  case "$(printf '%s' "$dll" | tr '[:upper:]' '[:lower:]')" in
    kernel32.dll | user32.dll | gdi32.dll | opengl32.dll | msvcrt.dll) ;;
    *) echo "check-dll-tables: $file imports $dll, which Windows does not ship" >&2; status=1 ;;
  esac
done <<< "$imports"

# The imported functions: the third column of the lines under each "DLL Name:".
functions=$(printf '%s\n' "$dump" | sed -n '/^The Import Tables/,/^The Export Tables\|^PE File Base Relocations/p' |
  awk '/^[[:space:]]*[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+[A-Za-z_]/ {print $3}')
if printf '%s\n' "$functions" | grep -qx 'GetTickCount64'; then
  echo "check-dll-tables: $file imports GetTickCount64" >&2
  status=1
fi
# Settings are parsed from the file's bytes: the profile reader would decode them first.
if printf '%s\n' "$functions" | grep -q '^GetPrivateProfile'; then
  echo "check-dll-tables: $file reads settings through the profile reader" >&2
  status=1
fi

if [ -n "$expected_exports" ]; then
  actual=$(printf '%s\n' "$dump" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | sort)
  wanted=$(printf '%s\n' "$expected_exports" | tr ',' '\n' | sort)
  if [ "$actual" != "$wanted" ]; then
    echo "check-dll-tables: $file exports [$(echo $actual)], expected exactly [$(echo $wanted)]" >&2
    status=1
  fi
fi

if [ "$status" = 0 ]; then
  echo "check-dll-tables: $file imports only $(echo $imports)${expected_exports:+ and exports $expected_exports}"
fi
exit $status
