#!/usr/bin/env bash
# Runs a Windows program under Wine for the tests.
#
#   run-wine.sh PREFIX_DIR [--display] PROGRAM.exe [ARGS...]
#
# PREFIX_DIR is a Wine prefix of the tests' own, created on first use (serialised with a lock, so
# parallel tests share one boot). With --display the program gets a private Xvfb display, started
# on a free display number and stopped again on exit; nothing else is touched. The program's exit
# code is passed through.
set -euo pipefail

prefix=$1; shift
want_display=0
if [ "${1:-}" = "--display" ]; then want_display=1; shift; fi

export WINEPREFIX=$prefix
# Wine reads Unix file names and arguments in the locale's character set: UTF-8, whatever the
# caller's locale, so that names in any script arrive whole; the ANSI code page is then 1252.
export LC_ALL=C.UTF-8
# winemenubuilder only makes desktop menu entries for a real user's prefix.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
export WINEDEBUG=-all

mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [ ! -f "$prefix/.ostrivane-ready" ]; then
    rm -rf "$prefix"
    wineboot -i >/dev/null 2>&1
    wineserver -w
    touch "$prefix/.ostrivane-ready"
  fi
) 9>"$prefix.lock"

xvfb_pid=
cleanup() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT

if [ "$want_display" = 1 ]; then
  display_file=$(mktemp)
  # -displayfd makes Xvfb pick a free display number itself and report it once it is ready.
  Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do
    [ -s "$display_file" ] && break
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then echo "run-wine: Xvfb did not start" >&2; exit 1; fi
    sleep 0.1
  done
  display=$(head -n1 "$display_file")
  rm -f "$display_file"
  if [ -z "$display" ]; then echo "run-wine: Xvfb reported no display" >&2; exit 1; fi
  export DISPLAY=":$display"
else
  unset DISPLAY
fi

# Wine's desktop process belongs to the prefix and keeps the display (or the lack of one) of the
# program that started it. A program with a display therefore has the prefix to itself, with a
# wineserver of its own that ends before its Xvfb does; programs without one may share.
exec 8>"$prefix.run.lock"
if [ "$want_display" = 1 ]; then
  flock -x 8
  wineserver -k >/dev/null 2>&1 || true
else
  flock -s 8
fi

# The first program of a Wine session starts the session's own processes (services, the desktop),
# and they inherit its standard output and error: whatever they print (a crash report of theirs
# included) would read as the program's output. A program of no interest starts them here, with
# their output going nowhere. The lock keeps the session alive until the program has started.
wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true

set +e
wine "$@"
status=$?
set -e
if [ "$want_display" = 1 ]; then wineserver -k >/dev/null 2>&1 || true; fi
exit $status
