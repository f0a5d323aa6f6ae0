#!/bin/bash
# The installed program, as a user meets it: installed into a prefix whose
# bin folder is read-only, started with HOME and XDG_CONFIG_HOME of its own
# and two files on its command line, which it joins (driven by the
# keyboard); its settings go to the config folder and nothing under the
# prefix changes. Started again with a third file while it runs, the file
# goes into the running program's queue and joins too.
#
#   bash tests/e2e/e2e_install.sh <build folder>
#
# Needs xvfb-run, openbox, xdotool, cmake.

set -u
E2E_NAME=e2e-install
. "$(cd "$(dirname "$0")/.." && pwd)/e2e/xsession.sh"

if [ "${REELBIND_INSTALL_INSIDE:-}" != 1 ]; then
    [ $# -eq 1 ] || { echo "usage: $0 <build folder>" >&2; exit 2; }
    BUILD=$(readlink -f "$1") || fail "no build folder $1"
    for tool in xvfb-run openbox xdotool setsid cmake cmp; do
        command -v "$tool" >/dev/null || fail "'$tool' is missing"
    done
    run_in_xvfb REELBIND_INSTALL_INSIDE "$0" "$BUILD"
    exit $?
fi

BUILD=$1
x_session_setup
PREFIX="$WORK/prefix"
cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.log" 2>&1 || fail "cmake --install failed: $(cat "$WORK/install.log")"
chmod a-w "$PREFIX/bin"
tree_of() { (cd "$PREFIX" && find . -printf '%p %s %T@\n' | sort); }
BEFORE=$(tree_of)

export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/config"
VIDEOS="$HOME/Videos"
mkdir -p "$VIDEOS" || fail "cannot make $VIDEOS"
# MPEG program streams as far as their first bytes tell.
for n in 1 2 3; do
    { printf '\0\0\1\272'; head -c $((300000 * n + 3)) /dev/urandom; } >"$VIDEOS/part$n.mpg"
done

start_openbox "$WORK" || fail "openbox did not get ready: $(cat "$WORK/openbox.log")"
xdotool mousemove 0 0
launch "$VIDEOS" "$PREFIX/bin/reelbind" part1.mpg missing.mpg part2.mpg
# The file that is not there is named in a message in the window, not on the terminal.
BOX=$(wait_window "^Orvel's Reelbind\$" 60) || fail "no message names missing.mpg"
activate "$BOX" || fail "the message never got the keyboard"
xdotool key Return
gone "$BOX" 60 || fail "the message did not close"
grep -q "missing.mpg" "$WORK/run.log" && fail "the program named the missing file on the terminal"
activate "$MAIN" || fail "the main window never got the keyboard"

# The keyboard alone: the list has the focus, Tab goes to Join, Space presses it.
xdotool key Tab space
SAVE=$(wait_window "^Save As\$" 60) || fail "Join did not open the save dialog"
activate "$SAVE" || fail "the save dialog never got the keyboard"
xdotool type --delay 20 "both.mpg"
xdotool key Return
STATUS=$(wait_window "^Joining Files\.\.\.Done!\$" 120) || fail "the join did not end as done"
cat "$VIDEOS/part1.mpg" "$VIDEOS/part2.mpg" | cmp -s - "$VIDEOS/both.mpg" ||
    fail "both.mpg is not part1 and part2 joined"
activate "$STATUS" || fail "the status window never got the keyboard"
xdotool key Return
gone "$STATUS" 60 || fail "Enter did not close the status window"
echo "e2e-install: the installed program joined the two files named on its command line"

INI="$XDG_CONFIG_HOME/reelbind/tarvik.ini"
grep -qx "SourceDir=$VIDEOS" "$INI" 2>/dev/null || fail "no settings in $INI: $(cat "$INI" 2>&1)"
[ "$(tree_of)" = "$BEFORE" ] || fail "something under the prefix changed"
echo "e2e-install: settings in $INI, nothing written under the prefix"

# A second start with a third file hands it to the running program and ends.
(cd "$VIDEOS" && QT_QPA_PLATFORM=xcb timeout 30 "$PREFIX/bin/reelbind" part3.mpg) >>"$WORK/run.log" 2>&1 ||
    fail "the second start did not end by itself with status 0"
kill -0 "$APP_PID" 2>/dev/null || fail "the first program ended"
activate "$MAIN" || fail "the main window never got the keyboard back"
click_main 395 245 # Join
SAVE=$(wait_window "^Save As\$" 60) || fail "Join did not open the save dialog"
activate "$SAVE" || fail "the save dialog never got the keyboard"
xdotool type --delay 20 "all.mpg"
xdotool key Return
wait_window "^Joining Files\.\.\.Done!\$" 120 >/dev/null || fail "the second join did not end as done"
cat "$VIDEOS/part1.mpg" "$VIDEOS/part2.mpg" "$VIDEOS/part3.mpg" | cmp -s - "$VIDEOS/all.mpg" ||
    fail "all.mpg is not the three parts joined"
echo "e2e-install: a second start handed its file to the running program, which joined it too"
kill -TERM "$APP_PID"
program_ended || fail "the program did not end on SIGTERM"
echo "e2e-install: PASS"
