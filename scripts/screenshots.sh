#!/usr/bin/env bash
# Takes the README's screenshots under Xvfb: the main window, its open menu, each dialog, with the
# flat look off and on, and the main window and about dialog over a terminal with a compositor
# (xcompmgr -c) so that their translucency shows.
# Usage: scripts/screenshots.sh [yk32 [output folder]]
# Without a yk32 argument it installs what it needs and builds first, as scripts/setup.sh does.
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -ge 1 ] || scripts/setup.sh xvfb xdotool imagemagick xterm xcompmgr fonts-liberation2
yk32=$(realpath "${1:-build/yk32}")
out=$(realpath -m "${2:-docs/screenshots}")
for tool in Xvfb xdotool import xterm xcompmgr; do
  command -v "$tool" >/dev/null || { echo "missing: $tool"; exit 1; }
done
mkdir -p "$out"

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A small folder to browse, and a settings folder of its own so nothing of the user's is touched.
demo="$work/Документы"
mkdir -p "$demo/Отчёты" "$demo/photos" "$work/config"
head -c 3000000 /dev/zero >"$demo/backup.tar"
printf 'hello\n' >"$demo/README"
printf 'x%.0s' $(seq 1500) >"$demo/report.old.txt"
cp "$yk32" "$demo/setup.exe"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work" HOME="$work"

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1000x640x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"

# Main window's top-left; the dialogs' client areas sit where their layouts put them.
MX=176 MY=104
shot() { # name x y w h
  import -window root -crop "$4x$5+$2+$3" +repage "$out/$1.png"
  echo "wrote $out/$1.png"
}
click() { xdotool mousemove "$1" "$2" click 1; sleep 0.6; }
# Opens the menu whose title lies at x and runs its last item ("Вид...", "О программе WinYK...").
open_last_item() { click "$1" $((MY + MENU_H / 2)); xdotool key Up Return; sleep 0.8; }
main_shot() { shot "$1" $MX $MY 593 $((373 + MENU_H)); }
# The "Параметры" menu, open, with the pointer on "Вид...".
menu_shot() { # name
  click $((MX + 120)) $((MY + MENU_H / 2))
  xdotool mousemove $((MX + 140)) $((MY + MENU_H + 30)); sleep 0.5
  shot "$1" $MX $MY 330 140
  xdotool key Escape; sleep 0.3
}
# The about dialog, closed again by Enter.
about_shot() { # name
  open_last_item $((MX + 225))
  shot "$1" 215 165 466 281
  xdotool key Return; sleep 0.5
}

start_program() {
  (cd "$demo" && exec "$yk32") &
  PROGRAM=$!
  pids+=("$PROGRAM")
  WIN=$(timeout 20 xdotool search --sync --onlyvisible --name "Win INterface for YK archiver v0.7" | head -n1)
  sleep 1
  # The menu bar's height: the window is the layout's 373 pixels plus the bar.
  MENU_H=$(( $(xdotool getwindowgeometry "$WIN" | sed -n 's/.*Geometry: [0-9]*x//p') - 373 ))
}

start_program
# Click README in the file list so the status bar and the path line have something to show.
click $((MX + 296 + 40)) $((MY + MENU_H + 110 + 8 + 16))
main_shot main
menu_shot menu
about_shot about

# The options dialog, first item of "Параметры"; it centres itself on the screen and closes by
# its OK button.
options_dialog() { # name
  click $((MX + 120)) $((MY + MENU_H / 2)); xdotool key Down Return; sleep 0.8
  local id geo x y
  id=$(xdotool search --onlyvisible --name "Параметры архиватора" | head -n1)
  geo=$(xdotool getwindowgeometry "$id")
  x=$(sed -n 's/.*Position: \([0-9]*\),.*/\1/p' <<<"$geo")
  y=$(sed -n 's/.*Position: [0-9]*,\([0-9]*\).*/\1/p' <<<"$geo")
  shot "$1" "$x" "$y" 386 400
  click $((x + 155 + 37)) $((y + 371 + 12))
}
options_dialog options

# The view settings dialog, then the flat look switched on from it.
open_last_item $((MX + 120))
shot view 234 155 235 281
click $((234 + 14)) $((155 + 216 + 8))
xdotool mousemove $((234 + 117)) $((155 + 260)); sleep 0.5
shot view_xp 234 155 235 281
click $((234 + 80 + 37)) $((155 + 248 + 12))

xdotool mousemove $((MX + 58 + 29)) $((MY + MENU_H + 29)); sleep 0.5
main_shot main_xp
menu_shot menu_xp
about_shot about_xp
options_dialog options_xp
kill "$PROGRAM"; wait "$PROGRAM" 2>/dev/null || true

# With a compositor the windows are see-through: a terminal full of text lies behind them.
xcompmgr -c >/dev/null 2>&1 &
pids+=($!)
xterm -geometry 160x48+0+0 -fa Monospace -fs 9 -bg '#f0f0e0' -fg '#204080' \
  -e bash -c 'ls -l /usr/bin | head -300; sleep 600' &
pids+=($!)
sleep 1.5
start_program
click $((MX + 296 + 40)) $((MY + MENU_H + 110 + 8 + 16))
open_last_item $((MX + 225))
sleep 0.5
shot translucent 150 80 560 400
xdotool key Return; sleep 0.3
kill "$PROGRAM"; wait "$PROGRAM" 2>/dev/null || true
