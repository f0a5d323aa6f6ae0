#!/bin/bash
# The real program on a real X server, driven as a user would: Add and Join through the real
# dialogs, Finished by Enter, the close box (openbox's Alt+F4) ending it unsaved, signals during a
# join and with a question open.   bash tests/e2e/e2e_join.sh <reelbind>  (MIB: each part's size)
set -u
E2E_NAME=e2e-join E2E_KEEP=MIB PARENT=/var/tmp
[ -d $PARENT ] && [ -w $PARENT ] || PARENT=${TMPDIR:-/tmp}
. "$(dirname "$0")/xsession.sh"
session "$@"
# A program folder with its settings: the target folder the movies', the source folder elsewhere,
# chunk size 10,000. Four parts of MIB (64) MiB: real bytes at both ends, a hole in the middle.
P=$WORK/program M=$WORK/movies NAMES=(holiday-part{1,2,3,4}.mpg)
mkdir -p "$P" "$M" && cp "$BIN" "$P" || fail "cannot make the program's folder"
printf '[Preferences]\nSaveSourceDir=1\nSaveTargetDir=1\nSourceDir=%s\nTargetDir=%s\nConfirmDel=1
ClearQue=1\nChunkSizeSave=1\nChunkSize=10000\n' "$WORK" "$M" >"$P/tarvik.ini"
INI=$(cat "$P/tarvik.ini")
for i in 0 1 2 3; do f=$M/${NAMES[$i]} && head -c 1000003 /dev/urandom >"$f" &&
    truncate -s $((${MIB:-64} * 1048576 - 777 * (i + 1))) "$f" && head -c 54321 /dev/urandom >>"$f" || fail "no $f"; done
start() { launch "${1:-/}" "$P/reelbind" "${@:2}" && activate "$MAIN"; }

# Add the four parts by their full paths (the dialog opens elsewhere), Join them, Enter for
# Finished; then the close box (a real key press, XTEST) after a moved slider saves nothing.
start
click_main 70 245
reply "^Open\$" "$(printf '"%s" ' "${NAMES[@]/#/$M/}")"
join_into holiday.mpg
joined
(cd "$M" && cat "${NAMES[@]}") | cmp -s - "$M/holiday.mpg" || fail "holiday.mpg is not the four parts in order"
answer "$STATUS"
activate "$MAIN"
click_main 275 41 # the slider's groove right of its handle: one page step
activate "$MAIN"
xdotool key --clearmodifiers alt+F4 && ended 0 || fail "Alt+F4 did not end the program cleanly"
[ "$(cat "$P/tarvik.ini")" = "$INI" ] || fail "the close box saved the settings"

# A logout, Ctrl+C or a hang-up during a join ends the program as its close box does; the join
# keeps nothing (no target, nothing hidden) and the terminal is told. A kill leaves nothing
# either. 30,000 files of 1 KB, named on the command line, make a join long enough.
mkdir "$WORK/many" && (cd "$WORK/many" && head -c 30000000 /dev/zero | split -b 1000 -a 5 -d - c)
MANY=($(cd "$WORK/many" && ls)) && [ ${#MANY[@]} -eq 30000 ] || fail "cannot make the small files"
for sig in TERM INT HUP KILL; do
    start "$WORK/many" "${MANY[@]}"
    join_into "stopped-$sig.mpg"
    kill -$sig $APP_PID && ended $([ $sig = KILL ] && echo 137 || echo 0) || fail "SIG$sig: the program did not end so"
    left=$(cd "$M" && ls -A | grep -v '^holiday') && fail "SIG$sig: files left behind in the movies' folder: $left"
    [ $sig = KILL ] || grep -qx "reelbind: the join to $M/stopped-$sig.mpg was stopped; nothing \
was written." "$WORK/run.log" || fail "SIG$sig: the terminal was not told"
    [ "$(cat "$P/tarvik.ini")" = "$INI" ] || fail "SIG$sig saved the settings"
done

# A logout while a question is open (a DVD title set's first part brings "Add the Other
# Parts?"): the box closes as by Esc and the program ends at once, as by its close box.
mkdir "$WORK/dvd" && head -c 5000 /dev/urandom | tee "$WORK/dvd/VTS_01_"{1,2}.VOB >/dev/null
launch "$WORK/dvd" "$P/reelbind" VTS_01_1.VOB
window "^Add the Other Parts\?\$" >/dev/null
kill -TERM $APP_PID && ended 0 10 || fail "SIGTERM with a question open did not end the program at once with status 0"
echo "$E2E_NAME: PASS"
