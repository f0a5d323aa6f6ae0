#!/bin/bash
# The real program joining files on a real X server, driven as a user would:
# Add and Join through the real dialogs, the status window, Finished, a
# second join cancelled by Esc (whole chunks only), Exit storing the folders,
# SIGTERM during a join, Delete Source Files into the trash, and the close
# box (Alt+F4 through the window manager) ending the program unsaved.
#
#   bash tests/e2e/e2e_join.sh <path to reelbind>
#
# MIB sets the size of each of the four sources (default 64). Files live
# under /var/tmp.

set -u
E2E_NAME=e2e-join
. "$(cd "$(dirname "$0")/.." && pwd)/e2e/xsession.sh"
enter_program_session REELBIND_JOIN_INSIDE setsid timeout cmp -- "$@"

# ---------------------------------------------------------------------------
# Inside the X server.
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
# The target folder on the movies, the source folder elsewhere, chunk size 10,000.
cat >"$PROG/tarvik.ini" <<EOF
[Preferences]
SaveSourceDir=1
SaveTargetDir=1
SourceDir=$WORK
TargetDir=$MOVIES
ConfirmDel=1
ClearQue=1
ChunkSizeSave=1
ChunkSize=10000
EOF

start_openbox "$WORK" || fail "openbox did not get ready: $(cat "$WORK/openbox.log")"
xdotool mousemove 0 0

start_program() { # [NAME=VALUE...]: in its environment
    launch / env "$@" "$PROG/reelbind"
    activate "$MAIN" || fail "the main window never got the keyboard"
}
start_program

answer_dialog() { # <title regex> <text>: typed, then Enter; waits until it closed
    local id
    id=$(window "$1" 60) || exit 1
    activate "$id" || fail "the dialog /$1/ never got the keyboard"
    xdotool type --delay 20 "$2"
    xdotool key Return
    gone "$id" 60 || fail "the dialog /$1/ is still open"
}
title_of() { xdotool getwindowname "$1" 2>/dev/null; }
# until_title <window> <seconds> <title>...: waits until the window bears one of the titles.
until_title() {
    local id=$1 seconds=$2 t
    shift 2
    for _ in $(seq $((seconds * 10))); do
        t=$(title_of "$id")
        for want in "$@"; do [ "$t" = "$want" ] && return 0; done
        kill -0 "$APP_PID" 2>/dev/null || fail "the program ended"
        sleep 0.1
    done
    return 1
}

# join_into <name> <open dialog answer>: Add, then Join into <name> in the
# save dialog's folder; sets STATUS to the status window.
join_into() {
    click_main 70 245
    answer_dialog "^Open\$" "$2"
    click_main 395 245
    answer_dialog "^Save As\$" "$1"
    STATUS=$(window "^Joining Files\.\.\." 60) || exit 1
}

# The four parts by their full paths (the dialog opens elsewhere) into holiday.mpg.
TARGET="$MOVIES/holiday.mpg"
join_into holiday.mpg "\"$MOVIES/${NAMES[0]}\" \"$MOVIES/${NAMES[1]}\" \"$MOVIES/${NAMES[2]}\" \"$MOVIES/${NAMES[3]}\""
until_title "$STATUS" 300 "Joining Files...Done!" ||
    fail "status window reads \"$(title_of "$STATUS")\", not Joining Files...Done!"
(cd "$MOVIES" && cat "${NAMES[@]}") | cmp -s - "$TARGET" ||
    fail "the joined file is not the four parts in order"
echo "e2e-join: joined $((4 * MIB)) MiB through the real windows, byte for byte"

# Finished, by the Enter key.
activate "$STATUS" || fail "the status window never got the keyboard"
xdotool key Return
gone "$STATUS" 60 || fail "Enter did not close the status window"
echo "e2e-join: Enter pressed Finished; the status window closed"

# A second join into the same target (the dialog asks before replacing), cancelled
# by Esc; the parts by their names, in the folder the first Add remembered.
activate "$MAIN" || fail "the main window never got the keyboard back"
click_main 70 245
answer_dialog "^Open\$" "\"${NAMES[0]}\" \"${NAMES[1]}\" \"${NAMES[2]}\" \"${NAMES[3]}\""
click_main 395 245
SAVE=$(window "^Save As\$" 60) || exit 1
activate "$SAVE" || fail "the save dialog never got the keyboard"
xdotool type --delay 20 "holiday.mpg"
xdotool key Return
for _ in $(seq 600); do # the question "already exists. Do you want to replace it?"
    ASK=$(xdotool search --onlyvisible --name "^Save As\$" 2>/dev/null | grep -vx "$SAVE" | head -n 1)
    [ -n "$ASK" ] && break
    sleep 0.1
done
[ -n "$ASK" ] || fail "the save dialog did not ask before replacing holiday.mpg"
activate "$ASK" || fail "the question never got the keyboard"
xdotool key alt+y
gone "$SAVE" 60 || fail "the save dialog is still open"
STATUS=$(window "^Joining Files\.\.\." 60) || exit 1
activate "$STATUS" || true # a fast join may be over and gone already
xdotool key Escape
until_title "$STATUS" 300 "Joining Files...Cancelled!" "Joining Files...Done!" "" ||
    fail "the second join did not end: \"$(title_of "$STATUS")\""
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
        # Done before the key arrived (it then acted as Finished): the data are whole.
        [ "$size" -eq $((4 * MIB * 1048576 - 777 * 10 + 4 * 54321)) ] || fail "the second join is $size bytes long"
        echo "e2e-join: the second join ended before Esc arrived; its bytes are whole"
        ;;
    *) fail "the second join did not end: \"$(title_of "$STATUS")\"" ;;
esac

# Exit from the main window ends everything and stores the folders used.
activate "$MAIN" || fail "the main window never got the keyboard back"
click_main 503 245
program_ended || fail "the program still runs after Exit"
[ "$APP_STATUS" -eq 0 ] || fail "the program ended with status $APP_STATUS"
for key in SourceDir TargetDir; do
    line=$(grep "^$key=" "$PROG/tarvik.ini")
    [ "$line" = "$key=$MOVIES" ] || fail "tarvik.ini has \"$line\", not $key=$MOVIES"
done
echo "e2e-join: Exit stored the folders the files came from and went to"

# A logout (SIGTERM) during a join: it stops at a whole chunk, the program ends
# as by its close box, nothing half-written is left behind.
INI_BEFORE=$(cat "$PROG/tarvik.ini")
start_program
join_into interrupted.mpg "\"${NAMES[0]}\" \"${NAMES[1]}\" \"${NAMES[2]}\" \"${NAMES[3]}\""
kill -TERM "$APP_PID"
program_ended || fail "the program still runs after SIGTERM"
[ "$APP_STATUS" -eq 0 ] || fail "after SIGTERM the program ended with status $APP_STATUS"
size=$(stat -c %s "$MOVIES/interrupted.mpg")
(cd "$MOVIES" && cat "${NAMES[@]}") | cmp -s -n "$size" - "$MOVIES/interrupted.mpg" ||
    fail "the interrupted join's $size bytes are not the start of the four parts"
left=$(cd "$MOVIES" && ls -A | grep '^\.' || true)
[ -z "$left" ] || fail "files left behind in the movies' folder: $left"
[ "$(cat "$PROG/tarvik.ini")" = "$INI_BEFORE" ] || fail "SIGTERM saved the settings"
echo "e2e-join: SIGTERM during a join ended the program; $size bytes joined, nothing else left"

# Delete Source Files sends the joined files to the trash, also without a data folder yet.
start_program XDG_DATA_HOME="$WORK/data"
join_into copy.mpg "\"interrupted.mpg\""
until_title "$STATUS" 300 "Joining Files...Done!" || fail "the copy did not end as done"
activate "$STATUS" || fail "the status window never got the keyboard"
xdotool mousemove --window "$STATUS" 413 110 sleep 0.2 click 1 # Delete Source Files
ASK=$(window "^Delete Source Files\?\$" 60) || exit 1
activate "$ASK" || fail "the question never got the keyboard"
xdotool key alt+y
gone "$STATUS" 60 || fail "the status window is still open after Delete Source Files"
[ ! -e "$MOVIES/interrupted.mpg" ] || fail "the source is still in its folder"
cmp -s "$MOVIES/copy.mpg" "$WORK/data/Trash/files/interrupted.mpg" ||
    fail "the source is not whole in the trash: $(ls -R "$WORK/data" 2>&1 | head -5)"
echo "e2e-join: Delete Source Files moved the joined file to the trash"

# The close box, by a real key press (XTEST) for openbox's own Alt+F4: a moved
# slider is not saved.
INI_BEFORE=$(cat "$PROG/tarvik.ini")
activate "$MAIN" || fail "the main window never got the keyboard back"
click_main 275 41 # the slider's groove right of its handle: one page step
activate "$MAIN" || fail "the main window lost the keyboard"
xdotool key --clearmodifiers alt+F4
program_ended && [ "$APP_STATUS" -eq 0 ] || fail "Alt+F4 did not end the program cleanly"
[ "$(cat "$PROG/tarvik.ini")" = "$INI_BEFORE" ] || fail "the close box saved the settings"
echo "e2e-join: the close box ended the program without saving"
echo "e2e-join: PASS"
