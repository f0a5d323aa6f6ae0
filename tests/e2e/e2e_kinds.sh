#!/bin/bash
# Files that will not play joined, made by ffmpeg (an MP4 and an MPEG
# program stream), given to the real program on its command line: Join asks
# first, Enter answers No and the program is back at its main window with
# nothing written; Join again and Yes goes on to the save dialog.
#
#   bash tests/e2e/e2e_kinds.sh <path to reelbind> [<folder for pictures>]
#
# With a picture folder, join-question.png is written there. Needs xvfb-run, openbox, xdotool, ffmpeg and, for
# the picture, ImageMagick.

set -u
E2E_NAME=e2e-kinds
. "$(cd "$(dirname "$0")/.." && pwd)/e2e/xsession.sh"
enter_program_session REELBIND_KINDS_INSIDE ffmpeg -- "$@"

# ---------------------------------------------------------------------------
# Inside the X server.
x_session_setup
PROG="$WORK/program"
MOVIES="$WORK/movies"
mkdir -p "$MOVIES" || fail "cannot make $MOVIES"
install_program "$BIN" "$PROG"

# One second of test picture each, as an MP4 and as an MPEG-1 program stream.
make_clip() { # <file> <ffmpeg output options>...
    local file=$1
    shift
    ffmpeg -nostdin -v error -f lavfi -i testsrc=duration=1:size=160x120:rate=25 "$@" "$file" ||
        fail "ffmpeg could not make $file"
}
make_clip "$MOVIES/beach.mp4" -c:v mpeg4 -f mp4
make_clip "$MOVIES/holiday.mpg" -c:v mpeg1video -f mpeg

start_openbox "$WORK" || fail "openbox did not get ready: $(cat "$WORK/openbox.log")"
xdotool mousemove 0 0
(cd "$MOVIES" && QT_QPA_PLATFORM=xcb exec "$PROG/reelbind" holiday.mpg beach.mp4) >"$WORK/run.log" 2>&1 &
APP_PID=$!
MAIN=$(window "^Orvel's Reelbind 1\.0\.7b\$" 60) || exit 1
activate "$MAIN" || fail "the main window never got the keyboard"

# ask: Join pressed; the question appears, no save dialog
ask() {
    click_main 395 245
    ASK=$(window "^Join Files\?\$" 60) || exit 1
    [ -z "$(xdotool search --onlyvisible --name "^Save As\$" 2>/dev/null)" ] ||
        fail "the save dialog came with the question"
    activate "$ASK" || fail "the question never got the keyboard"
}

ask
if [ -n "$SHOTS" ]; then
    import -window "$ASK" -frame "$SHOTS/join-question.png" || fail "import failed"
fi
xdotool key Return
gone "$ASK" 60 || fail "Enter did not close the question"
echo "e2e-kinds: Join asked before the save dialog; Enter answered No"

# Back at the main window: a second Join asks again (the first has ended
# without a save dialog), and Yes goes on to it.
activate "$MAIN" || fail "the main window never got the keyboard back"
ask
xdotool key alt+y
gone "$ASK" 60 || fail "Yes did not close the question"
SAVE=$(window "^Save As\$" 60) || exit 1
activate "$SAVE" || fail "the save dialog never got the keyboard"
xdotool key Escape
gone "$SAVE" 60 || fail "Esc did not close the save dialog"
left=$(cd "$MOVIES" && ls -A | sort | tr '\n' ' ')
[ "$left" = "beach.mp4 holiday.mpg " ] || fail "the movies' folder holds: $left"
[ -z "$(xdotool search --onlyvisible --name "^Joining Files" 2>/dev/null)" ] ||
    fail "a status window is open"
echo "e2e-kinds: Yes led to the save dialog; nothing was written"

activate "$MAIN" || fail "the main window never got the keyboard back"
click_main 503 245
program_ended || fail "the program still runs after Exit"
[ "$APP_STATUS" -eq 0 ] || fail "the program ended with status $APP_STATUS"
echo "e2e-kinds: PASS"
