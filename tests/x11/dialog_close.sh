#!/usr/bin/env bash
# On a real X server: the about dialog stays open on Esc and on a window manager's close request
# and closes by Enter; the view settings dialog stays open on Esc and closes by the close request.
# That a dialog is still shown is checked only once it has handled what came after the key or
# the request: a pointer move that changes the cursor (the pointer's cursor as the server shows
# it, sampled by cursor_probe), or a Tab that moves the focus (the pixels where it shows).
set -euo pipefail
yk32=$1
wm_close=$2
probe=$3
. "$(dirname "$0")/common.sh"
main_title "$yk32"
need_tools xvfb-run xdotool import md5sum

make_work
mkdir -p "$work/files"
export CURSORS="$work/cursors.txt" SHOT="$work/shot.rgb"

(cd "$work/files" && exec xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  wm_close=$1 probe=$2
  fail() { echo "FAIL: $*"; kill $pid $probe_pid 2>/dev/null; exit 1; }
  shown() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1; }
  wait_shown() { for _ in $(seq 50); do [ -n "$(shown "$1")" ] && return 0; sleep 0.1; done; return 1; }
  wait_gone() { for _ in $(seq 50); do [ -z "$(shown "$1")" ] && return 0; sleep 0.1; done; return 1; }
  # The cursor the server shows, one line per change: "ms serial WxH".
  "$probe" 110 >"$CURSORS" & probe_pid=$!
  changes() { wc -l <"$CURSORS"; }
  cursor() { tail -n1 "$CURSORS" | cut -d" " -f2-; }
  # move_until X Y [CURSOR]: moves the pointer there and waits for the cursor to change (to
  # CURSOR when given).
  move_until() {
    local before
    before=$(changes)
    xdotool mousemove "$1" "$2"
    for _ in $(seq 100); do
      [ "$(changes)" -gt "$before" ] && [ -z "${3:-}" -o "$(cursor)" = "${3:-}" ] && return 0
      sleep 0.05
    done
    return 1
  }
  # The screen where the view settings show ($area), as a checksum. (From the root window: given
  # a window that is gone, import would wait for a click, holding the server meanwhile.)
  pixels() {
    timeout 10 import -window root -crop "$area" "rgb:$SHOT" 2>/dev/null &&
      md5sum <"$SHOT" | cut -d" " -f1
  }
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
  eval "$(xdotool getwindowgeometry --shell "$about")"
  link_x=$((X + 280)) link_y=$((Y + 166))   # the web link: a hand over it
  plain_x=$((X + 300)) plain_y=$((Y + 215)) # no control: the arrow
  move_until $link_x $link_y || fail "no hand over the link: $(cat "$CURSORS")"
  hand=$(cursor)
  move_until $plain_x $plain_y || fail "no arrow beside the link: $(cat "$CURSORS")"
  arrow=$(cursor)
  xdotool key Escape
  move_until $link_x $link_y "$hand" || fail "Esc closed the about dialog (no hand over the link)"
  [ -n "$(shown "О программе")" ] || fail "Esc closed the about dialog"
  "$wm_close" "$about"
  move_until $plain_x $plain_y "$arrow" || fail "a close request closed the about dialog (no arrow beside the link)"
  [ -n "$(shown "О программе")" ] || fail "a close request closed the about dialog"
  xdotool key Return
  wait_gone "О программе" || fail "Enter did not close the about dialog"

  last_item 120                      # "Вид..."
  wait_shown "Вид" || fail "view settings not shown"
  view=$(shown "Вид")
  eval "$(xdotool getwindowgeometry --shell "$view")"
  area=${WIDTH}x${HEIGHT}+$X+$Y
  # Painted to the end: the same pixels twice in a row.
  shot=$(pixels)
  for _ in $(seq 50); do
    sleep 0.1
    next=$(pixels)
    [ "$next" = "$shot" ] && break
    shot=$next
  done
  xdotool key Escape Tab
  moved=
  for _ in $(seq 100); do
    next=$(pixels)
    [ -n "$next" ] && [ "$next" != "$shot" ] && { moved=1; break; }
    sleep 0.05
  done
  [ -n "$moved" ] || fail "Esc closed the view settings (no change after Esc and Tab)"
  [ -n "$(shown "Вид")" ] || fail "Esc closed the view settings"
  "$wm_close" "$view"
  wait_gone "Вид" || fail "the close box did not close the view settings"
  kill -0 $pid || fail "the program ended"
  kill $pid $probe_pid
  wait $pid 2>/dev/null || true' "$yk32" "$wm_close" "$probe")
echo "1 passed, 0 failed"
