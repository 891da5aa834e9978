#!/usr/bin/env bash
# Method 1 against xz -6 -T1 and 7zz's default LZMA2 (all cores) on one file, in interleaved
# rounds (xz, yk, 7zz, xz, yk, 7zz, ...), so that a machine whose load changes from minute to
# minute weighs on all three alike. Prints each run and the best of each with its size.
#
# Usage: bench/yk/rounds.sh FILE [path/to/yk] [rounds (default 4)]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
file=$(realpath "$1")
YK=$(realpath "${2:-$here/../../build/yk}")
rounds=${3:-4}
work=$(mktemp -d "${TMPDIR:-/tmp}/yk-rounds.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
ln "$file" input 2>/dev/null || cp "$file" input # a file, not a link: yk stores links as links
declare -A best size
run() {
    local name=$1 out=$2 cmd=$3 t
    rm -f "$out"
    /usr/bin/time -f %e -o time.txt bash -c "$cmd" >/dev/null 2>&1 || { echo "$name failed" >&2; exit 1; }
    t=$(cat time.txt)
    echo "$name: $t s"
    size[$name]=$(stat -c %s "$out")
    if [ -z "${best[$name]:-}" ] || awk -v a="$t" -v b="${best[$name]}" 'BEGIN { exit !(a < b) }'; then
        best[$name]=$t
    fi
}
for ((i = 1; i <= rounds; i++)); do
    run "xz -6 -T1" c.xz "xz -6 -T1 -c input >c.xz"
    run "yk a1" a.yk "'$YK' aq1 a input"
    run "7zz default" a.7z "7zz a -bd a.7z input"
done
echo
for name in "xz -6 -T1" "yk a1" "7zz default"; do
    echo "$name: best ${best[$name]} s, ${size[$name]} bytes"
done
echo "yk a1: $(awk -v a="${best[xz -6 -T1]}" -v b="${best[yk a1]}" 'BEGIN { printf "%.2f", a / b }') times as fast as xz, $(awk -v a="${best[7zz default]}" -v b="${best[yk a1]}" 'BEGIN { printf "%.2f", a / b }') times as fast as 7zz"
