#!/usr/bin/env bash
# Compresses one corpus of Debian's own text (man pages, /usr/share/doc, /usr/include headers,
# about 50 MB) with yk methods 0, 1 and 2 and, in the same run, with xz -6, bzip2 -9, zstd -19,
# 7zz (LZMA and PPMd) and cp where installed. Prints size, ratio and seconds to compress and to
# decompress, as a Markdown table. Every result is decompressed and compared with the corpus;
# each figure is the best of REPEAT runs (default 3).
#
# 7zz's LZMA2 runs with its defaults (all cores), as yk's method 1 does; the other goals are
# measured by goals.sh.
#
# Usage: bench/yk/bench.sh [path/to/yk]     (default: build/yk)
# Environment: BENCH_DIR (default /tmp/yk-bench), CORPUS_MB (default 50), REPEAT (default 3),
# BENCH_INSTALL=1 to install the missing comparison tools with apt-get first.
# Takes about 9 minutes on 2 cores.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
YK=$(realpath "${1:-$here/../../build/yk}")
dir=${BENCH_DIR:-/tmp/yk-bench}
mb=${CORPUS_MB:-50}
export LC_ALL=C.UTF-8

[ -x "$YK" ] || { echo "no archiver at $YK: build first" >&2; exit 2; }
if [ "${BENCH_INSTALL:-0}" = 1 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq xz-utils bzip2 zstd 7zip >/dev/null
fi

mkdir -p "$dir"
corpus=$dir/corpus.txt

# Appends the files listed on stdin (NUL-separated, gzip ones decompressed) to $2 until it holds
# $1 bytes more than before, then cuts it there.
take() {
    local limit=$1 out=$2 start f
    start=$(stat -c %s "$out")
    while IFS= read -r -d '' f; do
        case $f in
        *.gz) zcat -- "$f" >>"$out" 2>/dev/null || true ;;
        *) cat -- "$f" >>"$out" 2>/dev/null || true ;;
        esac
        [ "$(stat -c %s "$out")" -lt $((start + limit)) ] || break
    done
    truncate -s $((start + limit)) "$out"
}

if [ ! -s "$corpus" ] || [ "$(stat -c %s "$corpus")" -ne $((mb * 1024 * 1024)) ]; then
    third=$((mb * 1024 * 1024 / 3))
    : >"$corpus"
    # Man pages of every section; the thousands of near-identical pages of one cloud tool that
    # some machines carry would make the text unusually repetitive.
    find /usr/share/man -path '/usr/share/man/man*' -type f -name '*.gz' ! -name 'gcloud*' -print0 |
        sort -z | take "$third" "$corpus" || true
    find /usr/share/doc -type f \( -name '*.gz' -o -name 'copyright' -o -name '*.txt' \
        -o -name 'README*' -o -name '*.html' \) -print0 | sort -z | take "$third" "$corpus" || true
    find /usr/include -type f -name '*.h' -print0 | sort -z |
        take $((mb * 1024 * 1024 - 2 * third)) "$corpus" || true
fi
size=$(stat -c %s "$corpus")
[ "$size" -eq $((mb * 1024 * 1024)) ] || { echo "corpus is only $size bytes" >&2; exit 2; }
cat "$corpus" >/dev/null # into the page cache, the same for everybody

now() { date +%s.%N; }
secs() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b - a }'; }

rows=()
repeat=${REPEAT:-3}
# measure NAME PACKED_FILE 'compress command' 'decompress command' (the latter writes out.txt).
# Each is run $repeat times; the best time counts, as this machine's timings wander.
measure() {
    local name=$1 packed=$2 pack=$3 unpack=$4 t0 t1 t2 best_p="" best_u="" p u i bytes
    for ((i = 0; i < repeat; i++)); do
        rm -rf "$dir/run" && mkdir "$dir/run" && cd "$dir/run"
        t0=$(now)
        eval "$pack" >/dev/null 2>&1
        t1=$(now)
        mkdir un && cd un
        eval "$unpack" >/dev/null 2>&1
        t2=$(now)
        cmp -s out.txt "$corpus" || { echo "$name: round trip failed" >&2; exit 1; }
        p=$(secs "$t0" "$t1")
        u=$(secs "$t1" "$t2")
        best_p=$(awk -v a="$p" -v b="${best_p:-$p}" 'BEGIN { print (a < b ? a : b) }')
        best_u=$(awk -v a="$u" -v b="${best_u:-$u}" 'BEGIN { print (a < b ? a : b) }')
    done
    bytes=$(stat -c %s "$dir/run/$packed")
    rows+=("$(printf '| %-22s | %12d | %6.2f%% | %7.2f | %9.2f |' "$name" "$bytes" \
        "$(awk -v p="$bytes" -v s="$size" 'BEGIN { print p * 100 / s }')" "$best_p" "$best_u")")
    echo "$name done" >&2
    cd "$dir"
}

c=$corpus
# Archivers store the corpus under the name out.txt (a hard link made once, outside the timings),
# so that extraction gives out.txt back.
srcdir=$dir/src
rm -rf "$srcdir" && mkdir "$srcdir" && ln "$corpus" "$srcdir/out.txt"

measure "yk a0 (copy)" a.yk "(cd \"$srcdir\" && \"$YK\" aq0 \"$dir/run/a\" out.txt)" "\"$YK\" xqy ../a.yk"
measure "yk a1 (LZMA2)" a.yk "(cd \"$srcdir\" && \"$YK\" aq1 \"$dir/run/a\" out.txt)" "\"$YK\" xqy ../a.yk"
measure "yk a2 (PPMd)" a.yk "(cd \"$srcdir\" && \"$YK\" aq2 \"$dir/run/a\" out.txt)" "\"$YK\" xqy ../a.yk"
measure "cp" copy.txt "cp \"$c\" copy.txt" "cp ../copy.txt out.txt"
# yk flushes a new archive to disk before it replaces the old one; cp does not.
measure "cp, then sync FILE" copy.txt "cp \"$c\" copy.txt && sync copy.txt" "cp ../copy.txt out.txt"
if command -v xz >/dev/null; then
    measure "xz -6" c.xz "xz -6 -T1 -c \"$c\" >c.xz" "xz -d -c ../c.xz >out.txt"
fi
if command -v bzip2 >/dev/null; then
    measure "bzip2 -9" c.bz2 "bzip2 -9 -c \"$c\" >c.bz2" "bzip2 -d -c ../c.bz2 >out.txt"
fi
if command -v zstd >/dev/null; then
    measure "zstd -19" c.zst "zstd -19 -q -c \"$c\" >c.zst" "zstd -d -q -c ../c.zst >out.txt"
fi
if command -v 7zz >/dev/null; then
    measure "7zz -m0=PPMd" p.7z "7zz a -bd -mmt1 -m0=PPMd p.7z \"$srcdir/out.txt\"" "7zz e -bd ../p.7z"
    measure "7zz (LZMA2 -mx5)" l.7z "7zz a -bd l.7z \"$srcdir/out.txt\"" "7zz e -bd ../l.7z"
fi

echo
echo "Corpus: $size bytes of Debian text (man pages, /usr/share/doc, /usr/include);" \
    "$(nproc) cores; best of $repeat runs; $(date -u +%Y-%m-%d)"
echo
echo "| tool                   |  size, bytes |   ratio | pack, s | unpack, s |"
echo "|------------------------|-------------:|--------:|--------:|----------:|"
printf '%s\n' "${rows[@]}"
rm -rf "$dir/run" "$srcdir"
