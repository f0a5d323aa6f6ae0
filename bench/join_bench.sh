#!/bin/bash
# Join speed and memory: 4 files of 256 MiB joined through the real status
# window (under Xvfb with the xcb platform, and offscreen) at chunk sizes
# 40,000 and 70,000, against `cat` and a plain read/write loop of the same
# chunk size on the same file system; then the peak memory of a 4 GiB join.
#
#   bench/join_bench.sh [BUILD_DIR] [WORK_PARENT]
#
# BUILD_DIR holds bench/bench_join and bench/plain_copy (default: ./build).
# WORK_PARENT must be on a disk, not tmpfs (default: /var/tmp). Everything
# written there is deleted at the end. Each figure is the best of RUNS runs.
set -euo pipefail

BUILD=$(cd "${1:-build}" && pwd)
PARENT=${2:-/var/tmp}
RUNS=${RUNS:-3}
JOIN="$BUILD/bench/bench_join"
PLAIN="$BUILD/bench/plain_copy"
for exe in "$JOIN" "$PLAIN"; do
    [ -x "$exe" ] || { echo "missing $exe (build the bench targets first)" >&2; exit 2; }
done
if [ "$(stat -f -c %T "$PARENT")" = tmpfs ]; then
    echo "$PARENT is tmpfs; give a folder on a disk" >&2
    exit 2
fi

WORK=$(mktemp -d "$PARENT/reelbind-bench-XXXXXX")
trap 'rm -rf "$WORK"' EXIT
SRC=("$WORK/part1.mpg" "$WORK/part2.mpg" "$WORK/part3.mpg" "$WORK/part4.mpg")
OUT="$WORK/joined.mpg"
MIB=256
BYTES=$((4 * MIB * 1048576))

echo "Creating 4 x $MIB MiB in $WORK ($(df --output=fstype "$WORK" | tail -1))"
for f in "${SRC[@]}"; do
    head -c $((MIB * 1048576)) /dev/urandom >"$f"
done
sync

# Seconds of one run of "$@", which prints seconds=S (or, for cat, is timed here).
fresh() {
    rm -f "$OUT"
    sync
}
time_cat() {
    fresh
    local t0 t1
    t0=$(date +%s.%N)
    cat "${SRC[@]}" >"$OUT"
    t1=$(date +%s.%N)
    cmp -s <(cat "${SRC[@]}") "$OUT" || { echo "cat output differs" >&2; exit 1; }
    awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f\n", b - a }'
}
time_exe() {
    fresh
    "$@" 2>/dev/null | sed -n 's/.*seconds=\([0-9.]*\).*/\1/p'
}
best() { # best of RUNS runs of a timing function
    local b="" s
    for _ in $(seq "$RUNS"); do
        s=$("$@")
        [ -n "$s" ] || { echo "run failed: $*" >&2; exit 1; }
        if [ -z "$b" ] || awk -v s="$s" -v b="$b" 'BEGIN { exit !(s < b) }'; then b=$s; fi
    done
    echo "$b"
}
mibs() { awk -v s="$1" -v n="$BYTES" 'BEGIN { printf "%7.1f MiB/s", n / 1048576 / s }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b / a }'; }

# The program's result must be the concatenation before its time counts.
fresh
QT_QPA_PLATFORM=offscreen "$JOIN" 40000 "$OUT" "${SRC[@]}" >/dev/null 2>&1
cmp -s <(cat "${SRC[@]}") "$OUT" || { echo "joined file differs" >&2; exit 1; }

declare -A T
T[cat]=$(best time_cat)
for chunk in 40000 70000; do
    T[plain$chunk]=$(best time_exe "$PLAIN" $chunk "$OUT" "${SRC[@]}")
    T[engine$chunk]=$(best time_exe env QT_QPA_PLATFORM=offscreen "$JOIN" --engine $chunk "$OUT" "${SRC[@]}")
    T[offscreen$chunk]=$(best time_exe env QT_QPA_PLATFORM=offscreen "$JOIN" $chunk "$OUT" "${SRC[@]}")
done

# The xcb runs share one Xvfb; a window manager makes it the desktop a user has.
XCB_SCRIPT="$WORK/xcb.sh"
cat >"$XCB_SCRIPT" <<EOF
(command -v openbox >/dev/null && openbox >/dev/null 2>&1 &)
sleep 1
for chunk in 40000 70000; do
    for _ in \$(seq $RUNS); do
        rm -f "$OUT"; sync
        QT_QPA_PLATFORM=xcb "$JOIN" \$chunk "$OUT" ${SRC[*]} 2>/dev/null | sed -n "s/.*seconds=\([0-9.]*\).*/\$chunk \1/p"
    done
done
# Peak memory of a 4 GiB join: the four files queued four times each.
rm -f "$OUT"; sync
QT_QPA_PLATFORM=xcb "$JOIN" 40000 "$OUT" ${SRC[*]} ${SRC[*]} ${SRC[*]} ${SRC[*]} 2>/dev/null | sed -n "s/.*bytes=\([0-9]*\).*peak_rss_kib=\([0-9]*\).*/rss \2 \1/p"
rm -f "$OUT"
EOF
RSS_XCB=""
while read -r chunk s extra; do
    if [ "$chunk" = rss ]; then RSS_XCB="$s $extra"; continue; fi
    key=xcb$chunk
    if [ -z "${T[$key]:-}" ] || awk -v s="$s" -v b="${T[$key]}" 'BEGIN { exit !(s < b) }'; then
        T[$key]=$s
    fi
done < <(xvfb-run -a -s "-screen 0 1024x768x24" bash "$XCB_SCRIPT")

echo
echo "Throughput, best of $RUNS (4 x $MIB MiB = $((BYTES / 1048576)) MiB):"
printf "  %-34s %8ss %s\n" "cat" "${T[cat]}" "$(mibs "${T[cat]}")"
for chunk in 40000 70000; do
    printf "  %-34s %8ss %s\n" "plain loop, chunk $chunk" "${T[plain$chunk]}" "$(mibs "${T[plain$chunk]}")"
    printf "  %-34s %8ss %s\n" "copy loop alone, chunk $chunk" "${T[engine$chunk]}" "$(mibs "${T[engine$chunk]}")"
    printf "  %-34s %8ss %s\n" "program offscreen, chunk $chunk" "${T[offscreen$chunk]}" "$(mibs "${T[offscreen$chunk]}")"
    printf "  %-34s %8ss %s\n" "program xcb (Xvfb), chunk $chunk" "${T[xcb$chunk]}" "$(mibs "${T[xcb$chunk]}")"
done
echo
echo "Ratios (throughput of the program / reference; targets: >= 0.90 vs plain, >= 0.70 vs cat at 40,000 under Xvfb):"
for chunk in 40000 70000; do
    for p in xcb offscreen; do
        printf "  %-9s chunk %-6s vs plain loop %s   vs cat %s\n" "$p" "$chunk" \
            "$(ratio "${T[$p$chunk]}" "${T[plain$chunk]}")" "$(ratio "${T[$p$chunk]}" "${T[cat]}")"
    done
done

echo
read -r rss size <<<"$RSS_XCB"
awk -v k="$rss" -v s="$size" 'BEGIN { printf "Peak RSS joining %.2f GiB through the window (xcb): %.1f MiB (limit 64 MiB)\n", s / 1073741824, k / 1024 }'
