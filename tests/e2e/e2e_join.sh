#!/bin/bash
# The real program joining files on a real X server, driven as a user would:
# Add (the open dialog), Join (the save dialog), the status window while it
# copies and when it is done, Finished, Exit. The joined file is compared
# byte for byte with the sources; then a second join is cancelled with Esc
# and must hold whole chunks only.
#
#   bash tests/join/e2e_join.sh <path to reelbind> [<folder for pictures>]
#
# With a picture folder, join-running.png and join-done.png are written
# there (the status window with its frame). MIB sets the size of each of
# the four sources (default 64; the pictures want a join that lasts, so
# give 1024 or more). The files live under /var/tmp and are deleted.
# Needs xvfb-run, openbox, xdotool and, for pictures, ImageMagick.

set -u
. "$(cd "$(dirname "$0")/.." && pwd)/e2e/xsession.sh"

fail() {
    echo "e2e-join: FAIL: $*" >&2
    [ -n "${WORK:-}" ] && [ -s "$WORK/run.log" ] && { echo "--- program output" >&2; cat "$WORK/run.log" >&2; }
    exit 1
}

if [ "${REELBIND_JOIN_INSIDE:-}" != 1 ]; then
    [ $# -ge 1 ] || { echo "usage: $0 <path to reelbind> [<picture folder>]" >&2; exit 2; }
    BIN=$(readlink -f "$1") || fail "no program at $1"
    [ -x "$BIN" ] || fail "no program at $1"
    SHOTS=
    if [ $# -ge 2 ]; then
        mkdir -p "$2" && SHOTS=$(readlink -f "$2") || fail "bad picture folder $2"
    fi
    for tool in xvfb-run openbox xdotool setsid timeout cmp; do
        command -v "$tool" >/dev/null || fail "'$tool' is missing"
    done
    [ -z "$SHOTS" ] || command -v import >/dev/null || fail "'import' (ImageMagick) is missing"
    run_in_xvfb REELBIND_JOIN_INSIDE "$0" "$BIN" "$SHOTS"
    exit $?
fi

# ---------------------------------------------------------------------------
# Inside the X server.
BIN=$1
SHOTS=$2
MIB=${MIB:-64}
PARENT=/var/tmp
[ -d "$PARENT" ] && [ -w "$PARENT" ] || PARENT=${TMPDIR:-/tmp}
x_session_setup "$PARENT"

PROG="$WORK/program"
MOVIES="$WORK/movies"
mkdir -p "$MOVIES" || fail "cannot make $MOVIES"
install_program "$BIN" "$PROG"

# Four parts: real bytes at both ends, a hole in the middle (quick to make).
NAMES=(holiday-part1.mpg holiday-part2.mpg holiday-part3.mpg holiday-part4.mpg)
for i in 0 1 2 3; do
    f="$MOVIES/${NAMES[$i]}"
    head -c 1000003 /dev/urandom >"$f"
    truncate -s $((MIB * 1048576 - 777 * (i + 1))) "$f"
    head -c 54321 /dev/urandom >>"$f"
done
# Settings: both folders on the movies, chunk size 10,000, no questions.
cat >"$PROG/tarvik.ini" <<EOF
[Preferences]
SaveSourceDir=1
SaveTargetDir=1
SourceDir=$MOVIES
TargetDir=$MOVIES
ConfirmDel=1
ClearQue=1
ChunkSizeSave=1
ChunkSize=10000
EOF

start_openbox "$WORK" || fail "openbox did not get ready: $(cat "$WORK/openbox.log")"
xdotool mousemove 0 0

(cd / && QT_QPA_PLATFORM=xcb exec "$PROG/reelbind") >"$WORK/run.log" 2>&1 &
APP_PID=$!

window() { # <title regex> <seconds>: id of the visible window so titled
    local id
    id=$(timeout "$2" xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    [ -n "$id" ] || fail "no window titled /$1/ within $2 s"
    echo "$id"
}
gone() { # <window id> <seconds>
    for _ in $(seq $(($2 * 10))); do
        xdotool getwindowname "$1" >/dev/null 2>&1 || return 0
        xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$1" || return 0
        sleep 0.1
    done
    fail "window $1 ($(xdotool getwindowname "$1" 2>/dev/null)) still there after $2 s"
}
MAIN=$(window "^Orvel's Reelbind 1\.0\.7b\$" 20) || exit 1
timeout 5 xdotool windowactivate --sync "$MAIN" >/dev/null 2>&1 || true
sleep 0.5

# A click in the main window's client area, 575 x 264 below the menu bar.
click_main() { # <x> <y>
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$MAIN")"
    xdotool mousemove --window "$MAIN" "$1" $((HEIGHT - 264 + $2)) sleep 0.2 click 1
}
# Types into the dialog that has the keyboard, then Enter.
answer_dialog() { # <title regex> <text>
    local id
    id=$(window "$1" 10) || exit 1
    timeout 5 xdotool windowactivate --sync "$id" >/dev/null 2>&1 || true
    sleep 0.5
    xdotool type --delay 20 "$2"
    sleep 0.2
    xdotool key Return
    gone "$id" 10
}
title_of() { xdotool getwindowname "$1" 2>/dev/null; }

# Add the four parts in one go.
click_main 70 245
answer_dialog "^Open\$" "\"${NAMES[0]}\" \"${NAMES[1]}\" \"${NAMES[2]}\" \"${NAMES[3]}\""
sleep 0.5

# Join them into holiday.mpg.
TARGET="$MOVIES/holiday.mpg"
click_main 395 245
answer_dialog "^Save As\$" "holiday.mpg"
STATUS=$(window "^Joining Files\.\.\." 20) || exit 1
if [ -n "$SHOTS" ]; then
    sleep 0.7
    [ "$(title_of "$STATUS")" = "Joining Files..." ] ||
        fail "the join ended before the picture was taken (give a larger MIB)"
    import -window "$STATUS" -frame "$SHOTS/join-running.png" || fail "import failed"
    [ "$(title_of "$STATUS")" = "Joining Files..." ] ||
        fail "the join ended while the picture was taken (give a larger MIB)"
fi
for _ in $(seq 1200); do
    [ "$(title_of "$STATUS")" = "Joining Files...Done!" ] && break
    kill -0 "$APP_PID" 2>/dev/null || fail "the program ended during the join"
    sleep 0.1
done
[ "$(title_of "$STATUS")" = "Joining Files...Done!" ] ||
    fail "status window reads \"$(title_of "$STATUS")\", not Joining Files...Done!"
if [ -n "$SHOTS" ]; then
    xdotool mousemove 0 0
    sleep 0.7
    import -window "$STATUS" -frame "$SHOTS/join-done.png" || fail "import failed"
fi
(cd "$MOVIES" && cat "${NAMES[@]}") | cmp -s - "$TARGET" ||
    fail "the joined file is not the four parts in order"
echo "e2e-join: joined $((4 * MIB)) MiB through the real windows, byte for byte"

# Finished, by the Enter key.
timeout 5 xdotool windowactivate --sync "$STATUS" >/dev/null 2>&1 || true
sleep 0.3
xdotool key Return
gone "$STATUS" 10
echo "e2e-join: Enter pressed Finished; the status window closed"

# A second join into the same target (the dialog asks before replacing),
# cancelled by Esc. The queue was cleared by Finished: add the parts again.
click_main 70 245
answer_dialog "^Open\$" "\"${NAMES[0]}\" \"${NAMES[1]}\" \"${NAMES[2]}\" \"${NAMES[3]}\""
sleep 0.5
click_main 395 245
SAVE=$(window "^Save As\$" 10) || exit 1
timeout 5 xdotool windowactivate --sync "$SAVE" >/dev/null 2>&1 || true
sleep 0.5
xdotool type --delay 20 "holiday.mpg"
xdotool key Return
for _ in $(seq 50); do # the question "already exists. Do you want to replace it?"
    ASK=$(xdotool search --onlyvisible --name "^Save As\$" 2>/dev/null | grep -vx "$SAVE" | head -n 1)
    [ -n "$ASK" ] && break
    sleep 0.1
done
[ -n "$ASK" ] || fail "the save dialog did not ask before replacing holiday.mpg"
timeout 5 xdotool windowactivate --sync "$ASK" >/dev/null 2>&1 || true
sleep 0.3
xdotool key alt+y
gone "$SAVE" 10
STATUS=$(window "^Joining Files\.\.\." 20) || exit 1
timeout 5 xdotool windowactivate --sync "$STATUS" >/dev/null 2>&1 || true
xdotool key Escape
for _ in $(seq 600); do
    case "$(title_of "$STATUS")" in
        "Joining Files...Cancelled!" | "Joining Files...Done!" | "") break ;;
    esac
    sleep 0.1
done
size=$(stat -c %s "$TARGET")
(cd "$MOVIES" && cat "${NAMES[@]}") | cmp -s -n "$size" - "$TARGET" ||
    fail "the second join's $size bytes are not the start of the four parts"
case "$(title_of "$STATUS")" in
    "Joining Files...Cancelled!")
        # Whole files, then whole chunks of the file under way.
        rest=$size
        for n in "${NAMES[@]}"; do
            len=$(stat -c %s "$MOVIES/$n")
            [ "$rest" -ge "$len" ] || break
            rest=$((rest - len))
        done
        [ $((rest % 10000)) -eq 0 ] || fail "a cancelled join left $rest bytes of a file, not whole chunks"
        echo "e2e-join: Esc cancelled the second join after $size bytes (whole chunks)"
        ;;
    "Joining Files...Done!" | "")
        # A fast machine may finish before the key arrives (which then acts as
        # Finished and closes the window); the data must then be whole.
        [ "$size" -eq $((4 * MIB * 1048576 - 777 * 10 + 4 * 54321)) ] || fail "the second join is $size bytes long"
        echo "e2e-join: the second join ended before Esc arrived; its bytes are whole"
        ;;
    *) fail "the second join did not end: \"$(title_of "$STATUS")\"" ;;
esac

# Exit from the main window ends everything.
timeout 5 xdotool windowactivate --sync "$MAIN" >/dev/null 2>&1 || true
sleep 0.3
click_main 503 245
program_ended || fail "the program still runs after Exit"
[ "$APP_STATUS" -eq 0 ] || fail "the program ended with status $APP_STATUS"
echo "e2e-join: PASS"
