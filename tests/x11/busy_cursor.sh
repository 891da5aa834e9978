#!/usr/bin/env bash
# Runs yk32 under Xvfb and opens a directory of 300,000 files with the pointer over the window;
# cursor_probe samples the cursor the X server shows while the list reads it. The busy cursor
# must reach the screen and be gone again afterwards.
set -euo pipefail
yk32=$1
probe=$2
. "$(dirname "$0")/common.sh"
main_title "$yk32"
need_tools xvfb-run xdotool python3

make_work
mkdir -p "$work/p/big"
python3 -c '
import os, sys
d = sys.argv[1]
for i in range(300000):
    os.close(os.open("%s/file%06d.txt" % (d, i), os.O_CREAT | os.O_WRONLY, 0o644))
' "$work/p/big"
export PROBE_OUT="$work/probe.txt"

(cd "$work/p" && exec xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$0" & pid=$!
  win=$(timeout 20 xdotool search --sync --onlyvisible --name "$title" | head -n1)
  [ -n "$win" ] || { echo "FAIL: no main window"; kill $pid; exit 1; }
  xdotool windowfocus --sync "$win"
  eval "$(xdotool getwindowgeometry --shell "$win")"
  xdotool mousemove $((X + 150)) $((Y + 200))
  sleep 0.5
  xdotool key Tab End       # the directory list, its last row: the subdirectory "big"
  sleep 0.3
  "$1" 8 >"$PROBE_OUT" & probe=$!
  sleep 0.5
  xdotool key Return        # enter it: the file list reads 300,000 files
  wait $probe
  kill $pid
  wait $pid 2>/dev/null || true' "$yk32" "$probe")

# The first line is the pointer'"'"'s cursor before the read; it must change and come back.
first=$(head -n1 "$work/probe.txt" | cut -d" " -f2)
changes=$(wc -l <"$work/probe.txt")
last=$(tail -n1 "$work/probe.txt" | cut -d" " -f2)
echo "cursor changes seen: $((changes - 1)); before: $first, at the end: $last"
[ "$changes" -ge 3 ] || { cat "$work/probe.txt"; echo "FAIL: the busy cursor never reached the screen"; exit 1; }
[ "$last" = "$first" ] || { cat "$work/probe.txt"; echo "FAIL: the cursor was not restored"; exit 1; }
echo "1 passed, 0 failed"
