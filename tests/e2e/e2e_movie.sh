#!/bin/bash
# A movie joined through the real windows as a player plays it: five MP4 parts with AAC sound, one
# steady tone across them broken in each part by a short silence (its mark) at a time of its own,
# joined as one movie and played through by mpv. The sound lasts as long as the pictures, never
# dips, and each mark sounds where its part's pictures put it, within one sound frame.
#   SOUND_MEASURE=<sound_measure> bash tests/e2e/e2e_movie.sh <reelbind>
set -uo pipefail
E2E_NAME=e2e-movie E2E_KEEP=SOUND_MEASURE
. "$(dirname "$0")/xsession.sh"
command -v mpv >/dev/null || fail "no mpv"
[ -x "${SOUND_MEASURE:-}" ] || fail "SOUND_MEASURE names no sound_measure"
session "$@"
FRAME=21.333 RMS=0.35355 # ms of AAC's 1024 samples at 48 kHz; the tone's RMS (amplitude 0.5)
P=$WORK/program M=$WORK/parts
mkdir -p "$P" "$M" && cp "$BIN" "${BIN%/*}/reelbind-movies.so" "$P" || fail "cannot make the program's folder"
printf '[Preferences]\nSaveSourceDir=1\nSaveTargetDir=1\nSourceDir=%s\nTargetDir=%s\nConfirmDel=1
ClearQue=1\nChunkSizeSave=1\nChunkSize=40000\n' "$M" "$M" >"$P/tarvik.ini"
# Part n: a second of 25 pictures and of the tone from n seconds on, silent 10 ms from 0.3 + 0.1 n s.
for n in 0 1 2 3 4; do
    ffmpeg -nostdin -v error -f lavfi -i testsrc=d=1:r=25:s=160x120 -f lavfi -i \
        "aevalsrc=0.5*sin(2*PI*440.2*(t+$n))*(1-between(t\,0.$((3 + n))\,0.$((3 + n))1)):s=48000:d=1" \
        -c:v libx264 -c:a aac "$M/$n.mp4" || fail "ffmpeg cannot make part $n"
done

# Queued on the command line, joined as one movie (Enter in the question), played by mpv.
launch "$M" "$P/reelbind" {0..4}.mp4 && activate "$MAIN"
join_into movie.mp4 "^Join Files\?\$"
joined
mpv --no-config --no-terminal --vo=null --ao=pcm --ao-pcm-file="$M/movie.wav" --untimed "$M/movie.mp4" &&
    ffmpeg -nostdin -v error -i "$M/movie.wav" -f f32le -ac 1 -ar 48000 "$M/movie.raw" || fail "mpv cannot play the movie"
# Where the pictures end, and put each part's mark: its first picture (the 25 n th) and 0.3 + 0.1 n s.
SHOWN=$(ffprobe -v error -select_streams v -show_entries packet=pts_time,duration_time -of csv=p=0 \
    "$M/movie.mp4" | sort -n) || fail "ffprobe cannot read the movie"
END=$(awk -F, '$1 + $2 > end { end = $1 + $2 } END { print end }' <<<"$SHOWN")
NEAR=$(awk -F, 'NR % 25 == 1 { print $1 + 0.3 + 0.1 * int(NR / 25) }' <<<"$SHOWN")
WRONG=$("$SOUND_MEASURE" "$M/movie.raw" $RMS $FRAME $NEAR |
    awk -v frame=$FRAME -v end="$END" -v near="$NEAR" '
        function off(at, wanted) { return (at - wanted) ^ 2 > (frame / 1000) ^ 2 }
        $1 == "length" && off($2, end) { printf "the sound lasts %s s, the pictures %s s; ", $2, end }
        $1 == "dip" && $2 != "none" { printf "it dips at %s s; ", $2 }
        $1 == "marks" { split(near, wanted); for (n = 1; n < NF; n++) if (off($(n + 1), wanted[n]))
            printf "mark %d at %s s, its pictures put it at %s s; ", n - 1, $(n + 1), wanted[n] }') ||
    fail "cannot measure the movie's sound"
[ -z "$WRONG" ] || fail "mpv plays the movie's sound out of step: ${WRONG%; }"
echo "$E2E_NAME: PASS"
