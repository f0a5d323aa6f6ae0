#!/bin/bash
# The installed program, as a user meets it: installed into a prefix whose
# bin folder is read-only, started with HOME and XDG_CONFIG_HOME of its own
# and two files on its command line, which it joins (driven by the
# keyboard); its settings go to the config folder and nothing under the
# prefix changes. Started again with a third file while it runs, the file
# goes into the running program's queue and joins too; beside a socket
# folder open to others, a start says so and runs on its own. Started once
# more with two MP4 parts, it joins them as one movie through its movie
# module, which it loads from the prefix's lib/reelbind only then. Its
# command line needs no display for help, version and unknown options.
#
#   bash tests/e2e/e2e_install.sh <build folder>

set -u
E2E_NAME=e2e-install
. "$(cd "$(dirname "$0")/.." && pwd)/e2e/xsession.sh"
enter_program_session REELBIND_INSTALL_INSIDE cmake cmp ffmpeg ffprobe -- "$@"
BUILD=$BIN # here the build folder
x_session_setup
PREFIX="$WORK/prefix"
cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.log" 2>&1 || fail "cmake --install failed: $(cat "$WORK/install.log")"
chmod a-w "$PREFIX/bin"
tree_of() { (cd "$PREFIX" && find . -printf '%p %s %T@\n' | sort); }
BEFORE=$(tree_of)

export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/config"
VIDEOS="$HOME/Videos"
mkdir -p "$VIDEOS" || fail "cannot make $VIDEOS"
# cli STATUS ARGS...: the program without a display (a stale Wayland name only); its stdout
# in OUT, stderr in ERR.
cli() {
    local want=$1 status
    shift
    env -u DISPLAY -u QT_QPA_PLATFORM WAYLAND_DISPLAY=gone-0 "$PREFIX/bin/reelbind" "$@" >"$WORK/out" 2>"$WORK/err"
    status=$? OUT=$(cat "$WORK/out") ERR=$(cat "$WORK/err")
    [ "$status" -eq "$want" ] || fail "reelbind $*: status $status, not $want: $OUT$ERR"
}
USAGE="Usage: reelbind [options] [FILE...]"$'\n'
cli 0 --help && [[ $OUT == "$USAGE"* ]] || fail "--help: $OUT"
cli 0 -h a.mpg && [[ $OUT == "$USAGE"* ]] || fail "-h: $OUT"
cli 0 --version && [ "$OUT" = "Orvel's Reelbind 1.0.7" ] || fail "--version: $OUT"
cli 2 --join-now a.mpg && [[ -z $OUT && $ERR == "reelbind: Unknown option 'join-now'."* ]] ||
    fail "an unknown option: $OUT$ERR"
# Without a display a start says in one line how to get one.
cli 1 a.mpg && [[ -z $OUT && $ERR != *$'\n'* && $ERR == "reelbind: no display found; start it from \
a desktop session, or without one run: xvfb-run -a "* ]] || fail "no display: $ERR"
echo "e2e-install: help, version and options need no display"

# MPEG program streams as far as their first bytes tell.
for n in 1 2 3; do
    { printf '\0\0\1\272'; head -c $((300000 * n + 3)) /dev/urandom; } >"$VIDEOS/part$n.mpg"
done

# Freed memory is scribbled over, so that a use after free shows.
launch "$VIDEOS" env MALLOC_PERTURB_=165 "$PREFIX/bin/reelbind" part1.mpg missing.mpg part2.mpg
# The file that is not there is named in a message in the window, not on the terminal.
BOX=$(wait_window "^Orvel's Reelbind\$" 60) || fail "no message names missing.mpg"
answer "$BOX"
grep -q "missing.mpg" "$WORK/run.log" && fail "the program named the missing file on the terminal"
activate "$MAIN" || fail "the main window never got the keyboard"

# The keyboard alone: the list has the focus, Tab goes to Join, Space presses it.
xdotool key Tab space
SAVE=$(wait_window "^Save As\$" 60) || fail "Join did not open the save dialog"
answer "$SAVE" both.mpg
STATUS=$(wait_window "^Joining Files\.\.\.Done!\$" 120) || fail "the join did not end as done"
cat "$VIDEOS/part1.mpg" "$VIDEOS/part2.mpg" | cmp -s - "$VIDEOS/both.mpg" ||
    fail "both.mpg is not part1 and part2 joined"
answer "$STATUS"
echo "e2e-install: the installed program joined the two files named on its command line"

INI="$XDG_CONFIG_HOME/reelbind/tarvik.ini"
grep -qx "SourceDir=$VIDEOS" "$INI" 2>/dev/null || fail "no settings in $INI: $(cat "$INI" 2>&1)"
[ "$(tree_of)" = "$BEFORE" ] || fail "something under the prefix changed"
echo "e2e-install: settings in $INI, nothing written under the prefix"

# A second start with a third file hands it to the running program on its display, a stale
# Wayland name notwithstanding, and ends.
(cd "$VIDEOS" && WAYLAND_DISPLAY=gone-0 timeout 30 "$PREFIX/bin/reelbind" part3.mpg) >>"$WORK/run.log" 2>&1 ||
    fail "the second start did not end by itself with status 0"
# A file that is not there: the running program names it in a box, and lives on.
(cd "$VIDEOS" && timeout 30 "$PREFIX/bin/reelbind" nothere.mpg) >>"$WORK/run.log" 2>&1 ||
    fail "the start with a missing file did not end by itself with status 0"
BOX=$(wait_window "^Orvel's Reelbind\$" 60) || fail "no message names nothere.mpg"
answer "$BOX"
kill -0 "$APP_PID" 2>/dev/null || fail "the first program ended"
activate "$MAIN" || fail "the main window never got the keyboard back"
click_main 395 245 # Join
SAVE=$(wait_window "^Save As\$" 60) || fail "Join did not open the save dialog"
answer "$SAVE" all.mpg
wait_window "^Joining Files\.\.\.Done!\$" 120 >/dev/null || fail "the second join did not end as done"
cat "$VIDEOS/part1.mpg" "$VIDEOS/part2.mpg" "$VIDEOS/part3.mpg" | cmp -s - "$VIDEOS/all.mpg" ||
    fail "all.mpg is not the three parts joined"
echo "e2e-install: a second start handed its file to the running program, which joined it too"
# Where its socket folder is open to others, a start says so in one line on the terminal and
# opens a window of its own.
SHARED="$WORK/shared/reelbind-$(id -u)"
mkdir -p "$SHARED" && chmod 777 "$WORK/shared" "$SHARED" || fail "cannot make $SHARED"
(cd "$VIDEOS" && XDG_RUNTIME_DIR="$WORK/shared" TMPDIR="$WORK/shared" exec "$PREFIX/bin/reelbind" \
    part3.mpg) >/dev/null 2>"$WORK/alone.err" &
ALONE_PID=$!
two_windows() { [ "$(xdotool search --onlyvisible --name "^${MAIN_TITLE}\$" | wc -l)" -eq 2 ]; }
poll 60 two_windows || fail "the start beside an open folder did not open a window of its own"
kill "$ALONE_PID" && wait "$ALONE_PID" || fail "the start beside an open folder did not end on SIGTERM"
SAID="reelbind: $SHARED is not a folder of yours alone; this Reelbind runs on its own"
[ "$(grep -cF "$SAID" "$WORK/alone.err")" -eq 1 ] ||
    fail "the start beside an open folder did not say so once: $(cat "$WORK/alone.err")"
echo "e2e-install: a start beside a folder open to others said so and ran on its own"
kill -HUP "$APP_PID" # a logout
program_ended && [ "$APP_STATUS" -eq 0 ] || fail "the program did not end cleanly on SIGHUP"

# Two MP4 parts of 1 s on the command line, joined as one movie: the question's default (Enter)
# is Join as One Movie. The movie module comes from the prefix, and only with the first movie.
MODULE=$(cd "$PREFIX" && find . -name reelbind-movies.so)
[[ $MODULE == ./lib*/reelbind/reelbind-movies.so ]] || fail "the install put the movie module at '$MODULE'"
MODULE=$PREFIX/${MODULE#./}
CLIPS="$VIDEOS/clips"
mkdir -p "$CLIPS" || fail "cannot make $CLIPS"
for n in 1 2; do
    ffmpeg -nostdin -v error -f lavfi -i testsrc=d=1:s=160x120:r=25 -f lavfi -i "sine=d=1:f=$((300 * n))" \
        -c:v libx264 -c:a aac "$CLIPS/clip$n.mp4" || fail "ffmpeg cannot make the parts"
done
launch "$CLIPS" env MALLOC_PERTURB_=165 "$PREFIX/bin/reelbind" clip1.mp4 clip2.mp4
grep -E 'reelbind-movies|libav' "/proc/$APP_PID/maps" && fail "the program loaded FFmpeg's libraries at its start"
activate "$MAIN" || fail "the main window never got the keyboard"
click_main 395 245 # Join
QUESTION=$(wait_window "^Join Files\?\$" 60) || fail "Join did not ask how to join the MP4 parts"
answer "$QUESTION"
SAVE=$(wait_window "^Save As\$" 60) || fail "Join as One Movie did not open the save dialog"
answer "$SAVE" movie.mp4
STATUS=$(wait_window "^Joining Files\.\.\.Done!\$" 120) || fail "the movie join did not end as done"
MOVIE=$(find "$HOME" -name movie.mp4)
[ -f "$MOVIE" ] || fail "no one movie.mp4 under $HOME: '$MOVIE'"
LENGTH=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$MOVIE")
awk -v l="$LENGTH" 'BEGIN { exit !(l > 1.95 && l < 2.1) }' || fail "the movie lasts '$LENGTH' s, not 2 s"
grep -q " $MODULE\$" "/proc/$APP_PID/maps" ||
    fail "the program did not use $MODULE: $(grep -E 'reelbind-movies|libavformat' "/proc/$APP_PID/maps")"
answer "$STATUS"
[ "$(tree_of)" = "$BEFORE" ] || fail "something under the prefix changed"
echo "e2e-install: two MP4 parts joined as one movie of $LENGTH s through $MODULE, loaded for it"
kill -HUP "$APP_PID"
program_ended && [ "$APP_STATUS" -eq 0 ] || fail "the program did not end cleanly on SIGHUP"
echo "e2e-install: PASS"
