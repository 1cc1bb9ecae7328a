#!/usr/bin/env bash
# Fails when the logic's archive asks for a GL, FreeType or fontconfig symbol, or when one of the
# programs links a GL, Mesa, FreeType or fontconfig library.
#   check-no-graphics.sh LOGIC_ARCHIVE PROGRAM...
set -u
archive=$1
shift
status=0
wanted=$(nm -u "$archive" | awk '{print $NF}' | grep -E '^(gl[A-Z]|glX|OSMesa|FT_|Fc[A-Z])' | sort -u)
if [ -n "$wanted" ]; then
  echo "$archive asks for graphics symbols:"
  echo "$wanted"
  status=1
fi
for program in "$@"; do
  linked=$(ldd "$program" | grep -E -i 'lib(gl|osmesa|freetype|fontconfig|glapi)[.-]' || true)
  if [ -n "$linked" ]; then
    echo "$program links graphics libraries:"
    echo "$linked"
    status=1
  fi
done
[ $status -eq 0 ] && echo "no graphics in the logic or in: $*"
exit $status
