#!/usr/bin/env bash
# Runs yk32 under Xvfb with the archiver beside it: the list command opens a console window
# that stays open after the archiver has ended, and closes when Enter is pressed in it.
set -euo pipefail
yk32=$1
yk=$(dirname "$yk32")/yk
. "$(dirname "$0")/common.sh"
need_tools xvfb-run xdotool x-terminal-emulator
[ -x "$yk" ] || { echo "SKIP: no archiver beside $yk32"; exit 0; }
# The windows are found by xterm's class; another terminal emulator would need another search.
case "$(readlink -f "$(command -v x-terminal-emulator)")" in
  *xterm*) ;;
  *) echo "SKIP: x-terminal-emulator is not xterm"; exit 0 ;;
esac

make_work
mkdir -p "$work/arc dir"
echo hello >"$work/arc dir/notes one.txt"
(cd "$work/arc dir" && "$yk" aq1 arc "notes one.txt" </dev/null >/dev/null)

(cd "$work/arc dir" && exec xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  fail() { echo "FAIL: $*"; kill $pid 2>/dev/null; exit 1; }
  terminals() { xdotool search --class xterm 2>/dev/null | wc -l; }
  "$0" & pid=$!
  win=$(timeout 20 xdotool search --sync --onlyvisible --name "Win INterface for YK archiver v0.7" | head -n1)
  [ -n "$win" ] || fail "no main window"
  xdotool windowfocus --sync "$win"
  sleep 0.5
  xdotool type a            # the file list finds arc.yk and makes it the current file
  sleep 0.3
  xdotool key alt+v         # list
  for _ in $(seq 50); do [ "$(terminals)" -ge 1 ] && break; sleep 0.1; done
  [ "$(terminals)" -eq 1 ] || fail "no console window"
  sleep 3                   # the archiver has long ended; the window waits
  [ "$(terminals)" -eq 1 ] || fail "the console window closed by itself"
  term=$(xdotool search --class xterm | head -n1)
  xdotool windowfocus --sync "$term" 2>/dev/null || true
  xdotool key --window "$term" Return 2>/dev/null || true
  for _ in $(seq 50); do [ "$(terminals)" -eq 0 ] && break; sleep 0.1; done
  [ "$(terminals)" -eq 0 ] || fail "Enter did not close the console window"
  kill $pid
  wait $pid 2>/dev/null || true' "$yk32")
echo "1 passed, 0 failed"
