#!/usr/bin/env bash
# The GL benchmark: whole plug-in frames, the GL work included (glFinish), drawn with the glyph
# texture and with the glyph lists in the same run, alternating, through the stand-in host: natively
# on OSMesa with Ostrivane.so, and under Wine on Mesa with Ostrivane.dll. Pages of 28 and of 6
# lines, plain, with a drop shadow, with an outline and a box, and with FONT_SMOOTH=1, and the
# 28-line page in Chinese from a fallback face; the set-up that Reload INI repeats; and the GL calls with which every visible frame checks that its
# glyph texture, or its two blocks of glyph lists, are still its own.
#
#   bench/gl_bench.sh [--build DIR] [--native | --wine] [--rounds N] [--frames N]
#
# Prints the median time of each case in milliseconds and how many times cheaper the texture is.
# Times vary with the machine's load; the ratios much less.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
where=both
rounds=5
frames=60
while [ $# -gt 0 ]; do
  case $1 in
    --build) build=$(cd "$2" && pwd); shift 2 ;;
    --native) where=native; shift ;;
    --wine) where=wine; shift ;;
    --rounds) rounds=$2; shift 2 ;;
    --frames) frames=$2; shift 2 ;;
    -h|--help) sed -n '2,12p' "$0"; exit 0 ;;
    *) echo "gl_bench: unknown option $1 (see --help)" >&2; exit 2 ;;
  esac
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One settings file per case: a status page as users write them, tokens in most rows.
row() {
  case $(( $1 % 4 )) in
    0) echo "View *CAMERA_NAME*  at *CUR_TIME*" ;;
    1) echo "Faces *SEL_FACES*  Edges *SEL_EDGES*  Verts *SEL_VERTICES*" ;;
    2) echo "Date *CUR_DATE*  session *ELAPSED*" ;;
    *) echo "Row $1: layer Background / material Default" ;;
  esac
}
settings() {  # NAME ROWS EXTRA-CONFIG...
  local name=$1 rows=$2; shift 2
  {
    printf '[CONFIG]\r\nDISPLAY_ONSTART=1\r\nHUD_ANCHOR=TOP_LEFT\r\nHUD_POS_X=8\r\nHUD_POS_Y=8\r\nHUD_STEP_Y=16\r\n'
    printf 'FONT_SIZE=15\r\nCOLOR_RED=255\r\nCOLOR_GREEN=255\r\nCOLOR_BLUE=255\r\n'
    for line in "$@"; do printf '%s\r\n' "$line"; done
    printf '[SECTION1]\r\n'
    for i in $(seq 1 "$rows"); do printf 'ROWDATA%d=%s\r\n' "$i" "$(row "$i")"; done
  } > "$work/$name.ini"
}
# The same status page in Chinese, from the fallback face, with as many characters a row.
chinese_row() {
  case $(( $1 % 4 )) in
    0) echo "视图 *CAMERA_NAME* 时间 *CUR_TIME*" ;;
    1) echo "面 *SEL_FACES* 边 *SEL_EDGES* 顶点 *SEL_VERTICES*" ;;
    2) echo "日期 *CUR_DATE* 会话 *ELAPSED*" ;;
    *) echo "第$1行：图层背景，材质默认，对象已选中" ;;
  esac
}
cases=()
{
  printf '[CONFIG]\r\nDISPLAY_ONSTART=1\r\nHUD_ANCHOR=TOP_LEFT\r\nHUD_POS_X=8\r\nHUD_POS_Y=8\r\nHUD_STEP_Y=16\r\n'
  printf 'FONT_SIZE=15\r\nCOLOR_RED=255\r\nCOLOR_GREEN=255\r\nCOLOR_BLUE=255\r\nFONT_FALLBACK=WenQuanYi Micro Hei\r\n'
  printf '[SECTION1]\r\n'
  for i in $(seq 1 28); do printf 'ROWDATA%d=%s\r\n' "$i" "$(chinese_row "$i")"; done
} > "$work/page28-chinese.ini"
cases+=("page28-chinese")
for rows in 28 6; do
  settings "page$rows-plain" "$rows"; cases+=("page$rows-plain")
  settings "page$rows-shadow" "$rows" TEXT_SHADOW=1; cases+=("page$rows-shadow")
  settings "page$rows-outline-box" "$rows" TEXT_SHADOW=2 BOX_ALPHA=128; cases+=("page$rows-outline-box")
  settings "page$rows-smooth" "$rows" FONT_SMOOTH=1; cases+=("page$rows-smooth")
done

{
  echo "viewport 1024 768"
  echo "background viewport"
  echo "selmode face"
  echo "faces 1234"
  round=""
  for c in "${cases[@]}"; do
    round+="settings $c.ini ; texture-limit 1 ; run 4 ; frame ; bench-frames $frames $c lists ; "
    round+="texture-limit none ; run 4 ; frame ; bench-frames $frames $c texture ; "
  done
  for c in page28-plain page28-chinese page28-outline-box; do
    round+="settings $c.ini ; texture-limit 1 ; bench-setup 3 set-up $c lists ; "
    round+="texture-limit none ; bench-setup 3 set-up $c texture ; "
  done
  echo "repeat $rounds ${round% ; }"
  echo "bench-check $((rounds * frames)) check"
  echo "bench-report"
} > "$work/bench.steps"

report() {  # turns the bench-report lines into a table with the ratio of each pair
  awk '
    /standin_host: glyph texture / { sub(/^standin_host: /, ""); sub(/\r$/, ""); if (!($0 in told)) { told[$0] = 1; print } next }
    /standin_host: bench / {
      n = split($0, w, " "); label = ""; for (i = 3; w[i] != ""; i++) { if (w[i + 1] == "samples") break; label = label (label == "" ? "" : " ") w[i] }
      for (i = 1; i <= n; i++) if (w[i] == "median") m = w[i + 1]
      path = label; sub(/.* /, "", path); name = label; sub(/ [^ ]*$/, "", name)
      if (!(name in seen)) { seen[name] = 1; order[++count] = name }
      t[name, path] = m
    }
    END {
      printf "%-34s %10s %10s %8s\n", "case", "lists ms", "texture ms", "ratio"
      for (i = 1; i <= count; i++) {
        name = order[i]; l = t[name, "lists"]; x = t[name, "texture"]
        if (name == "check") continue
        printf "%-34s %10.3f %10.3f %8.2f\n", name, l, x, (x > 0 ? l / x : 0)
      }
      printf "%-34s %10.4f %10.4f\n", "glyph check, every visible frame", t["check", "lists"], t["check", "texture"]
    }'
}

if [ "$where" != wine ]; then
  echo "== native (OSMesa, $(uname -m))"
  "$build/tools/standin_host/standin_host" --plugin "$build/Ostrivane.so" --script "$work/bench.steps" | report
fi
if [ "$where" != native ]; then
  echo "== Wine (Mesa, 32-bit DLL)"
  "$root/tests/wine/run-wine.sh" "$build/wineprefix" --display "$build/win32/tools/standin_host/standin_host.exe" \
    --plugin "$build/win32/Ostrivane.dll" --script "$work/bench.steps" | tr -d '\r' | report
fi
