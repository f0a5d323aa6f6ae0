#!/bin/bash
# reelbind --join without a display: bytes, MP4 parts as one movie or forced to bytes, a source
# missing, a DVD title set from its first part, the sources to the trash, Ctrl+C or kill in a
# long join, a German start, and the settings never written.   bash tests/e2e/cli_join.sh <reelbind>
set -uo pipefail
RB=$1 WORK=$(mktemp -d) PID=
trap '[ -n "$PID" ] && kill "$PID" 2>/dev/null; wait; rm -rf "$WORK"' EXIT
fail() { echo "cli-join: FAIL: $*" >&2; exit 1; }
D=$WORK/d INI=${RB%/*}/tarvik.ini
mkdir -p "$D" "$WORK/home" || fail "cannot make $D"
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/config XDG_DATA_HOME=$WORK/home/data
ini_state() { stat -c '%s %Y' "$INI" 2>/dev/null || echo none; }
INI_BEFORE=$(ini_state)
# run STATUS ARGS...: reelbind in $D without a display, nothing on standard output; ERR.
run() {
    (cd "$D" && env -u DISPLAY -u WAYLAND_DISPLAY "$RB" "${@:2}" >"$WORK/out" 2>"$WORK/err")
    local got=$?
    ERR=$(<"$WORK/err")
    [ "$got" -eq "$1" ] && [ ! -s "$WORK/out" ] ||
        fail "reelbind ${*:2}: status $got, not $1; out: $(<"$WORK/out"); err: $ERR"
}
for n in 1 2; do
    head -c $((70000 * n)) /dev/urandom >"$D/p$n.bin"
    ffmpeg -nostdin -v error -f lavfi -i testsrc=d=1:r=25:s=160x120 -f lavfi -i sine=d=1 \
        -c:v libx264 -c:a aac "$D/m$n.mp4" || fail "ffmpeg cannot make m$n.mp4"
done
cp "$D/p1.bin" "$D/VTS_01_1.VOB" && cp "$D/p2.bin" "$D/VTS_01_2.VOB"

# ARGS | STATUS | what the target holds: the files concatenated, or "movie" (one of about 2 s).
while IFS='|' read -r args status want; do
    printf old >"$D/t"
    run "$status" --join t $args
    if [ "$want" = movie ]; then
        DUR=$(ffprobe -v error -show_entries format=duration:stream=codec_type -of csv=p=0 "$D/t" |
            tr '\n' ' ')
        [[ $DUR =~ ^video\ audio\ .*(1\.9[5-9]|2\.0[0-9])[0-9]*\ $ ]] ||
            fail "$args: not one movie of 2 s: $DUR"
    else
        (cd "$D" && cat $want) | cmp -s - "$D/t" || fail "$args: the target is not $want"
    fi
    [ "$(ls -A "$D" | wc -l)" -eq 7 ] || fail "$args: the folder holds $(ls -A "$D")"
done <<'CASES'
p1.bin p2.bin|0|p1.bin p2.bin
m1.mp4 m2.mp4|0|movie
--one-movie -- m1.mp4 m2.mp4|0|movie
--bytes m1.mp4 m2.mp4|0|m1.mp4 m2.mp4
--with-sets VTS_01_1.VOB|0|VTS_01_1.VOB VTS_01_2.VOB
p1.bin gone.bin p2.bin|1|t
--one-movie m1.mp4 p1.bin|1|t
CASES
run 1 --join t p1.bin gone.bin
[ "$ERR" = "reelbind: $D/gone.bin: No such file or directory" ] || fail "a missing source: $ERR"
run 2 --bytes p1.bin && run 2 --join t && run 2 --join t --bytes --one-movie p1.bin ||
    fail "usage errors"

# The sources to the trash once joined.
cp "$D/p1.bin" "$D/s1" && cp "$D/p2.bin" "$D/s2" && run 0 --join t --trash-sources s1 s2
[ ! -e "$D/s1" ] && [ ! -e "$D/s2" ] && [ -e "$XDG_DATA_HOME/Trash/files/s2" ] &&
    cat "$D/p1.bin" "$D/p2.bin" | cmp -s - "$D/t" || fail "--trash-sources: $(ls -A "$D")"

# Ctrl+C or kill once the join has begun (two sparse sources of 2 GiB): the target is gone,
# nothing hidden left, the status 128 + the signal's number.
mkdir "$D/big" && truncate -s 2G "$D/big/s1" "$D/big/s2" || fail "cannot make the sparse files"
for sig in INT:130 TERM:143; do
    (cd "$D/big" && exec env -u DISPLAY -u WAYLAND_DISPLAY "$RB" --join ../j s1 s2 2>"$WORK/err") &
    PID=$!
    for ((i = 0; i < 1200; i++)); do
        grep -q "joining j" "$WORK/err" 2>/dev/null || ! kill -0 $PID 2>/dev/null && break
        sleep 0.05
    done
    kill -${sig%:*} $PID
    wait $PID
    STATUS=$? PID=
    [ $STATUS -eq ${sig#*:} ] && [ ! -e "$D/j" ] && [ -z "$(ls -A "$D" "$D/big" | grep '^\.')" ] &&
        [ "$(tail -n 1 "$WORK/err")" = "reelbind: the join to $D/j was stopped; nothing was written." ] ||
        fail "SIG${sig%:*}: status $STATUS, $(ls -A "$D"), $(tail -n 2 "$WORK/err")"
done
# In the user's language: a German start says its usage error in German, Qt's words too.
run 2 --join t
ENGLISH=$ERR
LANGUAGE=de LANG=de_DE.UTF-8 run 2 --join t
[[ $ERR == "reelbind: "* && $ERR != "${ENGLISH%%$'\n'*}"* && $ERR != *"Usage:"* ]] ||
    fail "a German start: $ERR"
[ "$(ini_state)" = "$INI_BEFORE" ] && [ -z "$(find "$WORK/home" -type f ! -path '*/Trash/*')" ] ||
    fail "the settings were written"
echo "cli-join: PASS"
