#!/usr/bin/env bash
# The archiver's performance goals beyond the text corpus of bench.sh, each measured side by side
# with its peer in one run (best of REPEAT runs; peak memory from /usr/bin/time):
#   1. method 1 on data that does not compress (random bytes; a folder of JPEG pictures and
#      gzip files) against method 0 on the same input, and 7zz's LZMA on the random bytes;
#   2. method 1 on the 50 MB text corpus: peak memory and time against xz -6 -T1 and 7zz;
#   3. method 0 on 1 GiB of zeros (a sparse file) and 1 GiB of random bytes against
#      `7zz a -mx0` followed by `sync FILE` (the archiver flushes its archive before the rename);
#   4. listing an archive of ENTRIES (default 1,000,000) small files against `7zz l`.
#
# Usage: bench/yk/goals.sh [path/to/yk] [path/to/make_many]   (defaults: build/yk,
#        build/bench/yk/make_many). Needs 7zz and /usr/bin/time; xz and ImageMagick's convert
#        for some rows. Environment: BENCH_DIR (default /tmp/yk-goals), REPEAT (default 3),
#        ENTRIES, CORPUS (the corpus bench.sh builds; default $BENCH_DIR/../yk-bench/corpus.txt),
#        RANDOM_MB (default 64) and BIG_MB (default 1024) for the sizes of the inputs.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
YK=$(realpath "${1:-$here/../../build/yk}")
MANY=$(realpath "${2:-$here/../../build/bench/yk/make_many}")
dir=${BENCH_DIR:-/tmp/yk-goals}
repeat=${REPEAT:-3}
entries=${ENTRIES:-1000000}
corpus=${CORPUS:-$(dirname "$dir")/yk-bench/corpus.txt}
random_mb=${RANDOM_MB:-64}
big_mb=${BIG_MB:-1024}
export LC_ALL=C.UTF-8
for tool in 7zz /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "$tool is needed" >&2; exit 2; }
done
mkdir -p "$dir" && cd "$dir"

# best NAME COMMAND: runs COMMAND (in a fresh run/ directory) $repeat times; prints the best
# wall time and the peak memory of that run.
best() {
    local name=$1 cmd=$2 i t m bt="" bm=""
    for ((i = 0; i < repeat; i++)); do
        rm -rf run && mkdir run
        (cd run && /usr/bin/time -f '%e %M' -o ../time.txt bash -c "$cmd" >/dev/null 2>&1) ||
            { echo "$name failed" >&2; exit 1; }
        read -r t m <time.txt
        if [ -z "$bt" ] || awk -v a="$t" -v b="$bt" 'BEGIN { exit !(a < b) }'; then bt=$t bm=$m; fi
    done
    size=$(find run -maxdepth 1 -type f ! -name '*.txt' -printf '%s\n' | awk '{ s += $1 } END { print s + 0 }')
    printf '| %-40s | %8.2f | %8.0f | %14d |\n' "$name" "$bt" "$((bm / 1024))" "$size"
    eval "T_$3=$bt M_$3=$bm S_$3=$size"
}
header() {
    echo
    echo "### $1"
    echo
    echo "| run                                      |  time, s | peak MiB |  archive bytes |"
    echo "|------------------------------------------|---------:|---------:|---------------:|"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "$(nproc) cores; best of $repeat runs; $(date -u +%Y-%m-%d)"

# 1. Incompressible input.
mkdir -p in
[ "$(stat -c %s in/random.bin 2>/dev/null)" = $((random_mb << 20)) ] ||
    head -c $((random_mb << 20)) /dev/urandom >in/random.bin
if [ ! -d in/pictures ]; then
    mkdir -p in/pictures.tmp
    if command -v convert >/dev/null; then
        for i in $(seq 1 24); do
            convert -seed "$i" -size 1600x1200 plasma:fractal -quality 92 "in/pictures.tmp/p$i.jpg"
        done
    fi
    # Debian's compressed documentation and manual pages, up to 48 MiB in all.
    find /usr/share/doc /usr/share/man -type f -name '*.gz' -size +20k -print0 | sort -z |
        while IFS= read -r -d '' f; do
            [ "$(du -sm in/pictures.tmp | cut -f1)" -lt 48 ] || break
            cp "$f" "in/pictures.tmp/$(echo "$f" | tr / _)"
        done
    mv in/pictures.tmp in/pictures
fi
pics=$(du -sb in/pictures | cut -f1)
header "Incompressible input: $random_mb MiB of random bytes; $pics bytes of JPEG and gzip files"
best "yk a0, random" "cd ../in && '$YK' aq0 ../run/a random.bin" r0
best "yk a1, random" "cd ../in && '$YK' aq1 ../run/a random.bin" r1
best "7zz -m0=lzma, random" "cd ../in && 7zz a -bd -m0=lzma ../run/a.7z random.bin" r7
best "yk a0, pictures" "cd ../in/pictures && '$YK' aq0 ../../run/a '*.*'" p0
best "yk a1, pictures" "cd ../in/pictures && '$YK' aq1 ../../run/a '*.*'" p1
echo
echo "Random bytes: method 1 takes $(ratio "$T_r1" "$T_r0") times method 0's time and is" \
    "$(awk -v a="$S_r1" -v b=$((random_mb << 20)) 'BEGIN { printf "%.3f", (a / b - 1) * 100 }') % larger than" \
    "the input; 7zz's LZMA takes $(ratio "$T_r7" "$T_r1") times method 1's time."
echo "Pictures: method 1 takes $(ratio "$T_p1" "$T_p0") times method 0's time; its archive is" \
    "$(awk -v a="$S_p1" -v b="$S_p0" 'BEGIN { printf "%.3f", (a / b - 1) * 100 }') % larger than method 0's."

# 2. Method 1 on the text corpus.
if [ -s "$corpus" ]; then
    mkdir -p text && ln -f "$corpus" text/corpus.txt
    header "Method 1 on $(stat -c %s "$corpus") bytes of text (bench.sh's corpus)"
    command -v xz >/dev/null && best "xz -6 -T1" "xz -6 -T1 -c ../text/corpus.txt >c.xz" x
    best "yk a1" "cd ../text && '$YK' aq1 ../run/a corpus.txt" t1
    best "7zz default (LZMA2, all cores)" "cd ../text && 7zz a -bd ../run/a.7z corpus.txt" t7
    echo
    [ -n "${T_x:-}" ] && echo "yk a1 is $(ratio "$T_x" "$T_t1") times as fast as xz -6 -T1, at" \
        "$(ratio "$S_t1" "$S_x") times its size."
    echo "yk a1 is $(ratio "$T_t7" "$T_t1") times as fast as 7zz, at $(ratio "$S_t1" "$S_t7")" \
        "times its size and $(ratio "$M_t1" "$M_t7") times its peak memory."
fi

# 3. Method 0 on 1 GiB.
rm -f in/zeros.bin && truncate -s $((big_mb << 20)) in/zeros.bin
[ "$(stat -c %s in/random1g.bin 2>/dev/null)" = $((big_mb << 20)) ] ||
    head -c $((big_mb << 20)) /dev/urandom >in/random1g.bin
# A sparse file's holes cost the kernel a page of zeros each when they are first read: one read
# of it beforehand, so that every run finds it as the later runs would.
cat in/zeros.bin >/dev/null
header "Method 0 on $big_mb MiB"
for f in zeros random1g; do
    best "yk a0, $f" "cd ../in && '$YK' aq0 ../run/a $f.bin" "${f}_y"
    best "7zz -mx0 then sync FILE, $f" "cd ../in && 7zz a -bd -mx0 ../run/a.7z $f.bin && sync ../run/a.7z" "${f}_7"
done
echo
echo "yk a0 takes $(ratio "$T_zeros_y" "$T_zeros_7") times 7zz's time on zeros and" \
    "$(ratio "$T_random1g_y" "$T_random1g_7") times on random bytes."

# 4. Listing.
[ -s "many$entries.yk" ] || "$MANY" "many$entries.yk" "$entries" 1
header "Listing $entries entries"
best "yk l" "'$YK' l ../many$entries.yk" ly
best "7zz l" "7zz l ../many$entries.yk" l7
echo
echo "yk l takes $(ratio "$T_ly" "$T_l7") times 7zz's time and $(ratio "$M_ly" "$M_l7") times its" \
    "peak memory."
rm -rf run time.txt
