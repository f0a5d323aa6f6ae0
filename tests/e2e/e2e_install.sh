#!/bin/bash
# The installed program as a user meets it: its command line without a display, in German too,
# files joined by the keyboard and handed over by a second start, settings in the config folder
# and nothing under the prefix, a start beside a socket folder open to others, MP4 parts joined as one movie
# through its module, loaded from lib/reelbind only then.   bash e2e_install.sh <build folder>
set -u
E2E_NAME=e2e-install
. "$(dirname "$0")/xsession.sh"
session "$@"
PREFIX=$WORK/prefix RB=$WORK/prefix/bin/reelbind
cmake --install "$BIN" --prefix "$PREFIX" >"$WORK/log" 2>&1 || fail "cmake --install: $(cat "$WORK/log")"
chmod a-w "$PREFIX/bin"
tree_of() { (cd "$PREFIX" && find . -printf '%p %s %T@\n' | sort); }
BEFORE=$(tree_of)
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/config
V=$HOME/Videos INI=$WORK/config/reelbind/tarvik.ini
mkdir -p "$V/clips" || fail "cannot make $V/clips"

# cli STATUS ARGS...: the program without a display (a stale Wayland name only); OUT, ERR.
cli() {
    env -u DISPLAY -u QT_QPA_PLATFORM WAYLAND_DISPLAY=gone-0 "$RB" "${@:2}" >"$WORK/out" 2>"$WORK/err"
    set -- $? "$@" && OUT=$(<"$WORK/out") ERR=$(<"$WORK/err") && [ $1 -eq $2 ] || fail "reelbind ${*:3}: status $1: $OUT$ERR"
}
USAGE="Usage: reelbind [options] [FILE...]"$'\n'
cli 0 --help && [[ $OUT == "$USAGE"* ]] && cli 0 -h a.mpg && [[ $OUT == "$USAGE"* ]] || fail "--help, -h: $OUT"
cli 0 --version && [ "$OUT" = "Orvel's Reelbind 1.0.7" ] || fail "--version: $OUT"
# Its translations found where the install put them: German for a German user.
cli 2 --join t && ENGLISH=$ERR && LANGUAGE=de LANG=de_DE.UTF-8 cli 2 --join t &&
    [[ $ERR == "reelbind: "* && ${ERR%%$'\n'*} != "${ENGLISH%%$'\n'*}" ]] ||
    fail "no German from the installed program: $ERR"
cli 2 --join-now a.mpg && [[ -z $OUT && $ERR == "reelbind: Unknown option 'join-now'."* ]] ||
    fail "an unknown option: $OUT$ERR"
cli 1 a.mpg && [[ -z $OUT && $ERR != *$'\n'* && $ERR == "reelbind: no display found; start it from \
a desktop session, or without one run: xvfb-run -a "* ]] || fail "no display, not one line how to get one: $ERR"

# MPEG program streams as far as their first bytes tell; freed memory scribbled over, so that a
# use after free shows. A file not there is named in a box, not on the terminal, also when a
# second start (a stale Wayland name notwithstanding) hands it over with a third file and ends.
# The keyboard joins them: the list has the focus, Tab goes to Join, Space presses it.
for n in 1 2 3; do { printf '\0\0\1\272'; head -c $((300000 * n + 3)) /dev/urandom; } >"$V/part$n.mpg"; done
launch "$V" env MALLOC_PERTURB_=165 "$RB" part1.mpg missing.mpg part2.mpg
reply "^Orvel's Reelbind\$"
(cd "$V" && WAYLAND_DISPLAY=gone-0 timeout 30 "$RB" part3.mpg nothere.mpg) >>"$WORK/run.log" 2>&1 ||
    fail "a second start did not end by itself with status 0"
reply "^Orvel's Reelbind\$"
grep -q "missing.mpg\|nothere.mpg" "$WORK/run.log" && fail "the program named a missing file on the terminal"
activate "$MAIN" && xdotool key Tab space
reply "^Save As\$" all.mpg
STATUS=$(window "^Joining Files\.\.\.Done!\$" 120) || exit 1
cat "$V"/part{1,2,3}.mpg | cmp -s - "$V/all.mpg" || fail "all.mpg is not the three parts joined"
answer "$STATUS"
grep -qx "SourceDir=$V" "$INI" 2>/dev/null || fail "no settings in $INI: $(cat "$INI" 2>&1)"
[ "$(tree_of)" = "$BEFORE" ] || fail "something under the prefix changed"
# Beside a socket folder open to others a start says so once on the terminal, runs on its own.
SHARED=$WORK/shared/reelbind-$(id -u)
mkdir -p "$SHARED" && chmod 777 "$WORK/shared" "$SHARED" || fail "cannot make $SHARED"
(cd "$V" && XDG_RUNTIME_DIR=$WORK/shared TMPDIR=$WORK/shared exec "$RB" part3.mpg) >/dev/null 2>"$WORK/alone" &
poll 60 eval '[ $(xdotool search --onlyvisible --name "$MAIN_TITLE" | wc -l) -eq 2 ]' ||
    fail "the start beside an open folder did not open a window of its own"
kill $! && wait $! || fail "the start beside an open folder did not end on SIGTERM"
[ "$(grep -cF "reelbind: $SHARED is not a folder of yours alone; this Reelbind runs on its own" \
    "$WORK/alone")" -eq 1 ] || fail "the start beside an open folder did not say so once: $(cat "$WORK/alone")"
kill -HUP $APP_PID && ended 0 || fail "the program did not end cleanly on SIGHUP (a logout)"

# Three MP4 parts joined as one movie (Enter in the question) as long as its parts, through the
# movie module of the prefix, loaded only with the first movie.
MODULE=$(find "$PREFIX" -name reelbind-movies.so)
[[ $MODULE == "$PREFIX"/lib*/reelbind/reelbind-movies.so ]] || fail "the install put the movie module at '$MODULE'"
for n in 1 2 3; do ffmpeg -nostdin -v error -f lavfi -i testsrc=d=1:s=160x120:r=25 -f lavfi -i "sine=d=1:f=$((200 * n))" \
    -c:v libx264 -bf 2 -c:a aac "$V/clips/clip$n.mp4" || fail "ffmpeg cannot make the parts"; done
launch "$V/clips" env MALLOC_PERTURB_=165 "$RB" clip{1,2,3}.mp4
grep -E 'reelbind-movies|libav' /proc/$APP_PID/maps && fail "the program loaded FFmpeg's libraries at its start"
activate "$MAIN"
join_into movie.mp4 "^Join Files\?\$"
joined
LENGTHS=$(for f in "$(find "$HOME" -name movie.mp4)" "$V"/clips/clip{1,2,3}.mp4; do
    ffprobe -v error -show_entries format=duration -of csv=p=0 "$f"; done)
awk '{ d += NR == 1 ? $1 : -$1 } END { exit !(NR == 4 && d < 0.04 && d > -0.04) }' <<<"$LENGTHS" ||
    fail "one movie.mp4 under $HOME and its parts last: $LENGTHS"
grep -q " $MODULE\$" /proc/$APP_PID/maps || fail "the program did not use $MODULE: $(grep -E 'reelbind-movies|libav' /proc/$APP_PID/maps)"
answer "$STATUS"
[ "$(tree_of)" = "$BEFORE" ] || fail "something under the prefix changed"
kill -HUP $APP_PID && ended 0 || fail "the program did not end cleanly on SIGHUP after the movie"
echo "$E2E_NAME: PASS"
