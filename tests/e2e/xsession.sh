# Shared by the end-to-end scripts (sourced, not run).

# fail MESSAGE: says what failed, then the program's output; status 1.
fail() {
    echo "$E2E_NAME: FAIL: $*" >&2
    [ -s "${WORK:-/nonexistent}/run.log" ] && { echo "--- program output" >&2; cat "$WORK/run.log" >&2; }
    exit 1
}

# enter_program_session FLAG TOOL... -- PATH: outside Xvfb (FLAG not 1) checks
# PATH and the tools, runs the calling script inside Xvfb and exits with its
# status; inside, sets BIN to PATH.
enter_program_session() {
    local flag=$1 tools=(xvfb-run openbox xdotool) tool
    shift
    while [ $# -gt 0 ] && [ "$1" != -- ]; do tools+=("$1"); shift; done
    shift
    if [ "${!flag:-}" = 1 ]; then BIN=$1; return 0; fi
    [ $# -eq 1 ] || { echo "usage: $0 <path>" >&2; exit 2; }
    BIN=$(readlink -f "$1") && [ -x "$BIN" ] || fail "nothing to run at $1"
    for tool in "${tools[@]}"; do command -v "$tool" >/dev/null || fail "'$tool' is missing"; done
    run_in_xvfb "$flag" "$0" "$BIN"
    exit $?
}

# run_in_xvfb FLAG SCRIPT ARGS...: "bash SCRIPT ARGS..." in xvfb-run with FLAG=1,
# in a session of its own that is ended before it returns, also on interrupt; in an
# environment of its own (test_env).
run_in_xvfb() {
    local flag=$1 status
    shift
    test_env
    setsid --wait env -i "${_TEST_ENV[@]}" "$flag=1" \
        xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash "$@" &
    _XSESSION=$!
    trap '_xsession_stop; rm -rf "$_TEST_ROOT"' EXIT
    trap 'exit 130' INT TERM
    wait "$_XSESSION"
    status=$?
    trap - EXIT
    _xsession_stop
    rm -rf "$_TEST_ROOT"
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

# test_env: whatever the caller exported (a platform, a display, a runtime folder, a
# locale, a session bus), the test gets PATH alone of it, and the variables named in
# E2E_KEEP and the sanitizers' options; then its own HOME and XDG folders in a new
# folder (_TEST_ROOT; the runtime folder 0700) and the C.UTF-8 locale. In _TEST_ENV.
test_env() {
    local name
    _TEST_ROOT=$(mktemp -d) || fail "cannot make a folder for the test's environment"
    mkdir -p "$_TEST_ROOT"/{home/.local/share,home/.local/state,home/.config,home/.cache,runtime} &&
        chmod 700 "$_TEST_ROOT/runtime" || fail "cannot make the test's folders"
    _TEST_ENV=("PATH=$PATH" "HOME=$_TEST_ROOT/home" "XDG_DATA_HOME=$_TEST_ROOT/home/.local/share"
        "XDG_CONFIG_HOME=$_TEST_ROOT/home/.config" "XDG_CACHE_HOME=$_TEST_ROOT/home/.cache"
        "XDG_STATE_HOME=$_TEST_ROOT/home/.local/state" "XDG_RUNTIME_DIR=$_TEST_ROOT/runtime"
        "XDG_DATA_DIRS=/usr/local/share:/usr/share" "XDG_CONFIG_DIRS=/etc/xdg"
        "LANG=C.UTF-8" "LC_ALL=C.UTF-8")
    for name in ${E2E_KEEP:-} ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS; do
        [ -z "${!name+set}" ] || _TEST_ENV+=("$name=${!name}")
    done
}

# x_session_setup [PARENT]: makes WORK (under PARENT), starts openbox, waits for
# it; the program (APP_PID), openbox and WORK go when the script ends.
x_session_setup() {
    WM_PID= APP_PID=
    WORK=$(mktemp -d ${1:+"$1/rb.XXXX"}) && WORK=$(cd "$WORK" && pwd -P) ||
        fail "cannot make a folder for the test"
    trap _x_session_end EXIT
    openbox --startup "touch '$WORK/wm-ready'" >"$WORK/openbox.log" 2>&1 &
    WM_PID=$!
    poll 10 eval '[ -e "$WORK/wm-ready" ] || ! kill -0 "$WM_PID" 2>/dev/null'
    [ -e "$WORK/wm-ready" ] || fail "openbox did not get ready: $(cat "$WORK/openbox.log")"
    xdotool mousemove 0 0
}
_x_session_end() {
    local pid
    for pid in $APP_PID $WM_PID; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
    rm -rf "$WORK"
}

# install_program BIN DIR: a program folder holding the program, its movie module and its
# readme, nothing else.
install_program() {
    local readme
    mkdir -p "$2" && cp "$1" "$2/reelbind" || fail "cannot copy $1 to $2"
    cp "$(dirname "$1")/reelbind-movies.so" "$2/" || fail "no reelbind-movies.so beside $1"
    readme=$(dirname "$1")/Readme.html
    [ -f "$readme" ] || readme=$(dirname "${BASH_SOURCE[0]}")/../../resources/Readme.html
    cp "$readme" "$2/Readme.html" || fail "no Readme.html beside $1"
}

# The main window's title.
MAIN_TITLE="Orvel's Reelbind 1\.0\.7b"

# launch FOLDER COMMAND...: starts the program in FOLDER (output: WORK/run.log);
# sets APP_PID and, once its main window shows, MAIN.
launch() {
    local dir=$1
    shift
    (cd "$dir" && QT_QPA_PLATFORM=xcb exec "$@") >"$WORK/run.log" 2>&1 &
    APP_PID=$!
    MAIN=$(window "^${MAIN_TITLE}\$" 60) || exit 1
}

# poll SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds; fails after SECONDS.
poll() {
    local n=$(($1 * 10))
    shift
    until "$@"; do
        [ $((n -= 1)) -ge 0 ] || return 1
        sleep 0.1
    done
}

# program_ended: waits up to 60 s for APP_PID to end; sets APP_STATUS.
program_ended() {
    poll 60 eval '! kill -0 "$APP_PID" 2>/dev/null' || return 1
    wait "$APP_PID"
    APP_STATUS=$? APP_PID=
}

# wait_window REGEX SECONDS: the id of a visible window titled REGEX, once shown.
wait_window() { poll "$2" _shown "$1"; }
_shown() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 | grep .; }
# window REGEX SECONDS: as wait_window, but the script fails without one.
window() { wait_window "$1" "$2" || fail "no window titled /$1/ within $2 s"; }

# activate ID: raises window ID and waits (30 s at most) until it has the
# keyboard and its place no longer changes (the window manager is done).
activate() {
    local last="" now
    poll 30 _settled "$1"
}
_settled() {
    xdotool windowactivate "$1" >/dev/null 2>&1
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] || return 1
    now=$(xdotool getwindowgeometry "$1" 2>/dev/null)
    [ -n "$now" ] && [ "$now" = "$last" ] && return 0
    last=$now
    return 1
}

# answer ID [TEXT]: in window ID types TEXT, presses Enter, waits until it closed.
answer() {
    [ -n "$1" ] && activate "$1" || fail "the window '$(xdotool getwindowname "$1")' never got the keyboard"
    [ -z "${2:-}" ] || xdotool type --delay 20 "$2"
    xdotool key Return
    gone "$1" 60 || fail "Enter did not close the window '$(xdotool getwindowname "$1")'"
}

# gone ID SECONDS: waits until window ID is closed or hidden. Only a complete
# list without ID counts: a search fails when a window goes during the walk.
gone() { poll "$2" _gone "$1"; }
_gone() {
    local visible
    ! xdotool getwindowname "$1" >/dev/null 2>&1 ||
        { visible=$(xdotool search --onlyvisible --name . 2>/dev/null) && [ -n "$visible" ] &&
            ! grep -qx "$1" <<<"$visible"; }
}

# click_main X Y: a click in MAIN's 575 x 264 area below the menu bar (Join at
# 395 245, Add at 70 245). Relative to the window: xdotool reports its size
# right, not its position under a reparenting window manager.
click_main() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$MAIN")"
    xdotool mousemove --window "$MAIN" "$1" $((HEIGHT - 264 + $2)) sleep 0.2 click 1
}
