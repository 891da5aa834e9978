#!/usr/bin/env bash
# Times the run command, scripts/run.sh, from the moment it is typed to the moment the main
# window is on the screen (mapped on an X server of its own, Xvfb). The first start builds what
# it needs and is shown apart; the starts after it are the ones a user makes every day.
# Usage: bench/app/start.sh [starts after the first]     (default 5)
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-5}
# The caption carries the project's version (the program may not be built yet).
title="Win INterface for YK archiver v$(sed -n 's/^project(WinYk VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "missing: $tool (apt-get install xvfb xdotool)"; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
# The program's settings go to a folder of its own, so nothing of the user's is read or written.
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work"
mkdir -p "$XDG_CONFIG_HOME"

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1000x640x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
# Xvfb writes its display number once it takes clients; on a busy machine that can take a while.
for _ in $(seq 300); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

now() { date +%s%N; }
# Starts scripts/run.sh and prints the milliseconds until its window is mapped.
one_start() {
  local t0 t1 pid
  t0=$(now)
  scripts/run.sh >"$work/run.log" 2>&1 &
  pid=$!
  until xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || { echo "run.sh ended without a window:" >&2; cat "$work/run.log" >&2; exit 1; }
    sleep 0.01
  done
  t1=$(now)
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  # The next start must not find this window still on the screen.
  while xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; do sleep 0.01; done
  echo $(((t1 - t0) / 1000000))
}

first=$(one_start)
echo "first start (builds what is missing): $first ms"
times=()
for i in $(seq "$runs"); do
  times+=("$(one_start)")
  echo "start $((i + 1)): ${times[-1]} ms"
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "starts after the first, $runs runs: median ${sorted[$((runs / 2))]} ms, min ${sorted[0]} ms, max ${sorted[-1]} ms (load $(cut -d' ' -f1 /proc/loadavg))"
