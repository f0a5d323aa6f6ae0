#!/bin/bash
# The layers of src/ and the one way their dependencies point: app -> gui -> core -> platform.
#   check_layers.sh SRC QT_INCLUDE_DIR: prints each fault in SRC, fails if any
#   check_layers.sh --self-test QT_INCLUDE_DIR: fails unless every fault of ./broken is found
# A fault: a Qt Widgets or Gui header (by its name under QT_INCLUDE_DIR) in core or platform;
# a header of a layer above; FFmpeg's or the movie module's outside that module; a window
# (gui/*Window.*, gui/*Dialog.*) including another window's: only the main window creates them.
set -u

if [ "${1:-}" = --self-test ]; then
    out=$(bash "$0" "$(dirname "$0")/broken/src" "$2") && { echo "layers: the broken tree passed"; exit 1; }
    for expected in "core/Bad.h: <QLabel> is a Qt Widgets or Gui header" \
                    "core/Bad.h: <QtGui/QColor> is a Qt Widgets or Gui header" \
                    "core/Bad.h: \"gui/MainWindow.h\" is above core" \
                    "platform/Bad.cpp: <QWidget> is a Qt Widgets or Gui header" \
                    "platform/Bad.cpp: \"core/Program.h\" is above platform" \
                    "gui/AboutDialog.cpp: \"gui/PreferencesDialog.h\" is another window's header" \
                    "platform/Bad.cpp: <libavformat/avformat.h> is FFmpeg's, outside the movie module" \
                    "core/Bad.h: \"platform/movies/FfmpegMovieEngine.h\" is inside the movie module"; do
        grep -qF -- "$expected" <<<"$out" || { echo "layers: not found: $expected"; echo "$out"; exit 1; }
    done
    echo "layers: the broken tree fails with every fault named"
    exit 0
fi

SRC=$1 QT=$2
[ -d "$SRC" ] && [ -d "$QT/QtWidgets" ] && [ -d "$QT/QtGui" ] ||
    { echo "usage: $0 SRC QT_INCLUDE_DIR" >&2; exit 2; }

faults=0
fault() { echo "$1"; faults=$((faults + 1)); }
# The layers above each one.
declare -A above=([platform]="core gui app" [core]="gui app" [gui]="app" [app]="")

while IFS= read -r -d '' file; do
    rel=${file#"$SRC"/}
    layer=${rel%%/*}
    base=$(basename "$rel")
    while IFS= read -r inc; do
        name=${inc:1:${#inc}-2}
        leaf=${name##*/}
        if [ "${inc:0:1}" = "<" ] && { [ "$layer" = core ] || [ "$layer" = platform ]; } &&
            { [ "$name" = QtWidgets ] || [ "$name" = QtGui ] ||
                [ -e "$QT/QtWidgets/$leaf" ] || [ -e "$QT/QtGui/$leaf" ]; }; then
            fault "$rel: $inc is a Qt Widgets or Gui header"
        fi
        for up in ${above[$layer]:-}; do
            case "$name" in "$up"/*) fault "$rel: $inc is above $layer" ;; esac
        done
        case "$rel:$name" in
        platform/movies/*) ;;
        *:libav*/* | *:libsw*/*) fault "$rel: $inc is FFmpeg's, outside the movie module" ;;
        *:platform/movies/*) fault "$rel: $inc is inside the movie module" ;;
        esac
        case "$layer:$base:$name" in
        gui:MainWindow.*:* | gui:*:gui/"${base%.*}".h) ;;
        gui:*Window.*:gui/*Window.h | gui:*Window.*:gui/*Dialog.h | gui:*Dialog.*:gui/*Window.h | \
            gui:*Dialog.*:gui/*Dialog.h)
            fault "$rel: $inc is another window's header" ;;
        esac
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*\([<"][^>"]*[>"]\).*/\1/p' "$file")
done < <(find "$SRC" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.h.in' \) -print0 | sort -z)

[ "$faults" -eq 0 ] || { echo "layers: $faults fault(s)"; exit 1; }
echo "layers: app -> gui -> core -> platform holds in $SRC"
