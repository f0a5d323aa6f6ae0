# Shared by the end-to-end scripts (sourced, not run).
#
# run_in_xvfb FLAG SCRIPT ARGS...: runs "bash SCRIPT ARGS..." inside xvfb-run
# with FLAG=1 in its environment, in a session of its own, and returns its
# exit status. Whatever the session started (Xvfb, the window manager, the
# program) is ended before it returns, also when the caller is interrupted.

_xsession_stop() {
    kill -TERM -- "-$_XSESSION" "$_XSESSION" 2>/dev/null
    # xvfb-run does not wait for its Xvfb: wait until nothing of it runs.
    for _ in $(seq 50); do
        ps -o stat= -s "$_XSESSION" 2>/dev/null | grep -qv '^Z' || return 0
        sleep 0.1
    done
    kill -KILL -- "-$_XSESSION" 2>/dev/null
}

run_in_xvfb() {
    local flag=$1 status
    shift
    setsid --wait env "$flag=1" \
        xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash "$@" &
    _XSESSION=$!
    trap _xsession_stop EXIT
    trap 'exit 130' INT TERM
    wait "$_XSESSION"
    status=$?
    trap - EXIT
    _xsession_stop
    return "$status"
}

# start_openbox DIR: inside the X server, starts openbox as the window
# manager and waits until it is ready; sets WM_PID. Fails after 10 s, with
# openbox's own output in DIR/openbox.log.
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
