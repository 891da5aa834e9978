#!/usr/bin/env bash
# Sets everything up and starts the program (needs an X display: DISPLAY must be set).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh xdg-utils xterm fonts-liberation2
exec build/yk32
