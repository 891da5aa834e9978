#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the installed program under Xvfb with an
# empty PATH: adding a file to an archive works, so the program found the archiver installed
# beside it. Also checks the desktop entry and the icons are where the desktop looks.
set -euo pipefail
build=$1
. "$(dirname "$0")/common.sh"
need_tools xvfb-run xdotool cmake

make_work
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
main_title "$prefix/bin/yk32"
fail() { echo "FAIL: $*"; exit 1; }
for f in bin/yk32 bin/yk bin/yk32-console share/applications/winyk.desktop \
         share/icons/hicolor/32x32/apps/winyk.png share/icons/hicolor/16x16/apps/winyk.png; do
  [ -e "$prefix/$f" ] || fail "not installed: $f"
done
[ -x "$prefix/bin/yk" ] && [ -x "$prefix/bin/yk32" ] && [ -x "$prefix/bin/yk32-console" ] || \
  fail "programs not executable"
grep -qx 'Exec=yk32' "$prefix/share/applications/winyk.desktop" || fail "desktop entry Exec"
grep -qx 'Icon=winyk' "$prefix/share/applications/winyk.desktop" || fail "desktop entry Icon"

mkdir -p "$work/files" "$work/empty"
echo hello >"$work/files/notes.txt"

(cd "$work/files" && exec xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  fail() { echo "FAIL: $*"; kill $pid 2>/dev/null; exit 1; }
  PATH="$1" "$0" & pid=$!
  win=$(timeout 20 xdotool search --sync --onlyvisible --name "$title" | head -n1)
  [ -n "$win" ] || fail "no main window"
  xdotool windowfocus --sync "$win"
  sleep 0.5
  xdotool type n            # the file list finds notes.txt; the archive name becomes "notes"
  sleep 0.3
  xdotool key alt+a         # add
  for _ in $(seq 100); do [ -s notes.yk ] && break; sleep 0.1; done
  [ -s notes.yk ] || fail "no archive: the installed program did not start the archiver beside it"
  kill $pid
  wait $pid 2>/dev/null || true' "$prefix/bin/yk32" "$work/empty")
"$prefix/bin/yk" t "$work/files/notes.yk" >/dev/null || fail "archive does not test good"
echo "1 passed, 0 failed"
