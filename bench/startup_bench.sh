#!/bin/bash
# The program's start-up against a bare Qt Widgets window (bench/bare_window): each started
# by bench/first_window on an Xvfb display without a window manager, timed from its start to
# its first window mapped and to that window's first pixels, with the shared libraries it has
# mapped by then. Runs interleaved (bare, program, bare, ...), best of RUNS. The same bare
# window linked with Qt Network, Qt D-Bus and GIO shows what loading those costs; the same
# window showing one line of text (text_window) what the font set-up costs, which every
# window with words in it pays and the empty window does not.
# The program runs from a program folder of its own (with its movie module and user's guide,
# as a build or a portable folder holds them), with HOME and the XDG folders in a temporary
# folder and no session bus; it is never handed over to a running one. Other programs
# (an earlier build) are timed in the same rounds. Prints each time, its ratio to the bare
# window's and to the text window's, and the counts. Goal: the program's first window drawn
# within 1.3 x the text window's.
#
# With LOCALE=de_DE.UTF-8 every window starts in that locale (the program in German, with Qt's
# own translations): what loading the translations costs.
#
#   bench/startup_bench.sh [BUILD_DIR [PROGRAM...]]     (RUNS: 5; PROGRAM: BUILD_DIR/reelbind)
set -euo pipefail

if [ "${REELBIND_BENCH_INSIDE:-}" != 1 ]; then
    BUILD=$(cd "${1:-build}" && pwd)
    shift || true
    PROGRAMS=()
    for p in "${@:-$BUILD/reelbind}"; do PROGRAMS+=("$(readlink -f "$p")"); done
    for f in "$BUILD/bench/bare_window" "$BUILD/bench/bare_window_linked" "$BUILD/bench/text_window" \
        "$BUILD/bench/first_window" \
        "${PROGRAMS[@]}"; do
        [ -x "$f" ] || { echo "missing $f" >&2; exit 2; }
    done
    exec env REELBIND_BENCH_INSIDE=1 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
        bash "$0" "$BUILD" "${PROGRAMS[@]}"
fi

BUILD=$1
shift
RUNS=${RUNS:-5}
WORK=$(mktemp -d /tmp/reelbind-startup-XXXXXX)
trap 'rm -rf "$WORK"' EXIT
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" XDG_DATA_HOME="$WORK/home/.local/share" \
    XDG_CACHE_HOME="$WORK/home/.cache" XDG_STATE_HOME="$WORK/home/.local/state" \
    XDG_RUNTIME_DIR="$WORK/run" LC_ALL=${LOCALE:-C.UTF-8} QT_QPA_PLATFORM=xcb
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY XDG_CURRENT_DESKTOP XDG_SESSION_TYPE DESKTOP_SESSION \
    QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE QT_SCALE_FACTOR LANGUAGE
mkdir -p "$HOME/.config" "$HOME/.local/share" "$HOME/.cache" "$HOME/.local/state"
mkdir -m 0700 "$WORK/run"

# Each program in a folder of its own: the program, its movie module (where it has one), its
# user's guide and its translations.
NAMES=("bare window" "bare window, linked with Network, D-Bus, GIO" "bare window with a line of text")
COMMANDS=("$BUILD/bench/bare_window" "$BUILD/bench/bare_window_linked" "$BUILD/bench/text_window")
i=0
for p in "$@"; do
    i=$((i + 1))
    dir="$WORK/program$i"
    mkdir "$dir"
    cp "$p" "$dir/reelbind"
    for f in reelbind-movies.so Readme.html translations; do [ ! -e "$(dirname "$p")/$f" ] || cp -r "$(dirname "$p")/$f" "$dir/"; done
    NAMES+=("$p") COMMANDS+=("$dir/reelbind")
done

# time_start COMMAND: first_window's line for it; a start that shows no window is tried again.
time_start() {
    local tries
    for tries in 1 2 3; do
        "$BUILD/bench/first_window" "$1" 2>>"$WORK/errors" && return 0
        sleep 0.5
    done
    echo "no window from $1: $(cat "$WORK/errors")" >&2
    return 1
}
# One untimed start of each: the page cache and the font cache filled.
for c in "${COMMANDS[@]}"; do time_start "$c" >/dev/null; done
declare -A MAPPED PAINTED LIBS
for _ in $(seq "$RUNS"); do
    for n in "${!COMMANDS[@]}"; do
        line=$(time_start "${COMMANDS[$n]}")
        MAPPED[$n]+="$(sed 's/.*mapped_ms=\([0-9.]*\).*/\1/' <<<"$line") "
        PAINTED[$n]+="$(sed 's/.*painted_ms=\([-0-9.]*\).*/\1/' <<<"$line") "
        LIBS[$n]=$(sed 's/.*libraries=\([0-9]*\).*/\1/' <<<"$line")
    done
done

best() { tr ' ' '\n' | grep . | sort -n | head -n 1; }
bare_mapped=$(best <<<"${MAPPED[0]}") bare_painted=$(best <<<"${PAINTED[0]}")
text_painted=$(best <<<"${PAINTED[2]}")
echo "best of $RUNS, interleaved; from the start to the first window mapped / first drawn;"
echo "ratios to the bare window's, and the drawn one also to the text window's"
for n in "${!COMMANDS[@]}"; do
    m=$(best <<<"${MAPPED[$n]}") p=$(best <<<"${PAINTED[$n]}")
    awk -v name="${NAMES[$n]}" -v m="$m" -v p="$p" -v bm="$bare_mapped" -v bp="$bare_painted" \
        -v tp="$text_painted" -v libs="${LIBS[$n]}" 'BEGIN {
            printf "%-46s mapped %5.1f ms (x %.2f)  drawn %5.1f ms (x %.2f, text x %.2f)  %3d libraries\n",
                name, m, m / bm, p, p / bp, p / tp, libs }'
done
echo "goal: the program's first window drawn within 1.3 x the text window's"
