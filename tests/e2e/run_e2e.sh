#!/bin/bash
# End-to-end check of the real program on a real X server with a window
# manager: start, the settings file beside the program, Exit, the close box.
#
#   bash tests/e2e/run_e2e.sh <path to reelbind>
#
# Needs xvfb-run (xvfb, xauth), openbox and xdotool. Prints one line per step
# and "e2e: FAIL: ..." with the program's output when something is off.

set -u
. "$(cd "$(dirname "$0")/.." && pwd)/e2e/xsession.sh"

fail() {
    echo "e2e: FAIL: $*" >&2
    for log in "${WORK:-/nonexistent}"/run*.log; do
        [ -s "$log" ] && { echo "--- $log" >&2; cat "$log" >&2; }
    done
    exit 1
}

# ---------------------------------------------------------------------------
# Outside the X server: check the tools, then run this script again inside
# xvfb-run, in a process group of its own so that nothing outlives the test.
if [ "${REELBIND_E2E_INSIDE:-}" != 1 ]; then
    [ $# -eq 1 ] || { echo "usage: $0 <path to reelbind>" >&2; exit 2; }
    BIN=$(readlink -f "$1") || fail "no program at $1"
    [ -x "$BIN" ] || fail "no program at $1"
    for tool in xvfb-run Xvfb xauth openbox xdotool setsid timeout; do
        command -v "$tool" >/dev/null ||
            fail "'$tool' is missing (apt-get install xvfb xauth openbox xdotool)"
    done

    # Without a display the program says how to get one, in one line.
    hint=$(cd / && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 10 "$BIN" 2>&1)
    status=$?
    [ "$status" -eq 1 ] || fail "without a display the program ended with status $status"
    [ "$(printf '%s\n' "$hint" | wc -l)" -eq 1 ] && printf '%s' "$hint" | grep -q "xvfb-run" ||
        fail "without a display the program said: $hint"
    echo "e2e: no display: one line naming xvfb-run"

    run_in_xvfb REELBIND_E2E_INSIDE "$0" "$BIN"
    exit $?
fi

# ---------------------------------------------------------------------------
# Inside the X server.
BIN=$1
TITLE="Orvel's Reelbind 1.0.7b"
x_session_setup

# The program folder: the program and its readme, nothing else.
PROG="$WORK/program folder"
install_program "$BIN" "$PROG"

# The window manager, ready once its start-up command has run.
start_openbox "$WORK" || fail "openbox did not get ready: $(cat "$WORK/openbox.log")"

NINE_LINES=$(printf '[Preferences]\nSaveSourceDir=1\nSaveTargetDir=1\nSourceDir=%s\nTargetDir=%s\nConfirmDel=1\nClearQue=0\nChunkSizeSave=1\nChunkSize=%s\n' "$PROG" "$PROG" 40000)

expect_ini() { # <expected text> <when>
    [ -f "$PROG/tarvik.ini" ] || fail "$2: no tarvik.ini beside the program"
    local got
    got=$(cat "$PROG/tarvik.ini"; echo x)
    if [ "${got%x}" != "$1"$'\n' ]; then
        echo "expected:" >&2; printf '%s\n' "$1" >&2
        echo "found:" >&2; cat -A "$PROG/tarvik.ini" >&2
        fail "$2: tarvik.ini is not as expected"
    fi
    local others
    others=$(cd "$PROG" && ls -A | grep -v -x -e reelbind -e Readme.html -e tarvik.ini)
    [ -z "$others" ] || fail "$2: stray files beside the program: $others"
}

WID=
start_program() { # <run number>
    (cd / && QT_QPA_PLATFORM=xcb exec "$PROG/reelbind") >"$WORK/run$1.log" 2>&1 &
    APP_PID=$!
    WID=
    for _ in $(seq 600); do
        WID=$(xdotool search --onlyvisible --name "^Orvel's Reelbind 1\.0\.7b\$" 2>/dev/null |
            head -n 1)
        [ -n "$WID" ] && break
        if ! kill -0 "$APP_PID" 2>/dev/null; then
            wait "$APP_PID"
            local status=$?
            APP_PID=
            fail "run $1: the program ended (status $status) before showing its window"
        fi
        sleep 0.1
    done
    [ -n "$WID" ] || fail "run $1: no visible window titled \"$TITLE\" within 60 s"
    local name
    name=$(xdotool getwindowname "$WID")
    [ "$name" = "$TITLE" ] || fail "run $1: window title is \"$name\""
    kill -0 "$APP_PID" 2>/dev/null || fail "run $1: the program ended by itself"
    activate "$WID" || fail "run $1: the main window never got the keyboard"
}

# Clicks at a point of the client area (575 x 264 below the menu bar). The
# pointer moves relative to the window: getwindowgeometry's position is off
# by the frame under a reparenting window manager, its size is right.
click_client() { # <x> <y>
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$WID")"
    [ "$WIDTH" -ge 575 ] || fail "window is only $WIDTH pixels wide"
    local menu=$((HEIGHT - 264))
    [ "$menu" -ge 0 ] || fail "window is only $HEIGHT pixels high"
    # No --sync: it waits forever when the pointer is already there.
    xdotool mousemove --window "$WID" "$1" $((menu + $2)) sleep 0.2 click 1
}

click_exit() { click_client $((465 + 38)) $((235 + 10)); }
# Clicks the slider's groove right of its handle: one page step up.
click_slider() { click_client $((35 + 10 + 230)) $((10 + 25 + 6)); }

expect_end() { # <run number> <how>
    program_ended || fail "run $1: the program was still running 60 s after $2"
    [ "$APP_STATUS" -eq 0 ] || fail "run $1: the program ended with status $APP_STATUS after $2"
    if xdotool search --name "^Orvel's Reelbind" >/dev/null 2>&1; then
        fail "run $1: a window of the program is left after $2"
    fi
}

# Run 1: first start writes the nine lines; Exit ends the program.
start_program 1
expect_ini "$NINE_LINES" "run 1, first start"
echo "e2e: run 1: window \"$TITLE\" and the nine-line tarvik.ini"
click_exit
expect_end 1 "pressing Exit"
expect_ini "$NINE_LINES" "run 1, after Exit"
echo "e2e: run 1: Exit ended the program, tarvik.ini still nine lines"

# Run 2: a moved slider is not saved by the frame's close box.
start_program 2
expect_ini "$NINE_LINES" "run 2, second start"
click_slider
# A real key press (XTEST), so that openbox's own Alt+F4 binding closes the
# frame; the program sees it after the click, in the order the server sent them.
activate "$WID" || fail "run 2: the main window lost the keyboard"
xdotool key --clearmodifiers alt+F4
expect_end 2 "the close box (Alt+F4)"
expect_ini "$NINE_LINES" "run 2, after the close box"
echo "e2e: run 2: the close box ended the program without saving"

# Run 3: Exit saves the moved slider.
start_program 3
click_slider
click_exit
expect_end 3 "pressing Exit"
chunk=$(grep '^ChunkSize=' "$PROG/tarvik.ini")
[ "$chunk" = "ChunkSize=50000" ] || fail "run 3: Exit saved \"$chunk\", not ChunkSize=50000"
expect_ini "${NINE_LINES/ChunkSize=40000/ChunkSize=50000}" "run 3, after Exit"
echo "e2e: run 3: Exit saved the slider's new value"

# Runs 4 to 6: SIGTERM, SIGINT and SIGHUP end the program as the close box does.
run=4
for sig in TERM INT HUP; do
    start_program $run
    click_slider
    kill -"$sig" "$APP_PID"
    expect_end $run "SIG$sig"
    expect_ini "${NINE_LINES/ChunkSize=40000/ChunkSize=50000}" "run $run, after SIG$sig"
    run=$((run + 1))
done
echo "e2e: runs 4-6: SIGTERM, SIGINT and SIGHUP ended the program without saving"
echo "e2e: PASS"
