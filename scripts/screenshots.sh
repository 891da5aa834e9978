#!/usr/bin/env bash
# Takes the README's screenshots under Xvfb: the main window, its open menu, each dialog, with the
# flat look off and on, at 100 % and again at 200 % (QT_SCALE_FACTOR=2, files NAME_200.png), and
# the main window and about dialog over a terminal with a compositor (xcompmgr -c) so that their
# translucency shows. Last it prints the run command's time to the window (bench/app/start.sh).
# Usage: scripts/screenshots.sh [yk32 [output folder]]
# Without a yk32 argument it installs what it needs and builds first, as scripts/setup.sh does.
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -ge 1 ] || scripts/setup.sh xvfb xdotool imagemagick xterm xcompmgr fonts-liberation2
yk32=$(realpath "${1:-build/yk32}")
# The main window's caption carries the version the program reports.
export title="Win INterface for YK archiver v$("$yk32" --version | cut -d' ' -f2)"
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

# Scale S (1 or 2): every layout position below is in pixels at 100 % and is multiplied by S.
S=1
SUFFIX=
start_display() {
  : >"$work/display"
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 $((1000 * S))x$((640 * S))x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB=$!
  pids+=("$XVFB")
  for _ in $(seq 300); do [ -s "$work/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$work/display")"
}

# Main window's top-left; the dialogs' client areas sit where their layouts put them.
shot() { # name x y w h (at 100 %)
  import -window root -crop "$(($4 * S))x$(($5 * S))+$(($2 * S))+$(($3 * S))" +repage \
    "$out/$1$SUFFIX.png"
  echo "wrote $out/$1$SUFFIX.png"
}
click() { xdotool mousemove $(($1 * S)) $(($2 * S)) click 1; sleep 0.6; }
move() { xdotool mousemove $(($1 * S)) $(($2 * S)); sleep 0.5; }
# Opens the menu whose title lies at x and runs its last item ("Вид...", "О программе WinYK...").
open_last_item() { click "$1" $((MY + MENU_H / 2)); xdotool key Up Return; sleep 0.8; }
main_shot() { shot "$1" $MX $MY 593 $((373 + MENU_H)); }
# The "Параметры" menu, open, with the pointer on "Вид...".
menu_shot() { # name
  click $((MX + 120)) $((MY + MENU_H / 2))
  move $((MX + 140)) $((MY + MENU_H + 30))
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
  WIN=$(timeout 20 xdotool search --sync --onlyvisible --name "$title" | head -n1)
  sleep 1
  # The menu bar's height at 100 %: the window is the layout's 373 pixels plus the bar.
  MENU_H=$(( $(xdotool getwindowgeometry "$WIN" | sed -n 's/.*Geometry: [0-9]*x//p') / S - 373 ))
}

take_shots() { # scale
S=$1
SUFFIX=
[ "$S" = 1 ] || SUFFIX="_$((S * 100))"
export QT_SCALE_FACTOR=$S
start_display
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
  x=$(( $(sed -n 's/.*Position: \([0-9]*\),.*/\1/p' <<<"$geo") / S ))
  y=$(( $(sed -n 's/.*Position: [0-9]*,\([0-9]*\).*/\1/p' <<<"$geo") / S ))
  shot "$1" "$x" "$y" 386 400
  click $((x + 155 + 37)) $((y + 371 + 12))
}
options_dialog options

# The view settings dialog, then the flat look switched on from it.
open_last_item $((MX + 120))
shot view 234 155 235 281
click $((234 + 14)) $((155 + 216 + 8))
move $((234 + 117)) $((155 + 260))
shot view_xp 234 155 235 281
click $((234 + 80 + 37)) $((155 + 248 + 12))

move $((MX + 58 + 29)) $((MY + MENU_H + 29))
main_shot main_xp
menu_shot menu_xp
about_shot about_xp
options_dialog options_xp
kill "$PROGRAM"; wait "$PROGRAM" 2>/dev/null || true
[ "$S" = 1 ] || { kill "$XVFB"; wait "$XVFB" 2>/dev/null || true; }
}

MX=176 MY=104
take_shots 2
take_shots 1

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

# The run command's time from the command to the window, on a display of its own.
bench/app/start.sh 3
