#!/bin/bash
# Takes a picture of the real main window, frame included, as the user sees
# it right after start-up:
#
#   bash tools/screenshot.sh <path to reelbind> docs/main-window.png
#
# Needs xvfb-run (xvfb, xauth), openbox, xdotool and ImageMagick (import).

set -u
. "$(cd "$(dirname "$0")/.." && pwd)/tests/e2e/xsession.sh"

fail() {
    echo "screenshot: FAIL: $*" >&2
    exit 1
}

if [ "${REELBIND_SHOT_INSIDE:-}" != 1 ]; then
    [ $# -eq 2 ] || { echo "usage: $0 <path to reelbind> <out.png>" >&2; exit 2; }
    BIN=$(readlink -f "$1") || fail "no program at $1"
    OUT=$(readlink -f "$2") || fail "bad output path $2"
    for tool in xvfb-run openbox xdotool import setsid; do
        command -v "$tool" >/dev/null || fail "'$tool' is missing"
    done
    run_in_xvfb REELBIND_SHOT_INSIDE "$0" "$BIN" "$OUT"
    exit $?
fi

BIN=$1
OUT=$2
x_session_setup
install_program "$BIN" "$WORK"

QT_QPA_PLATFORM=xcb "$WORK/reelbind" >/dev/null 2>&1 &
APP_PID=$!
WID=$(wait_window "^Orvel's Reelbind 1\.0\.7b\$" 60) || fail "no window titled \"Orvel's Reelbind 1.0.7b\""
# Park the pointer away from the window, let it settle and paint.
xdotool mousemove 0 0
activate "$WID" || fail "the window never got the keyboard"
sleep 1.5
import -window "$WID" -frame "$OUT" || fail "import could not grab the window"
echo "screenshot: $OUT"
