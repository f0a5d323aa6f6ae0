#!/bin/bash
# A split download joined and checked against its checksum file, against the
# shell's way of doing both: four parts of 1 GiB of random data,
# name.mkv.001 ... .004, with name.mkv.md5 of the whole beside them, joined by
# the real program (reelbind --join, which finds name.mkv.md5 and hashes the
# parts beside the kernel's copy) and by `cat parts | tee target | md5sum`,
# the runs interleaved, each the best of RUNS, until the target is closed. The
# same join without the checksum file, and with it replaced by reading the
# result back afterwards (the join, then md5sum of the target), show what the
# check costs and what the other way would. Every checked run must match; a
# join of the first part alone must not.
#
#   bench/checksum_bench.sh [BUILD_DIR] [WORK_PARENT]
#
# BUILD_DIR holds the program (default ./build); WORK_PARENT must be on a
# disk, not tmpfs (default /var/tmp), with 9 GiB free. Everything written
# there is deleted at the end. RUNS (3), PARTS (4) and MIB (1024, each part's
# size) change the set.
set -euo pipefail

BUILD=$(cd "${1:-build}" && pwd)
PARENT=${2:-/var/tmp}
RUNS=${RUNS:-3}
PARTS=${PARTS:-4}
MIB=${MIB:-1024}
PROGRAM="$BUILD/reelbind"
[ -x "$PROGRAM" ] || { echo "missing $PROGRAM" >&2; exit 2; }
[ "$(stat -f -c %T "$PARENT")" != tmpfs ] || { echo "$PARENT is tmpfs; give a folder on a disk" >&2; exit 2; }

WORK=$(mktemp -d "$PARENT/reelbind-sums-XXXXXX")
trap 'rm -rf "$WORK"' EXIT
echo "Creating $PARTS x $MIB MiB in $WORK ($(stat -f -c %T "$WORK")), kernel $(uname -r), $(nproc) cores"
SRC=()
for i in $(seq -f %03g 1 "$PARTS"); do
    head -c $((MIB * 1048576)) /dev/urandom >"$WORK/name.mkv.$i"
    SRC+=("$WORK/name.mkv.$i")
done
SUMS="$WORK/name.mkv.md5"
EXPECTED=$(cat "${SRC[@]}" | md5sum | cut -d' ' -f1)
echo "$EXPECTED  name.mkv" >"$SUMS"
OUT="$WORK/joined.mkv"
BYTES=$((PARTS * MIB * 1048576))

fail() { echo "$1" >&2; exit 1; }
fresh() { rm -f "$OUT"; sync; }
elapsed() { awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN { printf "%.3f\n", b - a }'; }
join() { "$PROGRAM" --join "$OUT" "${SRC[@]}" 2>"$WORK/said" || fail "the join failed: $(tail -1 "$WORK/said")"; }

# Seconds of one run of each way.
reference() {
    local t0 sum
    fresh
    t0=$(date +%s.%N)
    sum=$(cat "${SRC[@]}" | tee "$OUT" | md5sum)
    elapsed "$t0"
    [ "${sum%% *}" = "$EXPECTED" ] || fail "md5sum does not find the sum of name.mkv.md5"
}
checked() {
    local t0
    fresh
    t0=$(date +%s.%N)
    join
    elapsed "$t0"
}
unchecked() {
    local t0
    mv "$SUMS" "$SUMS.aside"
    fresh
    t0=$(date +%s.%N)
    join
    elapsed "$t0"
    mv "$SUMS.aside" "$SUMS"
}
readBack() {
    local t0 sum
    mv "$SUMS" "$SUMS.aside"
    fresh
    t0=$(date +%s.%N)
    join
    sum=$(md5sum "$OUT")
    elapsed "$t0"
    mv "$SUMS.aside" "$SUMS"
    [ "${sum%% *}" = "$EXPECTED" ] || fail "the joined file does not hold the parts"
}

# The check is made: the first part alone is not the whole name.mkv.md5 names.
rm -f "$OUT"
if "$PROGRAM" --join "$OUT" "${SRC[0]}" 2>"$WORK/said"; then
    fail "a join of the first part alone matched name.mkv.md5"
fi
grep -q "does not match the checksum in $SUMS" "$WORK/said" || fail "unexpected: $(cat "$WORK/said")"
# And what the checked join writes is the parts, byte for byte.
fresh
join
cmp -s <(cat "${SRC[@]}") "$OUT" || fail "the joined file differs from the parts"

declare -A best
WAYS=(reference checked unchecked readBack)
for run in $(seq "$RUNS"); do
    line="run $run:"
    for way in "${WAYS[@]}"; do
        s=$($way)
        line+=" $way ${s}s"
        if [ -z "${best[$way]:-}" ] || awk -v s="$s" -v b="${best[$way]}" 'BEGIN { exit !(s < b) }'; then
            best[$way]=$s
        fi
    done
    echo "  $line"
done
rm -f "$OUT"

mibs() { awk -v s="$1" -v n="$BYTES" 'BEGIN { printf "%6.1f MiB/s", n / 1048576 / s }'; }
ratio() { awk -v p="$1" -v r="${best[reference]}" 'BEGIN { printf "%.2f", r / p }'; }
echo
echo "Best of $RUNS, $((BYTES / 1048576)) MiB, until the target is closed (x ref: the reference's time over the way's):"
printf "  %-44s %7ss  %s\n" "cat parts | tee target | md5sum (reference)" "${best[reference]}" "$(mibs "${best[reference]}")"
printf "  %-44s %7ss  %s  x ref %s\n" "reelbind --join, checked against name.mkv.md5" "${best[checked]}" "$(mibs "${best[checked]}")" "$(ratio "${best[checked]}")"
printf "  %-44s %7ss  %s  x ref %s\n" "reelbind --join, no checksum file" "${best[unchecked]}" "$(mibs "${best[unchecked]}")" "$(ratio "${best[unchecked]}")"
printf "  %-44s %7ss  %s  x ref %s\n" "the same, then md5sum of the target" "${best[readBack]}" "$(mibs "${best[readBack]}")" "$(ratio "${best[readBack]}")"
ratio=$(ratio "${best[checked]}")
awk -v r="$ratio" 'BEGIN { exit !(r >= 0.9) }' && goal=met || goal=missed
echo "Goal: the checked join at least 0.9 x as fast as the reference: $goal ($ratio)"
