#!/usr/bin/env bash
# cadhost --gui on Qt's windowless platform: a script plays in the window and ends with
# SNAPSHOT and QUIT.  The log is what the same script gives without the window, but for
# SNAPSHOT and ZOOM, which say here that they need the window.  The module's dialog plays its
# dlg lines in its window, "dlg snapshot" keeping its picture, and the sheet lays out as
# without the window.  Without a display, --gui says so in one line.
. "$(dirname "$0")/lib.sh"
printf 'QUIT\n' >"$work/quit.scr"
QT_QPA_PLATFORM=offscreen "$bin/cadhost" --gui -b "$work/quit.scr" </dev/null >"$work/probe" 2>&1
if grep -q "built without its window" "$work/probe"; then
    skip "cadhost is built without its window (Qt 6 Widgets)"
fi

(unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
    "$bin/cadhost" --gui -b "$work/quit.scr" </dev/null >"$work/out" 2>"$work/err")
status=$?
[ "$status" = 2 ] || failed "status $status without a display"
check "$work/err" "cadhost: --gui: no X display to show the window on"

export CADHOST_STEP_MS=0 QT_QPA_PLATFORM=offscreen
cat >"$work/draw.scr" <<SCRIPT
LINE
0,0
10,5

CIRCLE
5,5
2
MTEXT
1,8
8,6
A text in the window's view.
ZOOM E
SNAPSHOT $work/window.png
QUIT
msgbox no
SCRIPT
host_run_ok "$work/draw.scr" "$work/window.log" --gui
check "$work/window.log" "Window picture written to $work/window.png."
[ -s "$work/window.png" ] || failed "no picture of the window"
# The PNG header's size: the window's default 1000 by 720.
size=$(od -An -tu1 -j16 -N8 "$work/window.png" | tr -s ' ' | sed 's/^ //')
[ "$size" = "0 0 3 232 0 0 2 208" ] || failed "the picture is not 1000x720 (header: $size)"

host_run "$work/draw.scr" "$work/plain.log"
check "$work/plain.log" "SNAPSHOT needs the window: start cadhost with --gui."
check "$work/plain.log" "ZOOM needs the window: start cadhost with --gui."
grep -v "^Window picture written\|^Enter picture file name\|^Specify corner of window\|^QStandardPaths" \
    "$work/window.log" >"$work/window.core"
grep -v "^SNAPSHOT needs\|^ZOOM needs" "$work/plain.log" >"$work/plain.core"
diff "$work/plain.core" "$work/window.core" >"$work/diff" ||
    { failed "the window's log differs from the terminal's:"; cat "$work/diff"; }

# The module's sheet dialog in its window, played by the script's dlg lines.
install_module
specs=$src/examples/specs
cat >"$work/sheet.scr" <<SCRIPT
SheetSpec
dlg set 230 $specs
dlg key 230 Enter
dlg dblclick 229 "DIVISION 4 - MASONRY"
dlg dblclick 228 "04200 Unit Masonry.rtf"
dlg snapshot $work/dialog.png
dlg click 1
0,10
6,0
LIST
ALL

SNAPSHOT $work/sheet.png
QUIT
msgbox no
SCRIPT
host_run_ok "$work/sheet.scr" "$work/sheet-window.log" --gui "${with_module[@]}"
check "$work/sheet-window.log" "** dlg: picture of the dialog written to $work/dialog.png"
check "$work/sheet-window.log" "Window picture written to $work/sheet.png."
size=$(od -An -tu1 -j16 -N8 "$work/dialog.png" | tr -s ' ' | sed 's/^ //')
[ "$size" = "0 0 2 124 0 0 1 218" ] || failed "the dialog's picture is not 636x474 (header: $size)"
rm -rf "$CADHOST_PREFIX"
install_module
host_run "$work/sheet.scr" "$work/sheet-plain.log" "${with_module[@]}"
grep -v "^Window picture written\|^Enter picture file name\|^QStandardPaths\|^This plugin" \
    "$work/sheet-window.log" >"$work/sheet-window.core"
grep -v "^Window picture written\|^SNAPSHOT needs" "$work/sheet-plain.log" >"$work/sheet-plain.core"
diff "$work/sheet-plain.core" "$work/sheet-window.core" >"$work/sheet.diff" ||
    { failed "the sheet's log in the window differs from the terminal's:"; cat "$work/sheet.diff"; }
grep -q "MTEXT  Layer" "$work/sheet-window.core" || failed "no sheet was laid out in the window"
exit $fail
