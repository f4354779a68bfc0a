#!/usr/bin/env bash
# cadhost --gui on a real X display (Xvfb), playing a script that ends with SNAPSHOT and QUIT.
# (The window's unit tests run there as gui.under_xvfb.)  Skipped without xvfb-run or without
# the window.
. "$(dirname "$0")/lib.sh"
command -v xvfb-run >/dev/null || skip "xvfb-run is not installed (Debian's xvfb)"
[ -x "$bin/gui_tests" ] || skip "cadhost is built without its window (Qt 6 Widgets)"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export CADHOST_STEP_MS=0
# Whole allocation stacks under the leak checker (see tests/gui/run_under_xvfb.sh).
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0"

cat >"$work/show.scr" <<SCRIPT
CIRCLE
5,5
2
MTEXT
1,9
9,8
On a real display.
ZOOM E
SNAPSHOT $work/xvfb.png
QUIT
msgbox no
SCRIPT
xvfb-run -a env QT_QPA_PLATFORM=xcb "$bin/cadhost" --gui -b "$work/show.scr" \
    </dev/null >"$work/show.log" 2>&1 || { failed "cadhost --gui on Xvfb:"; cat "$work/show.log"; }
check "$work/show.log" "Window picture written to $work/xvfb.png."
[ -s "$work/xvfb.png" ] || failed "no picture of the window"
exit $fail
