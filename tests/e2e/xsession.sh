# Shared by the end-to-end scripts (sourced, not run).

# fail MESSAGE: says what failed (prefixed with E2E_NAME), then the program's
# output (WORK/run.log), and ends the script with status 1.
fail() {
    echo "$E2E_NAME: FAIL: $*" >&2
    [ -s "${WORK:-/nonexistent}/run.log" ] && { echo "--- program output" >&2; cat "$WORK/run.log" >&2; }
    exit 1
}

# enter_program_session FLAG TOOL... -- ARGS...: for a script taking
# "<path to reelbind>". Outside the X server (FLAG not 1) it checks the
# argument and the tools (xvfb-run, openbox, xdotool and the TOOLs), runs the
# calling script inside Xvfb and exits with its status. Inside, it sets BIN.
enter_program_session() {
    local flag=$1 tools=(xvfb-run openbox xdotool) tool
    shift
    while [ $# -gt 0 ] && [ "$1" != -- ]; do tools+=("$1"); shift; done
    shift
    if [ "${!flag:-}" = 1 ]; then BIN=$1; return 0; fi
    [ $# -eq 1 ] || { echo "usage: $0 <path to reelbind>" >&2; exit 2; }
    BIN=$(readlink -f "$1") && [ -x "$BIN" ] || fail "no program at $1"
    for tool in "${tools[@]}"; do command -v "$tool" >/dev/null || fail "'$tool' is missing"; done
    run_in_xvfb "$flag" "$0" "$BIN"
    exit $?
}

# run_in_xvfb FLAG SCRIPT ARGS...: runs "bash SCRIPT ARGS..." inside xvfb-run
# with FLAG=1 in its environment, in a session of its own, and returns its
# status. Whatever the session started is ended before it returns, also
# when the caller is interrupted.
run_in_xvfb() {
    local flag=$1 status
    shift
    setsid --wait env "$flag=1" xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash "$@" &
    _XSESSION=$!
    trap _xsession_stop EXIT
    trap 'exit 130' INT TERM
    wait "$_XSESSION"
    status=$?
    trap - EXIT
    _xsession_stop
    return "$status"
}
_xsession_stop() {
    kill -TERM -- "-$_XSESSION" "$_XSESSION" 2>/dev/null
    # xvfb-run does not wait for its Xvfb: wait until nothing of it runs.
    for _ in $(seq 50); do
        ps -o stat= -s "$_XSESSION" 2>/dev/null | grep -qv '^Z' || return 0
        sleep 0.1
    done
    kill -KILL -- "-$_XSESSION" 2>/dev/null
}

# x_session_setup [PARENT]: inside the X server, makes WORK (a fresh folder,
# under PARENT when given) and arranges that the program (APP_PID), the
# window manager (WM_PID) and WORK are gone when the script ends.
x_session_setup() {
    WM_PID= APP_PID=
    WORK=$(mktemp -d ${1:+"$1/rb.XXXX"}) && WORK=$(cd "$WORK" && pwd -P) ||
        fail "cannot make a folder for the test"
    trap _x_session_end EXIT
}
_x_session_end() {
    local pid
    for pid in $APP_PID $WM_PID; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
    rm -rf "$WORK"
}

# start_openbox DIR: starts openbox and waits until it is ready (sets
# WM_PID); fails after 10 s, with its output in DIR/openbox.log.
start_openbox() {
    openbox --startup "touch '$1/wm-ready'" >"$1/openbox.log" 2>&1 &
    WM_PID=$!
    for _ in $(seq 100); do
        [ -e "$1/wm-ready" ] && return 0
        kill -0 "$WM_PID" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# install_program BIN DIR: a program folder holding the program and its readme, nothing else.
install_program() {
    local readme
    mkdir -p "$2" && cp "$1" "$2/reelbind" || fail "cannot copy $1 to $2"
    readme=$(dirname "$1")/Readme.html
    [ -f "$readme" ] || readme=$(dirname "${BASH_SOURCE[0]}")/../../resources/Readme.html
    cp "$readme" "$2/Readme.html" || fail "no Readme.html beside $1"
}

# launch FOLDER COMMAND...: starts the program in FOLDER (its output in
# WORK/run.log); sets APP_PID and, once its main window shows, MAIN.
launch() {
    local dir=$1
    shift
    (cd "$dir" && QT_QPA_PLATFORM=xcb exec "$@") >"$WORK/run.log" 2>&1 &
    APP_PID=$!
    MAIN=$(window "^Orvel's Reelbind 1\.0\.7b\$" 60) || exit 1
}

# program_ended: waits up to 60 s for the program (APP_PID) to end by
# itself; then sets APP_STATUS, clears APP_PID and succeeds.
program_ended() {
    for _ in $(seq 600); do
        kill -0 "$APP_PID" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$APP_PID" 2>/dev/null && return 1
    wait "$APP_PID"
    APP_STATUS=$?
    APP_PID=
}

# wait_window REGEX SECONDS: prints the id of the first visible window whose
# title matches REGEX once there is one; fails after SECONDS.
wait_window() {
    local id
    for _ in $(seq $(($2 * 10))); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
# window REGEX SECONDS: as wait_window, but the script fails without one.
window() { wait_window "$1" "$2" || fail "no window titled /$1/ within $2 s"; }

# activate ID: raises window ID and waits until it has the keyboard and its
# place no longer changes (the window manager is done with it); 30 s at most.
activate() {
    local last="" now
    for _ in $(seq 300); do
        xdotool windowactivate "$1" >/dev/null 2>&1
        if [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; then
            now=$(xdotool getwindowgeometry "$1" 2>/dev/null)
            [ -n "$now" ] && [ "$now" = "$last" ] && return 0
            last=$now
        fi
        sleep 0.1
    done
    return 1
}

# gone ID SECONDS: waits until window ID is closed or hidden. A search that
# fails (a window went away while xdotool walked the list) proves nothing:
# only a complete list without ID counts.
gone() {
    local visible
    for _ in $(seq $(($2 * 10))); do
        xdotool getwindowname "$1" >/dev/null 2>&1 || return 0
        if visible=$(xdotool search --onlyvisible --name . 2>/dev/null) && [ -n "$visible" ]; then
            grep -qx "$1" <<<"$visible" || return 0
        fi
        sleep 0.1
    done
    return 1
}

# click_main X Y: a click in the main window's (MAIN) client area, 575 x 264
# below the menu bar. Join is at 395 245, Add at 70 245, Exit at 503 245.
# The pointer moves relative to the window, whose size (not its position
# under a reparenting window manager) xdotool reports right.
click_main() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$MAIN")"
    xdotool mousemove --window "$MAIN" "$1" $((HEIGHT - 264 + $2)) sleep 0.2 click 1
}
