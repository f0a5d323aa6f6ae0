#!/bin/bash
# Join speed, responsiveness and memory, against cat on the same files:
# 4 x 256 MiB on a disk file system joined through the real status window,
# under Xvfb with a window manager and offscreen, at chunk sizes 10,000,
# 40,000 and 70,000, each the best of RUNS runs, in two regimes: (a) until
# the target is closed, (b) until it is closed and its file system synced.
# Then the sources on tmpfs and the target on disk (no kernel copy across),
# the peak memory of a 4 GiB join, and 100,000 files of 1 KB. Every run's
# target is compared byte for byte before its time counts.
#
#   bench/join_bench.sh [BUILD_DIR] [WORK_PARENT]
#
# BUILD_DIR holds bench/bench_join (default ./build); WORK_PARENT must be on
# a disk, not tmpfs (default /var/tmp). Everything written there is deleted.
# RUNS (5), REGIMES ("closed synced"), PLATFORMS ("xcb offscreen") and
# CHUNKS ("10000 40000 70000") choose a part; ONLY_MAIN=1 skips the rest.
set -euo pipefail

if [ "${REELBIND_BENCH_INSIDE:-}" != 1 ]; then
    BUILD=$(cd "${1:-build}" && pwd)
    PARENT=${2:-/var/tmp}
    [ -x "$BUILD/bench/bench_join" ] || { echo "missing $BUILD/bench/bench_join" >&2; exit 2; }
    [ "$(stat -f -c %T "$PARENT")" != tmpfs ] || { echo "$PARENT is tmpfs; give a folder on a disk" >&2; exit 2; }
    exec env REELBIND_BENCH_INSIDE=1 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$BUILD" "$PARENT"
fi

BUILD=$1
PARENT=$2
RUNS=${RUNS:-5}
JOIN="$BUILD/bench/bench_join"
openbox >/dev/null 2>&1 &
WM_PID=$!
WORK=$(mktemp -d "$PARENT/reelbind-bench-XXXXXX")
SHM=$(mktemp -d /dev/shm/reelbind-bench-XXXXXX)
trap 'rm -rf "$WORK" "$SHM"; kill "$WM_PID" 2>/dev/null; wait "$WM_PID" 2>/dev/null || true' EXIT
MIB=256
SRC=("$WORK/part1.mpg" "$WORK/part2.mpg" "$WORK/part3.mpg" "$WORK/part4.mpg")
OUT="$WORK/joined.mpg"
BYTES=$((4 * MIB * 1048576))
echo "Creating 4 x $MIB MiB in $WORK ($(stat -f -c %T "$WORK")), kernel $(uname -r)"
for f in "${SRC[@]}"; do head -c $((MIB * 1048576)) /dev/urandom >"$f"; done
sync

fresh() { rm -f "$OUT"; sync; }
same() { cmp -s <(cat "$@") "$OUT" || { echo "the target differs from the sources" >&2; exit 1; }; }

# seconds of cat: regime closed|synced, then the sources
time_cat() {
    local regime=$1 t0 t1
    shift
    fresh
    t0=$(date +%s.%N)
    cat "$@" >"$OUT"
    [ "$regime" = closed ] || sync -f "$OUT"
    t1=$(date +%s.%N)
    same "$@"
    awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f\n", b - a }'
}
# the bench_join line of one run: platform, chunk, regime, then the sources
run_join() {
    local platform=$1 chunk=$2 regime=$3 line
    shift 3
    fresh
    local flags=()
    [ "$regime" = closed ] || flags+=(--sync)
    line=$(QT_QPA_PLATFORM=$platform "$JOIN" "${flags[@]}" "$chunk" "$OUT" "$@" 2>/dev/null)
    same "$@"
    echo "$line"
}
field() { sed -n "s/.*$1=\([^ ]*\).*/\1/p" <<<"$2"; }
# best of RUNS, each program run right after a cat run of the same files, so
# that both meet the disk in the same state: prints "seconds path
# longest_round_ms(max over runs) peak_rss_kib cat_seconds"
best_join() {
    local b="" c="" path="" round=0 rss=0 line s t
    for _ in $(seq "$RUNS"); do
        t=$(time_cat "$3" "${@:4}")
        line=$(run_join "$@")
        s=$(field seconds "$line")
        path=$(field path "$line")
        round=$(awk -v a="$round" -v b="$(field longest_round_ms "$line")" 'BEGIN { print (b > a) ? b : a }')
        rss=$(field peak_rss_kib "$line")
        if [ -z "$b" ] || awk -v s="$s" -v b="$b" 'BEGIN { exit !(s < b) }'; then b=$s; fi
        if [ -z "$c" ] || awk -v s="$t" -v b="$c" 'BEGIN { exit !(s < b) }'; then c=$t; fi
    done
    echo "$b $path $round $rss $c"
}
mibs() { awk -v s="$1" -v n="$2" 'BEGIN { printf "%7.1f MiB/s", n / 1048576 / s }'; }
ratio() { awk -v p="$1" -v c="$2" 'BEGIN { printf "%.2f", c / p }'; }

echo
echo "Best of $RUNS, 4 x $MIB MiB = $((BYTES / 1048576)) MiB, target on the same disk,"
echo "each program run right after a cat run of the same files:"
for regime in ${REGIMES:-closed synced}; do
    for platform in ${PLATFORMS:-xcb offscreen}; do
        for chunk in ${CHUNKS:-10000 40000 70000}; do
            read -r s path round rss cat_s <<<"$(best_join "$platform" "$chunk" "$regime" "${SRC[@]}")"
            printf "  %-7s %-31s %7ss %s  cat %7ss  x cat %s  path %s  longest round %s ms\n" \
                "$regime" "program $platform, chunk $chunk" "$s" "$(mibs "$s" $BYTES)" "$cat_s" \
                "$(ratio "$s" "$cat_s")" "$path" "$round"
        done
    done
done

[ "${ONLY_MAIN:-}" = 1 ] && exit 0
echo
echo "Sources on tmpfs, target on the disk (best of $RUNS, until closed):"
cp "${SRC[@]}" "$SHM/"
SHMSRC=("$SHM"/part*.mpg)
read -r s path round rss cat_s <<<"$(best_join xcb 40000 closed "${SHMSRC[@]}")"
printf "  cat %ss, program xcb chunk 40000 %ss  x cat %s  path %s  longest round %s ms\n" \
    "$cat_s" "$s" "$(ratio "$s" "$cat_s")" "$path" "$round"
rm -f "$SHM"/part*.mpg

echo
line=$(run_join xcb 40000 closed "${SRC[@]}" "${SRC[@]}" "${SRC[@]}" "${SRC[@]}")
awk -v k="$(field peak_rss_kib "$line")" -v s="$(field bytes "$line")" \
    'BEGIN { printf "Peak RSS joining %.2f GiB through the window (xcb): %.1f MiB (limit 64 MiB)\n", s / 1073741824, k / 1024 }'
rm -f "$OUT"

echo
echo "100,000 files of 1 KB:"
MANY="$WORK/many"
mkdir "$MANY"
head -c 100000000 /dev/urandom >"$WORK/many.expected"
(cd "$MANY" && split -b 1000 -a 5 -d "$WORK/many.expected" clip)
ls -1 "$MANY" | sed "s|^|$MANY/|" >"$WORK/many.list"
fresh
t0=$(date +%s.%N); xargs cat <"$WORK/many.list" >"$OUT"; t1=$(date +%s.%N)
cat_s=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", b - a }')
fresh
line=$(QT_QPA_PLATFORM=xcb "$JOIN" 40000 "$OUT" "@$WORK/many.list" 2>/dev/null)
cmp -s "$WORK/many.expected" "$OUT" || { echo "the many-files target differs" >&2; exit 1; }
echo "  cat ${cat_s}s; program xcb $(field seconds "$line")s, longest gap between pumps $(field longest_gap_ms "$line") ms, longest round $(field longest_round_ms "$line") ms"
