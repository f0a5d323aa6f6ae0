#!/bin/bash
# Joins where the file system shares blocks: on btrfs and XFS loop images, and
# on ext4 for comparison, a DVD-like set (two parts of 1,073,709,056 bytes and
# one of 25,282,560) and a set whose first part is of odd length, joined by the
# copy engine alone and through the real windows (offscreen; from Join pressed
# to the renamed target), against cat on the same file system. For each: the
# best time of RUNS, the new space (df after sync), each source shared (s) or
# copied (c); on ext4 also the engine that never tries to share ("plain"). Needs
# root (mount); says so and does nothing otherwise.
#
#   bench/cow_bench.sh [BUILD_DIR] [WORK_PARENT]     (RUNS: 3)
set -euo pipefail
BUILD=$(cd "${1:-build}" && pwd)
PARENT=${2:-/var/tmp}
RUNS=${RUNS:-3}
JOIN="$BUILD/bench/bench_join"
[ -x "$JOIN" ] || { echo "missing $JOIN" >&2; exit 2; }
if [ "$(id -u)" != 0 ] || ! command -v mkfs.btrfs >/dev/null || ! command -v mkfs.xfs >/dev/null; then
    echo "cow_bench: skipped: needs root, mkfs.btrfs and mkfs.xfs (btrfs-progs, xfsprogs)"
    exit 0
fi
export QT_QPA_PLATFORM=offscreen
WORK=$(mktemp -d "$PARENT/reelbind-cow-XXXXXX")
MNT="$WORK/mnt"
mkdir "$MNT"
trap 'umount "$MNT" 2>/dev/null || true; rm -rf "$WORK"' EXIT
echo "kernel $(uname -r); $(mkfs.btrfs --version 2>&1 | head -n 1); $(mkfs.xfs -V)"

free_kib() { sync; df --output=avail -k "$MNT" | tail -n 1; }
best() { sort -n | head -n 1; }
field() { sed "s/.* $1=\([^ ]*\).*/\1/"; }

run_set() { # NAME SIZE...: the set, then each way of joining it
    local name=$1 i=0 parts=() t s e before
    shift
    for size in "$@"; do
        i=$((i + 1))
        parts+=("$MNT/$name-part$i.vob")
        head -c "$size" /dev/zero >"${parts[-1]}"
    done
    sync
    local engine=() window=() plain=() cats=() grow=()
    for _ in $(seq "$RUNS"); do
        for how in engine window cat $PLAIN; do
            rm -f "$MNT/joined.vob"
            before=$(free_kib) # after a sync: no writeback of the last run in this one
            case $how in
            engine) engine+=("$("$JOIN" --engine 40000 "$MNT/joined.vob" "${parts[@]}" 2>/dev/null)") ;;
            plain) plain+=("$("$JOIN" --engine --noshare 40000 "$MNT/joined.vob" "${parts[@]}" 2>/dev/null)") ;;
            window) window+=("$("$JOIN" 40000 "$MNT/joined.vob" "${parts[@]}" 2>/dev/null)") ;;
            cat)
                s=$(date +%s.%N)
                cat "${parts[@]}" >"$MNT/joined.vob"
                e=$(date +%s.%N)
                cats+=("$(echo "$s $e" | awk '{ printf "%.4f", $2 - $1 }')")
                ;;
            esac
            grow+=("$how $(((before - $(free_kib)) / 1024))")
        done
    done
    rm -f "$MNT/joined.vob" "${parts[@]}"
    for how in engine window $PLAIN; do
        local -n lines=$how
        printf '  %-8s %-6s best %8.4f s  new space %4s MiB  sources %s\n' "$name" "$how" \
            "$(printf '%s\n' "${lines[@]}" | field seconds | best)" \
            "$(printf '%s\n' "${grow[@]}" | awk -v h="$how" '$1 == h { print $2 }' | sort -n | tail -n 1)" \
            "$(printf '%s\n' "${lines[@]}" | head -n 1 | field sources)"
    done
    printf '  %-8s %-6s best %8.4f s  new space %4s MiB\n' "$name" cat \
        "$(printf '%s\n' "${cats[@]}" | best)" \
        "$(printf '%s\n' "${grow[@]}" | awk '$1 == "cat" { print $2 }' | sort -n | tail -n 1)"
}

for fs in btrfs xfs ext4; do
    truncate -s 0 "$WORK/fs.img"
    truncate -s 6G "$WORK/fs.img"
    case $fs in
    ext4) mkfs.ext4 -q -F "$WORK/fs.img" ;;
    *) "mkfs.$fs" -q -f "$WORK/fs.img" >/dev/null 2>&1 ;;
    esac
    mount -o loop "$WORK/fs.img" "$MNT"
    PLAIN=$([ $fs = ext4 ] && echo plain || true) # ext4: the engine never trying to share too
    echo "$fs:"
    run_set dvd 1073709056 1073709056 25282560
    run_set oddfirst 700000001 1073709056
    umount "$MNT"
done
