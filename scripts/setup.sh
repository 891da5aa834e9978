#!/usr/bin/env bash
# Installs the Debian packages the build needs when they are missing, then builds into build/.
# Usage: scripts/setup.sh [--program] [extra-package ...]
#   --program  build only the program (yk32) and the archiver (yk), and nothing at all when no
#              file of the tree changed since the last such build: the run command's quick path.
set -euo pipefail
cd "$(dirname "$0")/.."

program_only=0
if [ "${1:-}" = --program ]; then
  program_only=1
  shift
fi

packages=(cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools libarchive-dev liblzma-dev zlib1g-dev
          libjpeg62-turbo-dev "$@")
# One query for the whole list.
declare -A installed=()
while IFS=$'\t' read -r name status; do
  [ "$status" != "install ok installed" ] || installed[$name]=1
done < <(dpkg-query -W -f='${Package}\t${Status}\n' "${packages[@]}" 2>/dev/null || true)
missing=()
for p in "${packages[@]}"; do
  [ -n "${installed[$p]:-}" ] || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq -o DPkg::Lock::Timeout=600
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq -o DPkg::Lock::Timeout=600 "${missing[@]}"
fi

# Configure only a build/ that has never been configured: a configured tree runs CMake again by
# itself when a CMakeLists.txt changes.
if [ ! -f build/CMakeCache.txt ] || { [ ! -f build/Makefile ] && [ ! -f build/build.ninja ]; }; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi

if [ "$program_only" = 0 ]; then
  cmake --build build -j"$(nproc)"
  exit 0
fi

# Two starts at once wait for each other here instead of building the same tree together.
exec 9>build/.program-lock
flock 9

# Even a build with nothing to do takes seconds (dependency scans, code generators' checks), so
# the stamp of the last good program build is compared with every file and folder of the tree
# (a folder's time changes when a file in it is added, removed or renamed).
stamp=build/.program-built
if [ -f "$stamp" ] && [ -x build/yk32 ] && [ -x build/yk ] &&
  [ -z "$(find . \( -path ./.git -o -path './build*' \) -prune -o -newer "$stamp" -print -quit)" ]; then
  exit 0
fi
# Taken before the build starts, so that a file saved during the build counts as newer.
touch build/.program-building
cmake --build build -j"$(nproc)" --target yk32 yk
mv build/.program-building "$stamp"
