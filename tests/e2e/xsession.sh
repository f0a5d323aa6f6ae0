# Shared by the end-to-end scripts (sourced): the real program under Xvfb and openbox, driven
# through xdotool as a user would. fail MESSAGE: says so, then the program's output; status 1.
fail() { echo "$E2E_NAME: FAIL: $*" >&2; [ -s "${WORK:-/none}/run.log" ] && cat - "$WORK/run.log" <<<"--- program output" >&2; exit 1; }
# poll SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds; fails after SECONDS.
poll() { local n=$(($1 * 10)); until "${@:2}"; do [ $((n -= 1)) -ge 0 ] && sleep 0.1 || return 1; done; }

# session PATH: runs the calling script again in xvfb-run, in a session of its own (ended
# before it returns, also on interrupt) with only PATH, E2E_KEEP's variables and the sanitizers'
# options of the caller's environment, its own HOME and runtime folder and C.UTF-8. There: BIN=PATH,
# WORK a new folder (under PARENT), openbox ready; the program, openbox and WORK go at the end.
session() {
    local name env
    BIN=$1 APP_PID=
    if [ "${E2E_INSIDE:-}" = 1 ]; then
        WORK=$(mktemp -d -p "${PARENT:-/tmp}") && WORK=$(cd "$WORK" && pwd -P) || fail "no WORK"
        trap 'kill -KILL $APP_PID $WM_PID 2>/dev/null; wait 2>/dev/null; rm -rf "$WORK"' EXIT
        openbox --startup "touch '$WORK/wm-ready'" >"$WORK/openbox.log" 2>&1 &
        WM_PID=$!
        poll 10 eval '[ -e "$WORK/wm-ready" ] || ! kill -0 $WM_PID 2>/dev/null'
        [ -e "$WORK/wm-ready" ] && xdotool mousemove 0 0 || fail "no openbox: $(cat "$WORK/openbox.log")"
        return
    fi
    [ $# -eq 1 ] || { echo "usage: $0 <path>" >&2; exit 2; }
    BIN=$(readlink -f "$1") && [ -x "$BIN" ] || fail "nothing to run at $1"
    for name in xvfb-run openbox xdotool setsid timeout cmp cmake ffmpeg ffprobe; do command -v $name >/dev/null || fail "no $name"; done
    ROOT=$(mktemp -d) && mkdir -p "$ROOT/home" && mkdir -m 700 "$ROOT/run" || fail "no test folders"
    env=(PATH="$PATH" HOME="$ROOT/home" XDG_RUNTIME_DIR="$ROOT/run" LANG=C.UTF-8 LC_ALL=C.UTF-8)
    for name in ${E2E_KEEP:-} ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS; do [ -z "${!name+set}" ] || env+=("$name=${!name}"); done
    setsid --wait env -i "${env[@]}" E2E_INSIDE=1 \
        xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash "$0" "$BIN" &
    GROUP=$! # Xvfb outlives xvfb-run: ended when nothing of the session runs any more
    trap 'kill -- -$GROUP $GROUP 2>/dev/null; poll 5 eval "! ps -o stat= -s $GROUP | grep -qv ^Z" ||
        kill -KILL -- -$GROUP 2>/dev/null; rm -rf "$ROOT"' EXIT
    trap 'exit 130' INT TERM
    wait $GROUP
    exit
}

# launch FOLDER COMMAND...: starts the program there (output: WORK/run.log, pid APP_PID) and
# waits for its main window MAIN. ended STATUS [SECONDS]: it ended so within SECONDS (60).
MAIN_TITLE="^Orvel's Reelbind 1\.0\.7b\$"
launch() {
    (cd "$1" && QT_QPA_PLATFORM=xcb exec "${@:2}") >"$WORK/run.log" 2>&1 &
    APP_PID=$! MAIN=$(window "$MAIN_TITLE") || exit 1
}
ended() { poll "${2:-60}" eval '! kill -0 $APP_PID 2>/dev/null' && { wait $APP_PID 2>/dev/null; [ $? -eq "$1" ]; }; }
# window REGEX [SECONDS]: the id of a visible window so titled, once shown within SECONDS (60).
window() { poll "${2:-60}" _shown "$1" || fail "no window titled /$1/ within ${2:-60} s"; }
_shown() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 | grep .; }
# activate ID: raises window ID until it has the keyboard and its place no longer changes.
activate() { local last= now; poll 30 _settled "$1" || fail "'$(xdotool getwindowname "$1")' never got the keyboard"; }
_settled() {
    xdotool windowactivate "$1" >/dev/null 2>&1
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] || return 1
    now=$(xdotool getwindowgeometry "$1" 2>/dev/null) && [ "$now" = "$last" ] || { last=$now; return 1; }
}
# answer ID [TEXT]: types TEXT in window ID, presses Enter, waits until it closed (a whole list of
# windows without it: a search fails when one goes meanwhile). reply REGEX [TEXT]: so, once shown.
answer() {
    activate "$1" && { [ -z "${2:-}" ] || xdotool type --delay 20 "$2"; } && xdotool key Return
    poll 60 _gone "$1" || fail "Enter did not close the window '$(xdotool getwindowname "$1")'"
}
_gone() {
    ! xdotool getwindowname "$1" >/dev/null 2>&1 || { local v; v=$(xdotool search --onlyvisible --name . 2>/dev/null) &&
        [ -n "$v" ] && ! grep -qx "$1" <<<"$v"; }
}
reply() { local id; id=$(window "$1") && answer "$id" "${2:-}" || exit 1; }
# click_main X Y: a click in MAIN's 575 x 264 area below the menu bar (Join at 395 245, Add at
# 70 245), relative to the window: xdotool reports its size right, not its place under openbox.
click_main() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$MAIN")"
    xdotool mousemove --window "$MAIN" "$1" $((HEIGHT - 264 + $2)) sleep 0.2 click 1
}
# join_into NAME [QUESTION]: Join (Enter in the window QUESTION first) into NAME in the save
# dialog's folder; STATUS: the status window. joined: it says the join is done.
join_into() {
    click_main 395 245 && { [ -z "${2:-}" ] || reply "$2"; } && reply "^Save As\$" "$1"
    STATUS=$(window "^Joining Files\.\.\.") || exit 1
}
joined() { [ "$(window "^Joining Files\.\.\.Done!\$" 300)" = "$STATUS" ] || fail "the join did not end as done"; }
