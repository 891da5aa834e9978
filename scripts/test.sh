#!/usr/bin/env bash
# Sets everything up and runs every test suite, without a display.
set -euo pipefail
cd "$(dirname "$0")/.."
# The fonts the windows are laid out for; 7zip, bsdtar and /usr/bin/time let the archiver cases
# check archives with other readers and measure memory; strace kills an add at its rename.
scripts/setup.sh xvfb xauth xdotool xterm libx11-dev libxfixes-dev \
  fonts-liberation2 7zip libarchive-tools time strace
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure -j"$(nproc)" "$@"
