#!/usr/bin/env bash
# On a real X server, whose keys repeat while held: Enter held in the archive name, and Alt+A
# held, each start the archiver once, and the next real press starts it again. The program runs from a directory of
# its own, beside an archiver that only records its runs, one line each.
set -euo pipefail
yk32=$1
. "$(dirname "$0")/common.sh"
main_title "$yk32"
need_tools xvfb-run xdotool pgrep

make_work
mkdir -p "$work/bin" "$work/files"
cp "$yk32" "$work/bin/yk32"
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s/runs"\n' "$work" >"$work/bin/yk"
chmod +x "$work/bin/yk" "$work/bin/yk32"
touch "$work/files/a.txt" "$work/runs"
export RUNS="$work/runs" RECORDER="$work/bin/yk"

# No terminal emulator and no console window of our own to find: every run is without a window.
(cd "$work/files" && exec xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  fail() { echo "FAIL: $*"; echo "runs:"; cat "$RUNS"; kill $pid 2>/dev/null; exit 1; }
  PATH=/nonexistent "$0" & pid=$!
  win=$(timeout 20 xdotool search --sync --onlyvisible --name "$title" | head -n1)
  [ -n "$win" ] || fail "no main window"
  xdotool windowfocus --sync "$win"
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$win")"
  # Into the archive name (its top left corner lies at 96,316 below the menu bar), all of it.
  xdotool mousemove $((X + 150)) $((Y + 350)) click 1
  sleep 0.3
  xdotool key ctrl+a
  # A held letter fills the name to its 11 characters: the keys do repeat on this server.
  xdotool keydown x
  sleep 1.5
  xdotool keyup x
  xdotool keydown Return
  sleep 1.5
  xdotool keyup Return
  xdotool keydown alt+a
  sleep 1.5
  xdotool keyup alt+a
  # Another real press, with another name, runs after every repeat of the held keys.
  xdotool key ctrl+a z Return
  for _ in $(seq 200); do grep -q " z" "$RUNS" && break; sleep 0.05; done
  grep -q " z" "$RUNS" || fail "the last press started nothing"
  # Each run was started (executed) before the next; those still running have yet to write.
  for _ in $(seq 200); do pgrep -f -- "^/bin/sh $RECORDER " >/dev/null || break; sleep 0.05; done
  kill $pid
  wait $pid 2>/dev/null || true' "$work/bin/yk32")

runs=$(cat "$work/runs")
fail() { echo "FAIL: $*"; printf 'runs:\n%s\n' "$runs"; exit 1; }
[ "$(wc -l <"$work/runs")" -eq 3 ] || fail "not three runs, one per real press"
[ "$(grep -c "xxxxxxxxxxx" "$work/runs")" -eq 2 ] || fail "the held letter did not repeat"
tail -n1 "$work/runs" | grep -q " z" || fail "the last run is not the last press"
echo "1 passed, 0 failed"
