#!/usr/bin/env bash
# Fails when a README's table of the CONFIG keys is not what settings_dump makes of the key table
# (config/config_keys.cpp): README.md must hold `settings_dump --keys=markdown` and README.txt
# `settings_dump --keys`, each between empty lines.
#
#   run_key_tables.sh SETTINGS_DUMP README_MD README_TXT
set -euo pipefail

dump=$1 readme_md=$2 readme_txt=$3

holds() {  # FILE OPTION
  local table document
  table=$("$dump" "$2")
  document=$(cat "$1")
  if [[ "$document" != *$'\n\n'"$table"$'\n\n'* ]]; then
    echo "run_key_tables: $1 does not hold the keys as 'settings_dump $2' gives them;" \
         "put this in place of its table:" >&2
    printf '%s\n' "$table" >&2
    return 1
  fi
}

status=0
holds "$readme_md" --keys=markdown || status=1
holds "$readme_txt" --keys || status=1
[ "$status" = 0 ] && echo "run_key_tables: both READMEs list the keys of the table"
exit "$status"
