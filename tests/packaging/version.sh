#!/usr/bin/env bash
# The version is set once, in CMake; this checks that everything that shows it agrees: both
# programs' --version, the package, the software-centre metadata, the Debian changelog and the
# manual pages. (The window texts are checked, byte for byte, by the main window's and the
# about dialog's suites.) Also checks that --version takes nothing from yk's grammar.
set -uo pipefail
yk=$1 yk32=$2 build=$3 src=$4
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
same() { [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"; }

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "FAIL: no project version in $build/CMakeCache.txt"; exit 1; }
build_number=$(sed -n 's/^#define WINYK_BUILD_NUMBER "\(.*\)"$/\1/p' "$build/generated/Version.h")
[ -n "$build_number" ] || fail "no build number in Version.h"

same "yk --version" "$("$yk" --version)" "yk $version"
# Without a display: the answer comes before any window system is touched.
same "yk32 --version" "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$yk32" --version)" \
  "WinYk $version (build $build_number)"

# The grammar: only the lone word is the version; after a command it is a name, alone among
# other words it is a wrong command line.
out=$("$yk" l --version 2>&1); status=$?
same "yk l --version (exit status)" "$status" 2
case $out in *"yk $version"*) fail "yk l --version printed the version" ;; esac
"$yk" --version extra >/dev/null 2>&1; same "yk --version extra (exit status)" "$?" 2

same "package version" \
  "$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")" "$version"
changelog_top=$(head -n1 "$src/packaging/changelog")
same "changelog's latest entry" "$changelog_top" "winyk ($version) unstable; urgency=medium"
metainfo=$(ls "$build"/packaging/*.metainfo.xml)
release=$(grep -o '<release version="[^"]*" date="[^"]*"' "$metainfo" | head -n1)
changelog_date=$(date -u -d "$(sed -n 's/^ -- .*>  //p' "$src/packaging/changelog" | head -n1)" +%F)
same "metainfo release" "$release" "<release version=\"$version\" date=\"$changelog_date\""

for page in "$build"/packaging/man/*/*.1; do
  grep -q "^\.TH .* \"WinYk $version\"" "$page" || fail "$page: not version $version"
  if command -v man >/dev/null; then
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page: $warnings"
  fi
done

[ "$failures" -eq 0 ] || exit 1
echo "version $version agrees everywhere"
