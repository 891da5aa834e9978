#!/usr/bin/env bash
# Method 1 against 7zz's default (LZMA2, all cores) and xz -6 -T1 on the man pages of sections
# 1, 3 and 8 unpacked (a directory of a few thousand text files), quiet and with one core taken
# by a CPU burner (`yes >/dev/null`). Rounds interleave the tools (xz, yk, 7zz quiet, then the
# same with the burner), so a changing load weighs on all alike. Prints each run, then a table
# of the best times with the sizes, the ratios and the load before and after (uptime).
#
# Usage: bench/yk/busy.sh [path/to/yk] [rounds (default 3)]
# Environment: BENCH_DIR (default /tmp/yk-busy), CORPUS_DIR (a directory to use instead of the
# man pages). Needs 7zz, xz and /usr/bin/time.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
YK=$(realpath "${1:-$here/../../build/yk}")
rounds=${2:-3}
dir=${BENCH_DIR:-/tmp/yk-busy}
export LC_ALL=C.UTF-8
for tool in 7zz xz /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "$tool is needed" >&2; exit 2; }
done
mkdir -p "$dir" && cd "$dir"

if [ -n "${CORPUS_DIR:-}" ]; then
    rm -rf corpus && cp -a "$CORPUS_DIR" corpus
elif [ ! -d corpus ]; then
    # The pages as files (symbolic links left out), decompressed; the thousands of near-identical
    # pages of one cloud tool that some machines carry are left out too.
    mkdir -p corpus.tmp
    for s in 1 3 8; do
        mkdir -p "corpus.tmp/man$s"
        find "/usr/share/man/man$s" -maxdepth 1 -type f -name '*.gz' ! -name 'gcloud*' -print0 |
            xargs -0 -r sh -c 'for f; do b=${f##*/}; gzip -dc "$f" >"$0/${b%.gz}"; done' \
                "corpus.tmp/man$s"
        find "/usr/share/man/man$s" -maxdepth 1 -type f ! -name '*.gz' ! -name 'gcloud*' \
            -exec cp {} "corpus.tmp/man$s/" \;
    done
    mv corpus.tmp corpus
fi
bytes=$(du -sb corpus | cut -f1)
files=$(find corpus -type f | wc -l)
cat $(find corpus -type f) >/dev/null # into the page cache, the same for everybody

burner=""
stop_burner() { [ -z "$burner" ] || { kill "$burner" 2>/dev/null; wait "$burner" 2>/dev/null || true; burner=""; }; }
trap 'stop_burner' EXIT
declare -A best size cpu
run() { # run LABEL LOAD OUTPUT COMMAND
    local key="$1|$2" t u s
    rm -f "$3"
    /usr/bin/time -f '%e %U %S' -o time.txt bash -c "$4" >/dev/null 2>&1 ||
        { echo "$1 failed" >&2; exit 1; }
    read -r t u s <time.txt
    echo "$2 $1: $t s ($u s user, $s s system)"
    size[$1]=$(stat -c %s "$3")
    if [ -z "${best[$key]:-}" ] || awk -v a="$t" -v b="${best[$key]}" 'BEGIN { exit !(a < b) }'; then
        best[$key]=$t
    fi
    # The least processor time of all runs: what the work costs, whatever the load.
    u=$(awk -v a="$u" -v b="$s" 'BEGIN { print a + b }')
    if [ -z "${cpu[$1]:-}" ] || awk -v a="$u" -v b="${cpu[$1]}" 'BEGIN { exit !(a < b) }'; then
        cpu[$1]=$u
    fi
}
before=$(uptime)
echo "$(nproc) cores; $files files, $bytes bytes; $rounds rounds; $(date -u +%Y-%m-%d)"
echo "before: $before"
for ((i = 1; i <= rounds; i++)); do
    for load in quiet busy; do
        if [ "$load" = busy ]; then
            yes >/dev/null &
            burner=$!
        fi
        run "xz -6 -T1" "$load" c.tar.xz "tar -cf - corpus | xz -6 -T1 >c.tar.xz"
        run "yk a1" "$load" a.yk "'$YK' aq1 a corpus"
        run "7zz a (LZMA2)" "$load" a.7z "7zz a -bd a.7z corpus"
        stop_burner
    done
done
echo "after: $(uptime)"
# The archives hold the corpus: yk's and 7zz's tested by their own readers.
"$YK" tq a.yk >/dev/null || { echo "yk's archive fails its test" >&2; exit 1; }
7zz t a.7z >/dev/null || { echo "7zz's archive fails its test" >&2; exit 1; }
echo
echo "| tool                 | quiet, s | one core busy, s | CPU, s |  size, bytes |"
echo "|----------------------|---------:|-----------------:|-------:|-------------:|"
for name in "yk a1" "7zz a (LZMA2)" "xz -6 -T1"; do
    printf '| %-20s | %8.2f | %16.2f | %6.2f | %12d |\n' "$name" "${best[$name|quiet]}" \
        "${best[$name|busy]}" "${cpu[$name]}" "${size[$name]}"
done
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
echo
echo "yk a1 against 7zz: $(ratio "${best[7zz a (LZMA2)|quiet]}" "${best[yk a1|quiet]}") times as fast quiet," \
    "$(ratio "${best[7zz a (LZMA2)|busy]}" "${best[yk a1|busy]}") times with one core busy," \
    "$(awk -v a="${size[yk a1]}" -v b="${size[7zz a (LZMA2)]}" 'BEGIN { printf "%.4f", a / b }') times its size"
echo "yk a1 against xz -6 -T1: $(ratio "${best[xz -6 -T1|quiet]}" "${best[yk a1|quiet]}") times as fast quiet," \
    "$(ratio "${best[xz -6 -T1|busy]}" "${best[yk a1|busy]}") times with one core busy"
