#!/usr/bin/env bash
# Runs yk32 under Xvfb: Esc writes the settings file and ends the program; the next start,
# from another directory, comes back to the saved one.
set -euo pipefail
yk32=$1
. "$(dirname "$0")/common.sh"
main_title "$yk32"
need_tools xvfb-run xdotool

make_work
mkdir -p "$work/saved dir" "$work/other"
touch "$work/saved dir/a file.txt"
ini="$work/config/yk32.ini"

# One session: start the program in $1, run the xdotool steps in $2, wait for it to end.
session() {
  local dir=$1 steps=$2
  (cd "$dir" && exec xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$0" & pid=$!
    win=$(timeout 20 xdotool search --sync --onlyvisible --name "$title" | head -n1)
    [ -n "$win" ] || { echo "no main window"; kill $pid; exit 1; }
    xdotool windowfocus --sync "$win"
    sleep 0.3
    '"$steps"'
    for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
    if kill -0 $pid 2>/dev/null; then echo "still running"; kill $pid; exit 1; fi
    wait $pid' "$yk32")
}

fail() { echo "FAIL: $*"; exit 1; }

session "$work/saved dir" 'xdotool key Escape'
[ -f "$ini" ] || fail "Esc did not write the settings file"
[ "$(cat "$ini")" = "$work/saved dir"$'\r' ] || fail "settings file holds: $(od -c "$ini" | head -3)"

# Started elsewhere, the program comes back to the saved directory and saves it again.
session "$work/other" 'xdotool key Escape'
[ "$(cat "$ini")" = "$work/saved dir"$'\r' ] || fail "restart did not open the saved directory"

echo "1 passed, 0 failed"
