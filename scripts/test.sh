#!/usr/bin/env bash
# Sets everything up and runs every test suite, without a display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh xvfb xauth xdotool xterm libx11-dev libxfixes-dev
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure -j"$(nproc)" "$@"
