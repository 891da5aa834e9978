#!/usr/bin/env bash
# Method 1 against method 0 on random bytes (which method 1 stores, as they do not compress) of
# each size given, in interleaved rounds (a0, a1, a0, a1, ...): the fixed costs of method 1 show
# on the smaller inputs. Prints each run, the best and the median of each, and their ratios.
#
# Usage: bench/yk/random.sh [path/to/yk] [rounds (default 7)] [MiB...] (default 32 and 1024)
# Environment: BENCH_DIR (default /tmp/yk-random).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
YK=$(realpath "${1:-$here/../../build/yk}")
rounds=${2:-7}
shift $(($# < 2 ? $# : 2))
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(32 1024)
dir=${BENCH_DIR:-/tmp/yk-random}
mkdir -p "$dir" && cd "$dir"
echo "$(nproc) cores; $rounds rounds; $(date -u +%Y-%m-%d); before: $(uptime)"
stat() { sort -n | awk '{ v[NR] = $1 } END { printf "%.3f %.3f\n", v[1], v[int((NR + 1) / 2)] }'; }
for mb in "${sizes[@]}"; do
    [ "$(command stat -c %s "r$mb.bin" 2>/dev/null)" = $((mb << 20)) ] ||
        head -c $((mb << 20)) /dev/urandom >"r$mb.bin"
    cat "r$mb.bin" >/dev/null
    : >t0.txt && : >t1.txt
    for ((i = 1; i <= rounds; i++)); do
        for m in 0 1; do
            rm -f "a$m.yk"
            /usr/bin/time -f '%e %U %S' -a -o "t$m.txt" "$YK" "aq$m" "a$m" "r$mb.bin" </dev/null >/dev/null
        done
    done
    read -r b0 m0 < <(cut -d' ' -f1 t0.txt | stat)
    read -r b1 m1 < <(cut -d' ' -f1 t1.txt | stat)
    read -r c0 _ < <(awk '{ print $2 + $3 }' t0.txt | stat)
    read -r c1 _ < <(awk '{ print $2 + $3 }' t1.txt | stat)
    echo "$mb MiB: a0 $(cut -d' ' -f1 t0.txt | tr '\n' ' ')| a1 $(cut -d' ' -f1 t1.txt | tr '\n' ' ')"
    echo "$mb MiB: a0 best $b0 s, median $m0 s, $(command stat -c %s a0.yk) bytes;" \
        "a1 best $b1 s, median $m1 s, $(command stat -c %s a1.yk) bytes;" \
        "a1/a0 best $(awk -v a="$b1" -v b="$b0" 'BEGIN { printf "%.2f", a / b }')," \
        "median $(awk -v a="$m1" -v b="$m0" 'BEGIN { printf "%.2f", a / b }');" \
        "least processor time (user + system) a0 $c0 s, a1 $c1 s"
    rm -f a0.yk a1.yk
done
echo "after: $(uptime)"
