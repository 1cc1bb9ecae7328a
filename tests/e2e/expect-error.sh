#!/usr/bin/env bash
# Runs a command that must fail with a given message.
#
#   expect-error.sh REGEX COMMAND [ARGS...]
#
# Passes when COMMAND exits non-zero and its output (stdout and stderr) matches the extended
# regular expression REGEX; prints the output either way.
set -uo pipefail

regex=$1; shift
output=$("$@" 2>&1)
status=$?
printf '%s\n' "$output"
if [ "$status" = 0 ]; then
  echo "expect-error: the command succeeded; it should have failed with /$regex/" >&2
  exit 1
fi
if ! printf '%s\n' "$output" | grep -Eq -- "$regex"; then
  echo "expect-error: exit status $status, but no message matches /$regex/" >&2
  exit 1
fi
echo "expect-error: failed as expected (exit status $status)"
