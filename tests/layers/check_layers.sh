#!/bin/bash
# The layers of src/ and the one way their dependencies point:
# app -> gui -> core -> platform.
#
#   check_layers.sh SRC QT_INCLUDE_DIR     checks SRC, prints each fault, fails if any
#   check_layers.sh --self-test QT_INCLUDE_DIR
#                                          checks the broken tree beside this script
#                                          and fails unless every fault in it is found
#
# A fault is:
#   - a file in core that includes a Qt Widgets or Qt Gui header (any header
#     found in QT_INCLUDE_DIR/QtWidgets or QtGui, by its name) or a header
#     of gui or app;
#   - a file in platform that includes a header of core, gui or app;
#   - a file in gui that includes a header of app;
#   - a window that includes another window's header: only the main window
#     creates the others.
set -u

if [ "${1:-}" = --self-test ]; then
    here=$(cd "$(dirname "$0")" && pwd)
    out=$(bash "$0" "$here/broken/src" "$2")
    status=$?
    [ "$status" -ne 0 ] || { echo "layers: the broken tree passed"; exit 1; }
    for expected in "core/Bad.h: <QLabel> is a Qt Widgets or Gui header" \
                    "core/Bad.h: <QtGui/QColor> is a Qt Widgets or Gui header" \
                    "core/Bad.h: \"gui/frmReelbind.h\" is above core" \
                    "platform/Bad.cpp: \"core/Program.h\" is above platform" \
                    "gui/frmAbout.cpp: \"gui/frmPrefs.h\" is another window's header"; do
        grep -qF -- "$expected" <<<"$out" || { echo "layers: not found: $expected"; echo "$out"; exit 1; }
    done
    echo "layers: the broken tree fails with every fault named"
    exit 0
fi

SRC=$1
QT=$2
[ -d "$SRC" ] && [ -d "$QT/QtWidgets" ] && [ -d "$QT/QtGui" ] ||
    { echo "usage: $0 SRC QT_INCLUDE_DIR" >&2; exit 2; }

faults=0
fault() { echo "$1"; faults=$((faults + 1)); }

# includes FILE: prints each included name with its brackets or quotes.
includes() { sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*\([<"][^>"]*[>"]\).*/\1/p' "$1"; }

while IFS= read -r -d '' file; do
    rel=${file#"$SRC"/}
    layer=${rel%%/*}
    base=$(basename "$rel")
    while IFS= read -r inc; do
        name=${inc:1:${#inc}-2}
        case "$layer" in
        core)
            if [ "${inc:0:1}" = "<" ]; then
                leaf=${name##*/}
                if [ "$name" = QtWidgets ] || [ "$name" = QtGui ] ||
                    [ -e "$QT/QtWidgets/$leaf" ] || [ -e "$QT/QtGui/$leaf" ]; then
                    fault "$rel: $inc is a Qt Widgets or Gui header"
                fi
            fi
            case "$name" in gui/* | app/*) fault "$rel: $inc is above core" ;; esac
            ;;
        platform)
            case "$name" in core/* | gui/* | app/*) fault "$rel: $inc is above platform" ;; esac
            ;;
        gui)
            case "$name" in app/*) fault "$rel: $inc is above gui" ;; esac
            case "$base:$name" in
            frmReelbind.*:* | *:gui/"${base%.*}".h) ;;
            frm*:gui/frm*) fault "$rel: $inc is another window's header" ;;
            esac
            ;;
        esac
    done < <(includes "$file")
done < <(find "$SRC" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.h.in' \) -print0 | sort -z)

if [ "$faults" -gt 0 ]; then
    echo "layers: $faults fault(s)"
    exit 1
fi
echo "layers: app -> gui -> core -> platform holds in $SRC"
