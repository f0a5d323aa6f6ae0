#!/bin/bash
# The queue in the real program on a real X server: files chosen in the real
# open dialog (typed into Qt's own file dialog), a picture of the main window
# with the queued files, and Exit, after which tarvik.ini remembers the
# folder the files came from.
#
#   bash tests/queue/e2e_queue.sh <path to reelbind> [<out.png>]
#
# Needs xvfb-run (xvfb, xauth), openbox, xdotool and ImageMagick (import).

set -u
. "$(cd "$(dirname "$0")/.." && pwd)/e2e/xsession.sh"

fail() {
    echo "e2e_queue: FAIL: $*" >&2
    [ -s "${WORK:-/nonexistent}/run.log" ] && { echo "--- program output" >&2; cat "$WORK/run.log" >&2; }
    exit 1
}

if [ "${REELBIND_QUEUE_INSIDE:-}" != 1 ]; then
    [ $# -ge 1 ] && [ $# -le 2 ] || { echo "usage: $0 <path to reelbind> [<out.png>]" >&2; exit 2; }
    BIN=$(readlink -f "$1") || fail "no program at $1"
    [ -x "$BIN" ] || fail "no program at $1"
    OUT=
    [ $# -eq 2 ] && { OUT=$(readlink -f "$2") || fail "bad output path $2"; }
    for tool in xvfb-run Xvfb xauth openbox xdotool import setsid timeout; do
        command -v "$tool" >/dev/null || fail "'$tool' is missing"
    done
    run_in_xvfb REELBIND_QUEUE_INSIDE "$0" "$BIN" "$OUT"
    exit $?
fi

# Inside the X server.
BIN=$1
OUT=$2
x_session_setup

PROG="$WORK/program"
install_program "$BIN" "$PROG"

# Movies of believable sizes, without writing their bytes.
MOVIES="$WORK/Movies"
mkdir -p "$MOVIES" "$WORK/home" || fail "cannot make $MOVIES"
truncate -s 9961472 "$MOVIES/beach clip 2.mpg"
truncate -s 104857600 "$MOVIES/beach clip 10.mpg"
truncate -s 47710208 "$MOVIES/beach clip 1.mpg"
truncate -s 1000000 "$MOVIES/Titles.mpg"

start_openbox "$WORK" || fail "openbox did not get ready: $(cat "$WORK/openbox.log")"

(cd / && HOME="$WORK/home" QT_QPA_PLATFORM=xcb exec "$PROG/reelbind") >"$WORK/run.log" 2>&1 &
APP_PID=$!
WID=$(timeout 20 xdotool search --sync --onlyvisible --name "^Orvel's Reelbind 1\.0\.7b\$" | head -n 1)
[ -n "$WID" ] || fail "no main window"
timeout 5 xdotool windowactivate --sync "$WID" >/dev/null 2>&1 || true
sleep 0.5

# Clicks at a point of the client area (575 x 264 below the menu bar).
click_client() { # <x> <y>
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$WID")"
    local menu=$((HEIGHT - 264))
    [ "$menu" -ge 0 ] || fail "window is only $HEIGHT pixels high"
    xdotool mousemove --window "$WID" "$1" $((menu + $2)) sleep 0.2 click 1
}

# Add: the real open dialog. Go to the folder, then pick three files at once.
click_client $((32 + 38)) $((235 + 10))
DLG=$(timeout 10 xdotool search --sync --onlyvisible --name "^Open\$" | head -n 1)
[ -n "$DLG" ] || fail "the open dialog did not appear"
sleep 0.5
xdotool type --delay 20 "$MOVIES"
xdotool key Return
sleep 0.5
xdotool type --delay 20 '"beach clip 10.mpg" "beach clip 2.mpg" "beach clip 1.mpg"'
xdotool key Return
sleep 0.8
xdotool search --onlyvisible --name "^Open\$" >/dev/null 2>&1 && fail "the open dialog is still open"

# A second Add opens in the remembered folder: just the name this time.
click_client $((32 + 38)) $((235 + 10))
DLG=$(timeout 10 xdotool search --sync --onlyvisible --name "^Open\$" | head -n 1)
[ -n "$DLG" ] || fail "the second open dialog did not appear"
sleep 0.5
xdotool type --delay 20 'Titles.mpg'
xdotool key Return
sleep 0.8

# Select one row so that the picture shows a selection.
click_client $((32 + 60)) $((85 + 18 + 18 + 8))
sleep 0.3
xdotool mousemove 0 0
sleep 0.8
if [ -n "$OUT" ]; then
    import -window "$WID" -frame "$OUT" || fail "import could not grab the window"
    echo "e2e_queue: picture in $OUT"
fi

# Exit writes the settings: the source folder is the movies' folder.
click_client $((465 + 38)) $((235 + 10))
program_ended || fail "the program still runs after Exit"
line=$(grep '^SourceDir=' "$PROG/tarvik.ini")
[ "$line" = "SourceDir=$MOVIES" ] || fail "tarvik.ini has \"$line\", not SourceDir=$MOVIES"
echo "e2e_queue: files added through the open dialog; SourceDir remembered"
echo "e2e_queue: PASS"
