#!/usr/bin/env bash
# Runs yk32 under Xvfb with the archiver beside it: the list command opens a console window
# that stays open after the archiver has ended, and closes when Enter is pressed in it. With
# LANG and LC_ALL unset, or LC_ALL=C, xterm shows the Russian as Russian; an emulator that
# fails gives way to the next one; with no emulator at all the listing shows in our own
# console window.
set -euo pipefail
yk32=$1
yk=$(dirname "$yk32")/yk
. "$(dirname "$0")/common.sh"
main_title "$yk32"
need_tools xvfb-run xdotool ps
[ -x "$yk" ] || { echo "SKIP: no archiver beside $yk32"; exit 0; }

make_work
mkdir -p "$work/arc dir"
echo hello >"$work/arc dir/Отчёт за год.txt"
(cd "$work/arc dir" && "$yk" aq1 arc "Отчёт за год.txt" </dev/null >/dev/null)
# xterm writes its screen to a file on Ctrl+P: what the user sees, as text.
cat >"$work/xres" <<'R'
*VT100.translations: #override Ctrl<Key>p: print-immediate()
*printFileImmediate: screen
R

passed=0
# scenario NAME CLASS DUMP ENV...: lists arc.yk with ENV; a window of CLASS must show, stay
# open after the archiver ended, show the listing in Russian (DUMP=1: xterm's screen) and close
# on Enter.
scenario() {
  local name=$1 class=$2 dump=$3
  shift 3
  rm -f "$work/arc dir"/screen*
  if ! (cd "$work/arc dir" && xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    fail() { echo "FAIL: $*"; kill $pid 2>/dev/null; exit 1; }
    yk32=$0 class=$1 dump=$2
    shift 2
    windows() { xdotool search --onlyvisible --class "$class" 2>/dev/null | wc -l; }
    env "$@" "$yk32" & pid=$!
    win=$(timeout 20 xdotool search --sync --onlyvisible --name "$title" | head -n1)
    [ -n "$win" ] || fail "no main window"
    xdotool windowfocus --sync "$win"
    sleep 0.5
    xdotool type a            # the file list finds arc.yk and makes it the current file
    sleep 0.3
    xdotool key alt+v         # list
    for _ in $(seq 200); do [ "$(windows)" -ge 1 ] && break; sleep 0.1; done
    [ "$(windows)" -eq 1 ] || fail "no console window of class $class"
    term=$(xdotool search --onlyvisible --class "$class" | head -n1)
    wpid=$(xdotool getwindowpid "$term") || fail "the console window names no process"
    # The window waits once, under its process, no yk runs and a shell with no child sleeps:
    # the archiver has ended and the wrapper reads the closing Enter.
    waits() {
      ps -e -o pid=,ppid=,stat=,comm= | awk -v root="$wpid" "
        { pid[NR] = \$1; pp[NR] = \$2; st[NR] = \$3; c[NR] = \$4; kids[\$2]++ }
        END {
          t[root] = 1
          do { more = 0; for (i = 1; i <= NR; i++) if (!(pid[i] in t) && (pp[i] in t)) { t[pid[i]] = 1; more = 1 } } while (more)
          yk = 0; sh = 0
          for (i = 1; i <= NR; i++) if (pid[i] != root && (pid[i] in t)) {
            if (c[i] == \"yk\") yk = 1
            if (c[i] == \"sh\" && !kids[pid[i]] && st[i] ~ /^S/) sh = 1
          }
          exit !(sh && !yk)
        }"
    }
    for _ in $(seq 600); do waits && break; sleep 0.1; done
    waits || fail "the window does not wait with the archiver ended: $(ps -e -o pid,ppid,stat,comm)"
    [ "$(windows)" -eq 1 ] || fail "the console window closed by itself"
    xdotool windowfocus --sync "$term" 2>/dev/null || true
    if [ "$dump" = 1 ]; then
      xdotool key --window "$term" ctrl+p
      for _ in $(seq 50); do ls screen* >/dev/null 2>&1 && break; sleep 0.1; done
      text=$(cat screen* 2>/dev/null || true)
      grep -q "Отчёт за год.txt" <<<"$text" || fail "no Russian name on the screen: $text"
      grep -q "Нажмите Enter, чтобы закрыть окно." <<<"$text" || fail "no closing line: $text"
    fi
    xdotool key --window "$term" Return 2>/dev/null || true
    for _ in $(seq 100); do [ "$(windows)" -eq 0 ] && break; sleep 0.1; done
    [ "$(windows)" -eq 0 ] || fail "Enter did not close the console window"
    kill $pid
    wait $pid 2>/dev/null || true' "$yk32" "$class" "$dump" "$@" XENVIRONMENT="$work/xres"); then
    echo "FAIL in scenario: $name"
    exit 1
  fi
  echo "PASS: $name"
  passed=$((passed + 1))
}

if command -v xterm >/dev/null; then
  scenario "xterm, no locale set" xterm 1 -u LANG -u LC_ALL -u LC_CTYPE TERMINAL=xterm
  scenario "xterm, LC_ALL=C" xterm 1 LC_ALL=C TERMINAL=xterm
  # An x-terminal-emulator that ends with an error, as gnome-terminal does without a session
  # bus: the next emulator shows the listing.
  mkdir -p "$work/bin"
  printf '#!/bin/sh\necho "no session bus" >&2\nexit 1\n' >"$work/bin/x-terminal-emulator"
  chmod +x "$work/bin/x-terminal-emulator"
  scenario "a failing x-terminal-emulator gives way to xterm" xterm 0 -u LANG -u TERMINAL \
    LC_ALL=C "PATH=$work/bin:$PATH"
fi
# No terminal emulator on PATH: our own window, found beside the program.
scenario "no terminal emulator: our own window" yk32-console 0 -u LANG -u LC_ALL \
  -u TERMINAL PATH=/nonexistent
echo "$passed passed, 0 failed"
