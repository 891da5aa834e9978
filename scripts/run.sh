#!/usr/bin/env bash
# Sets everything up and starts the program (needs an X display: DISPLAY must be set).
set -euo pipefail
cd "$(dirname "$0")/.."
# Only the program and the archiver are built here; scripts/test.sh builds everything.
scripts/setup.sh --program xdg-utils xterm fonts-liberation2
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: set DISPLAY (for example run under 'xvfb-run -a scripts/run.sh')." >&2
  exit 1
fi
exec build/yk32
