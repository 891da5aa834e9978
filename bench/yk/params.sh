#!/usr/bin/env bash
# Method 1's encoder parameters side by side on the corpus of busy.sh (the man pages, built by
# it in /tmp/yk-busy/corpus): for each setting the least processor time, the best wall time, the
# size and the peak memory (tune_a1), then 7zz's default and xz -6 -T1 on the same corpus for
# reference, each archive tested by 7zz and bsdtar.
#
# Usage: bench/yk/params.sh [path/to/tune_a1] [rounds (default 2)] [SETTING...]
# Without settings, a grid of candidates (see tune_a1.cpp for the keys); the first row is the
# writer's defaults, the one the ratios are relative to.
# Environment: BENCH_DIR (default /tmp/yk-busy), CORPUS_DIR (default $BENCH_DIR/corpus).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
TUNE=$(realpath "${1:-$here/../../build/bench/yk/tune_a1}")
rounds=${2:-2}
shift $(($# < 2 ? $# : 2))
dir=${BENCH_DIR:-/tmp/yk-busy}
corpus=${CORPUS_DIR:-$dir/corpus}
export LC_ALL=C.UTF-8
[ -d "$corpus" ] || { echo "no corpus in $corpus: run bench/yk/busy.sh once" >&2; exit 2; }
settings=("$@")
if [ ${#settings[@]} -eq 0 ]; then
    settings=(
        ""
        "nice=32" "nice=48" "nice=64"
        "nice=32,depth=16" "nice=64,depth=24"
        "mf=hc4" "nice=32,mf=hc4"
        "prime=1024" "prime=2048" "prime=4096"
        "block=16,prime=1024" "block=16,prime=2048" "block=16,prime=4096"
        "lc=4,lp=0,pb=0" "lc=3,lp=0,pb=0" "lc=1,lp=0,pb=0"
        "dict=16,block=16,prime=2048"
    )
fi
out=$(mktemp -d "$dir/params.XXXXXX")
trap 'rm -rf "$out"' EXIT
cat $(find "$corpus" -type f) >/dev/null # into the page cache
echo "$(nproc) cores; $(find "$corpus" -type f | wc -l) files, $(du -sb "$corpus" | cut -f1) bytes;" \
    "$(date -u +%Y-%m-%d); before: $(uptime)"
"$TUNE" "$corpus" "$out" "$rounds" "${settings[@]}"
echo "after: $(uptime)"
for ((i = 1; i <= ${#settings[@]}; i++)); do
    7zz t "$out/tune-$i.7z" >/dev/null && bsdtar -tf "$out/tune-$i.7z" >/dev/null ||
        { echo "the archive of setting $i fails its test" >&2; exit 1; }
done
echo "every archive passes 7zz t and bsdtar -t"
# The references, on the same corpus: the least processor time of $rounds runs.
ref() { # ref LABEL OUTPUT COMMAND
    local best="" u s t
    for ((i = 1; i <= rounds; i++)); do
        rm -f "$2"
        /usr/bin/time -f '%e %U %S' -o "$out/time.txt" bash -c "$3" >/dev/null 2>&1
        read -r t u s <"$out/time.txt"
        u=$(awk -v a="$u" -v b="$s" 'BEGIN { print a + b }')
        if [ -z "$best" ] || awk -v a="$u" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$u; fi
    done
    printf '| %s | %.2f | %d |\n' "$1" "$best" "$(stat -c %s "$2")"
}
echo
echo "| reference | CPU, s | size, bytes |"
echo "|---|--:|--:|"
ref "7zz a (LZMA2)" "$out/r.7z" "cd '$(dirname "$corpus")' && 7zz a -bd '$out/r.7z' '$(basename "$corpus")'"
ref "xz -6 -T1" "$out/r.tar.xz" "cd '$(dirname "$corpus")' && tar -cf - '$(basename "$corpus")' | xz -6 -T1 >'$out/r.tar.xz'"
