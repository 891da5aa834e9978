#!/usr/bin/env bash
# Tries each installed terminal emulator as the console window, the way the program starts it:
# yk32 under Xvfb lists an archive in a directory with an awkward name, with $TERMINAL set to
# the emulator and LANG unset. Prints one line per emulator: whether it showed the listing
# itself (else which window did), whether the archiver got its argument unchanged, and whether
# Enter closed the window. Screenshots go to $OUT (default /tmp/terminals).
# Usage: scripts/try-terminals.sh BUILD_DIR [EMULATOR...]
# With a session bus: BUS=1; with LANG=C.UTF-8 instead of no locale: KEEP_LOCALE=1.
set -uo pipefail
build=$(cd "$1" && pwd); shift
# The main window's caption carries the version the program reports.
export title="Win INterface for YK archiver v$("$build/yk32" --version | cut -d' ' -f2)"
out=${OUT:-/tmp/terminals}
mkdir -p "$out"
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
# yk32 and yk32-console with a yk beside them that records its arguments, then lists.
mkdir "$work/bin"
cp "$build/yk32" "$build/yk32-console" "$work/bin/"
printf '#!/bin/sh\nprintf "%%s\\0" "$@" > "%s/argv"\nexec "%s/yk" "$@"\n' "$work" "$build" \
  >"$work/bin/yk"
chmod +x "$work/bin/yk"
dir="$work/odd 'dir' \"\$(x)\" -e Тест"
mkdir -p "$dir"
for n in "notes one.txt" "Отчёт за год.txt" "it's \"q\".txt" "-x \$(touch pwned)"; do
  echo data >"$dir/$n"
done
(cd "$dir" && "$build/yk" aq1 arc * </dev/null >/dev/null)
[ $# -gt 0 ] || set -- xterm urxvt lxterminal xfce4-terminal mate-terminal terminator qterminal \
  tilix konsole gnome-terminal foot kitty alacritty

if [ -n "${KEEP_LOCALE:-}" ]; then locale_env=(-u LC_ALL LANG=C.UTF-8); else locale_env=(-u LANG -u LC_ALL); fi
for emu in "$@"; do
  command -v "$emu" >/dev/null || { echo "$emu: not installed"; continue; }
  rm -f "$work/argv"
  result=$(cd "$dir" && env "${locale_env[@]}" TERMINAL="$emu" XDG_RUNTIME_DIR="$work" \
    xvfb-run -a -s "-screen 0 1024x768x24" ${BUS:+dbus-run-session --} bash -c '
    yk32=$1 shot=$2
    "$yk32" 2>/dev/null & pid=$!
    win=$(timeout 20 xdotool search --sync --onlyvisible --name "$title" | head -n1)
    [ -n "$win" ] || { echo "no main window"; exit; }
    xdotool windowfocus --sync "$win"; sleep 0.5
    xdotool type a; sleep 0.3
    before=$(xdotool search --onlyvisible --name "" | sort)
    xdotool key alt+v
    new=
    for _ in $(seq 300); do
      for w in $(comm -13 <(echo "$before") <(xdotool search --onlyvisible --name "" | sort)); do
        xprop -id "$w" WM_CLASS 2>/dev/null | grep -q "=" && { new=$w; break; }
      done
      [ -n "$new" ] && break; sleep 0.1
    done
    [ -n "$new" ] || { echo "no window"; kill $pid; exit; }
    sleep 4
    import -window root "$shot"
    class=$(xprop -id "$new" WM_CLASS 2>/dev/null | sed "s/.*= //")
    xdotool windowfocus --sync "$new" 2>/dev/null; xdotool key --window "$new" Return
    closed=no
    for _ in $(seq 50); do
      xdotool search --onlyvisible --name "" | grep -qx "$new" || { closed=yes; break; }; sleep 0.1
    done
    echo "window $class; closed by Enter: $closed"
    kill $pid' _ "$work/bin/yk32" "$out/$emu.png" 2>/dev/null)
  argv=$(tr '\0' '|' <"$work/argv" 2>/dev/null)
  [ "$argv" = "l|$dir/arc.yk|" ] && args=kept || args="CHANGED: $argv"
  echo "$emu: $result; argument $args"
done
