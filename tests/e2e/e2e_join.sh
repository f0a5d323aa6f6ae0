#!/bin/bash
# The real program on a real X server, driven as a user would: Add and Join
# through the real dialogs, Finished by Enter, the close box (openbox's Alt+F4)
# ending it unsaved, signals during a join.
#   bash tests/e2e/e2e_join.sh <path to reelbind>   (MIB: each source's size, 64)
set -u
E2E_NAME=e2e-join
. "$(cd "$(dirname "$0")/.." && pwd)/e2e/xsession.sh"
E2E_KEEP=MIB
enter_program_session REELBIND_JOIN_INSIDE setsid timeout cmp -- "$@"

# Inside the X server; the files under /var/tmp.
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
printf '[Preferences]\nSaveSourceDir=1\nSaveTargetDir=1\nSourceDir=%s\nTargetDir=%s\nConfirmDel=1
ClearQue=1\nChunkSizeSave=1\nChunkSize=10000\n' "$WORK" "$MOVIES" >"$PROG/tarvik.ini"
start_program() { # [FOLDER FILE...]: started there with those files
    launch "${1:-/}" "$PROG/reelbind" "${@:2}"
    activate "$MAIN" || fail "the main window never got the keyboard"
}
start_program

answer_dialog() { local id; id=$(window "$1" 60) || exit 1; answer "$id" "$2"; }

# join_into <name> [<open dialog answer>]: Add (when answered), then Join into <name> in the
# save dialog's folder; sets STATUS to the status window.
join_into() {
    [ -z "${2:-}" ] || { click_main 70 245 && answer_dialog "^Open\$" "$2"; }
    click_main 395 245
    answer_dialog "^Save As\$" "$1"
    STATUS=$(window "^Joining Files\.\.\." 60) || exit 1
}

# The four parts by their full paths (the dialog opens elsewhere) into holiday.mpg.
TARGET="$MOVIES/holiday.mpg"
ALL="\"$MOVIES/${NAMES[0]}\" \"$MOVIES/${NAMES[1]}\" \"$MOVIES/${NAMES[2]}\" \"$MOVIES/${NAMES[3]}\""
join_into holiday.mpg "$ALL"
[ "$(window "^Joining Files\.\.\.Done!\$" 300)" = "$STATUS" ] || fail "the join did not end as done"
(cd "$MOVIES" && cat "${NAMES[@]}") | cmp -s - "$TARGET" ||
    fail "the joined file is not the four parts in order"
echo "e2e-join: joined $((4 * MIB)) MiB through the real windows, byte for byte"

# Finished, by the Enter key.
answer "$STATUS"
echo "e2e-join: Enter pressed Finished; the status window closed"

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

# Three MP4 parts named on the command line, joined as one movie: Enter takes "Join as One
# Movie" in the question, a name typed in the save dialog; the movie lasts as long as its parts.
mkdir "$WORK/clips"
for n in 1 2 3; do ffmpeg -nostdin -v error -f lavfi -i testsrc=d=2 -f lavfi -i "sine=d=2:f=$((200 * n))" \
    -c:v libx264 -bf 2 -c:a aac "$WORK/clips/clip$n.mp4" || fail "ffmpeg cannot make the parts"; done
start_program "$WORK/clips" clip1.mp4 clip2.mp4 clip3.mp4
click_main 395 245
answer_dialog "^Join Files\?\$" ""
answer_dialog "^Save As\$" holiday-movie.mp4
STATUS=$(window "^Joining Files\.\.\." 60) || exit 1
[ "$(window "^Joining Files\.\.\.Done!\$" 120)" = "$STATUS" ] || fail "the movie join did not end as done"
length() { ffprobe -v error -show_entries format=duration -of csv=p=0 "$1"; }
sum=$(for n in 1 2 3; do length "$WORK/clips/clip$n.mp4"; done | awk '{ s += $1 } END { print s }')
echo "$(length "$MOVIES/holiday-movie.mp4") $sum" | awk '{ d = $1 - $2; exit !(d < 0.04 && d > -0.04) }' ||
    fail "the movie lasts $(length "$MOVIES/holiday-movie.mp4") s, its parts $sum s"
answer "$STATUS"
activate "$MAIN" || fail "the main window never got the keyboard back"
xdotool key --clearmodifiers alt+F4
program_ended && [ "$APP_STATUS" -eq 0 ] || fail "Alt+F4 did not end the program cleanly"
echo "e2e-join: three MP4 parts joined as one movie through the real windows, $sum s long"

# A logout, Ctrl+C or a hang-up during a join: the program ends as by its close box, the
# join keeps nothing (no target, nothing hidden) and the terminal is told. A kill leaves
# nothing either. 30,000 files of 1 KB, named on the command line, make a join long enough
# to be interrupted.
mkdir "$WORK/many" && (cd "$WORK/many" && head -c 30000000 /dev/zero | split -b 1000 -a 5 -d - c)
MANY=($(cd "$WORK/many" && ls)) && [ ${#MANY[@]} -eq 30000 ] || fail "cannot make the small files"
for sig in TERM INT HUP KILL; do
    start_program "$WORK/many" "${MANY[@]}"
    join_into "stopped-$sig.mpg"
    kill -"$sig" "$APP_PID"
    program_ended && [ "$APP_STATUS" -eq "$([ $sig = KILL ] && echo 137 || echo 0)" ] ||
        fail "SIG$sig: the program did not end as it should"
    left=$(cd "$MOVIES" && ls -A | grep -v '^holiday' || true)
    [ -z "$left" ] || fail "SIG$sig: files left behind in the movies' folder: $left"
    [ $sig = KILL ] ||
        grep -qx "reelbind: the join to $MOVIES/stopped-$sig.mpg was stopped; nothing was written." \
            "$WORK/run.log" || fail "SIG$sig: the terminal was not told"
    [ "$(cat "$PROG/tarvik.ini")" = "$INI_BEFORE" ] || fail "SIG$sig saved the settings"
done
echo "e2e-join: SIGTERM, SIGINT, SIGHUP and SIGKILL during a join ended the program; nothing was left"

echo "e2e-join: PASS"
