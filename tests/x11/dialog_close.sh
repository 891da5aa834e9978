#!/usr/bin/env bash
# On a real X server: the about dialog stays open on Esc and on a window manager's close request
# and closes by Enter; the view settings dialog stays open on Esc and closes by the close request.
set -euo pipefail
yk32=$1
wm_close=$2
. "$(dirname "$0")/common.sh"
main_title "$yk32"
need_tools xvfb-run xdotool

make_work
mkdir -p "$work/files"

(cd "$work/files" && exec xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  wm_close=$1
  fail() { echo "FAIL: $*"; kill $pid 2>/dev/null; exit 1; }
  shown() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1; }
  wait_shown() { for _ in $(seq 50); do [ -n "$(shown "$1")" ] && return 0; sleep 0.1; done; return 1; }
  wait_gone() { for _ in $(seq 50); do [ -z "$(shown "$1")" ] && return 0; sleep 0.1; done; return 1; }
  "$0" & pid=$!
  win=$(timeout 20 xdotool search --sync --onlyvisible --name "$title" | head -n1)
  [ -n "$win" ] || fail "no main window"
  xdotool windowfocus --sync "$win"
  sleep 0.5
  # Menu titles lie left to right on the bar; the last item of a menu is one Up away.
  bar_y=$(( $(xdotool getwindowgeometry "$win" | sed -n "s/.*Position: [0-9]*,\([0-9]*\).*/\1/p") + 8 ))
  bar_x=$(xdotool getwindowgeometry "$win" | sed -n "s/.*Position: \([0-9]*\),.*/\1/p")
  last_item() { xdotool mousemove $((bar_x + $1)) $bar_y click 1; sleep 0.5; xdotool key Up Return; }

  last_item 225                      # "О программе WinYK..."
  wait_shown "О программе" || fail "about dialog not shown"
  about=$(shown "О программе")
  xdotool key Escape; sleep 0.5
  [ -n "$(shown "О программе")" ] || fail "Esc closed the about dialog"
  "$wm_close" "$about"; sleep 0.5
  [ -n "$(shown "О программе")" ] || fail "a close request closed the about dialog"
  xdotool key Return
  wait_gone "О программе" || fail "Enter did not close the about dialog"

  last_item 120                      # "Вид..."
  wait_shown "Вид" || fail "view settings not shown"
  view=$(shown "Вид")
  xdotool key Escape; sleep 0.5
  [ -n "$(shown "Вид")" ] || fail "Esc closed the view settings"
  "$wm_close" "$view"
  wait_gone "Вид" || fail "the close box did not close the view settings"
  kill -0 $pid || fail "the program ended"
  kill $pid
  wait $pid 2>/dev/null || true' "$yk32" "$wm_close")
echo "1 passed, 0 failed"
