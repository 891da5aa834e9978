#!/usr/bin/env bash
# Builds the Debian package build/winyk_<version>_<arch>.deb (dpkg-shlibdeps, from dpkg-dev,
# works out its library dependencies).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh dpkg-dev
cd build
cpack
