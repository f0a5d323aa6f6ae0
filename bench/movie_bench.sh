#!/bin/bash
# One movie from three MP4 parts (H.264 and AAC, about 1 GiB in all) through the
# real main and status windows (offscreen), against cat of the same files, both
# from the page cache; best of RUNS. Prints the ratio of the speeds (goal: at
# least 0.6), the peak memory (goal: under 128 MiB) and the longest gap between
# two turns of the window's event loop (goal: under 50 ms), and the time spent
# decoding and encoding the sound again at each join. FFmpeg's concat and
# mkvmerge (where installed) join the same parts, in the same rounds, as
# reference lines.
#
#   bench/movie_bench.sh [BUILD_DIR] [WORK_PARENT]     (RUNS: 5)
set -euo pipefail
BUILD=$(cd "${1:-build}" && pwd)
PARENT=${2:-/var/tmp}
RUNS=${RUNS:-5}
JOIN="$BUILD/bench/bench_join"
[ -x "$JOIN" ] || { echo "missing $JOIN" >&2; exit 2; }
WORK=$(mktemp -d "$PARENT/reelbind-movie-XXXXXX")
trap 'rm -rf "$WORK"' EXIT

# One part of about 350 MB (noise does not compress), copied twice.
echo "Making the parts in $WORK ($(stat -f -c %T "$WORK"))"
ffmpeg -nostdin -v error -f lavfi -i "testsrc2=s=1280x720:r=25,noise=alls=40:allf=t" \
    -f lavfi -i "sine=f=440:r=48000" -t 9 -c:v libx264 -preset ultrafast -qp 0 -c:a aac \
    "$WORK/part1.mp4"
cp "$WORK/part1.mp4" "$WORK/part2.mp4"
cp "$WORK/part1.mp4" "$WORK/part3.mp4"
PARTS=("$WORK/part1.mp4" "$WORK/part2.mp4" "$WORK/part3.mp4")
bytes=$(cat "${PARTS[@]}" | wc -c)
echo "parts: 3 x $(stat -c %s "$WORK/part1.mp4") bytes = $bytes"

best() { sort -n | head -n 1; }
# seconds COMMAND...: how long the command takes.
seconds() {
    local s e
    s=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    e=$(date +%s.%N)
    echo "$s $e" | awk '{ printf "%.4f", $2 - $1 }'
}
printf "file '%s'\n" "${PARTS[@]}" >"$WORK/parts.txt"
cat_times=() movie_lines=() concat_times=() mkvmerge_times=() bridge_times=()
for _ in $(seq "$RUNS"); do
    rm -f "$WORK/concat.mp4"
    concat_times+=("$(seconds ffmpeg -nostdin -v error -f concat -safe 0 -i "$WORK/parts.txt" \
        -c copy "$WORK/concat.mp4")")
    rm -f "$WORK/concat.mp4" "$WORK/merged.mkv"
    if command -v mkvmerge >/dev/null; then
        mkvmerge_times+=("$(seconds mkvmerge -q -o "$WORK/merged.mkv" "${PARTS[0]}" \
            + "${PARTS[1]}" + "${PARTS[2]}")")
        rm -f "$WORK/merged.mkv"
    fi
    cat "${PARTS[@]}" >/dev/null # in the page cache
    rm -f "$WORK/cat.mp4"
    s=$(date +%s.%N)
    cat "${PARTS[@]}" >"$WORK/cat.mp4"
    e=$(date +%s.%N)
    cat_times+=("$(echo "$s $e" | awk '{ printf "%.4f", $2 - $1 }')")
    rm -f "$WORK/movie.mp4" "$WORK/cat.mp4"
    movie_lines+=("$(QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES='reelbind.movies.debug=true' \
        "$JOIN" --movie 40000 "$WORK/movie.mp4" "${PARTS[@]}" 2>"$WORK/join.log")")
    bridge_times+=("$(sed -n 's/.*sound joined \([0-9]*\) times in \([0-9.]*\) ms each.*/\2 \1/p' "$WORK/join.log")")
done
cat_best=$(printf '%s\n' "${cat_times[@]}" | best)
movie_best=$(printf '%s\n' "${movie_lines[@]}" | sed 's/.*seconds=\([0-9.]*\).*/\1/' | best)
rss=$(printf '%s\n' "${movie_lines[@]}" | sed 's/.*peak_rss_kib=\([0-9]*\).*/\1/' | sort -n | tail -n 1)
gap=$(printf '%s\n' "${movie_lines[@]}" | sed 's/.*longest_gap_ms=\([0-9.]*\).*/\1/' | sort -n | tail -n 1)
length=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$WORK/movie.mp4")
echo "cat: best ${cat_best} s; one movie: best ${movie_best} s (the movie lasts ${length} s)"
awk -v c="$cat_best" -v m="$movie_best" 'BEGIN { printf "speed ratio one movie / cat: %.2f (goal >= 0.6)\n", c / m }'
echo "peak memory: $((rss / 1024)) MiB (goal < 128); longest gap in the window's event loop: ${gap} ms (goal < 50)"
bridge=$(printf '%s\n' "${bridge_times[@]}" | sort -n | head -n 1)
echo "sound joined again at ${bridge#* } joins: best ${bridge% *} ms each, decoding and encoding"
concat_best=$(printf '%s\n' "${concat_times[@]}" | best)
awk -v c="$cat_best" -v r="$concat_best" 'BEGIN { printf "reference: FFmpeg concat best %.3f s, speed ratio / cat %.2f\n", r, c / r }'
if [ "${#mkvmerge_times[@]}" -gt 0 ]; then
    mkv_best=$(printf '%s\n' "${mkvmerge_times[@]}" | best)
    awk -v c="$cat_best" -v r="$mkv_best" 'BEGIN { printf "reference: mkvmerge best %.3f s, speed ratio / cat %.2f\n", r, c / r }'
else
    echo "reference: mkvmerge not installed"
fi
