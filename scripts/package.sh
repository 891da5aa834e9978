#!/usr/bin/env bash
# Builds the Debian package build/winyk_<version>_<arch>.deb from the optimised, hardened build
# that scripts/setup.sh makes (dpkg-shlibdeps, from dpkg-dev, works out its library
# dependencies; the manual pages and the changelog are compressed by the build).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh dpkg-dev
cd build
cpack
