#!/usr/bin/env bash
# Hostile and heavy archives, each read side by side with bsdtar (and 7zz where it reads it) in
# one run: best elapsed time of REPEAT runs, its CPU time (user + system) and peak memory.
#   1. one entry "d/" x N + "f" for N = 1000, 2000, 4000 (extracted) and 10000 (refused by yk);
#   2. a packed header that unpacks to 900 MiB (l, t and x refuse it);
#   3. a 56-byte header declaring 99,999,999 folders;
#   4. extracting FILES (default 200,000) empty files in 200 directories.
#
# Usage: bench/yk/hostile.sh [path/to/yk] [path/to/yk_craft]   (defaults: build/yk,
#        build/tests/yk/yk_craft). Needs bsdtar and /usr/bin/time; 7zz where installed.
#        Environment: BENCH_DIR (default /tmp/yk-hostile), REPEAT (default 3), FILES, ONLY
#        (the sections to run, default 1234).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
YK=$(realpath "${1:-$here/../../build/yk}")
CRAFT=$(realpath "${2:-$here/../../build/tests/yk/yk_craft}")
dir=${BENCH_DIR:-/tmp/yk-hostile}
repeat=${REPEAT:-3}
files=${FILES:-200000}
only=${ONLY:-1234}
export LC_ALL=C.UTF-8
for tool in bsdtar /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "$tool is needed" >&2; exit 2; }
done
mkdir -p "$dir" && cd "$dir"

# measure LABEL COMMAND...: runs COMMAND REPEAT (or RUNS) times in a fresh directory "out" (the archive
# is given as ../NAME) and prints the best elapsed time with its CPU time and peak memory.
measure() {
    local label=$1 best="" line runs=${RUNS:-$repeat}
    shift
    for _ in $(seq 1 "$runs"); do
        rm -rf out && mkdir out
        (cd out && /usr/bin/time -f '%e %U %S %M' -o ../time.txt "$@" </dev/null >/dev/null 2>&1) ||
            true
        line=$(tail -1 time.txt)
        if [ -z "$best" ] || awk -v a="${line%% *}" -v b="${best%% *}" 'BEGIN { exit !(a < b) }'; then
            best=$line
        fi
    done
    rm -rf out
    read -r e u s m <<<"$best"
    printf '%-34s %8.2f s %8.2f s cpu %9d KB\n' "$label" "$e" "$(echo "$u + $s" | bc)" "$m"
}

[[ $only == *1* ]] && echo "== 1. deep paths (one file under N directories)"
[[ $only == *1* ]] && for n in 1000 2000 4000 10000; do
    deep=$(printf 'd/%.0s' $(seq 1 "$n"))
    "$CRAFT" entries "deep$n.yk" "f644:${deep}f=bottom"
    measure "yk x, depth $n" "$YK" xq "../deep$n.yk"
    measure "bsdtar -x, depth $n" bsdtar -xf "../deep$n.yk"
done

if [[ $only == *2* ]]; then
echo "== 2. a packed header of 900 MiB"
[ -f bomb.yk ] || "$CRAFT" bomb bomb.yk 900
echo "archive: $(stat -c %s bomb.yk) bytes"
for c in l t x; do
    measure "yk $c" "$YK" "$c" ../bomb.yk
done
measure "bsdtar -t" bsdtar -tf ../bomb.yk
command -v 7zz >/dev/null && measure "7zz t" 7zz t ../bomb.yk
fi

if [[ $only == *3* ]]; then
echo "== 3. 99,999,999 folders declared in 56 bytes"
"$CRAFT" folders folders.yk 99999999
for c in l t x; do
    measure "yk $c" "$YK" "$c" ../folders.yk
done
measure "bsdtar -t" bsdtar -tf ../folders.yk
command -v 7zz >/dev/null && measure "7zz t" 7zz t ../folders.yk
fi
[[ $only == *4* ]] || exit 0

echo "== 4. $files empty files in 200 directories"
if [ ! -f "many$files.yk" ]; then
    rm -rf many && mkdir many
    per=$((files / 200))
    for d in $(seq 1 200); do
        mkdir "many/d$d" && (cd "many/d$d" && seq -f 'f%g' 1 "$per" | xargs touch)
    done
    (cd many && "$YK" aqr1 "../many$files" '*.*' </dev/null >/dev/null)
    rm -rf many
fi
# Interleaved rounds: the machine's load changes between them, not within one pair.
for round in $(seq 1 "$repeat"); do
    RUNS=1 measure "yk x, round $round" "$YK" xq "../many$files.yk"
    RUNS=1 measure "bsdtar -x, round $round" bsdtar -xf "../many$files.yk"
done
