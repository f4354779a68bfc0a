#!/bin/sh
# Runs the window tests (the program given) on a virtual X server, as on a desktop: the same
# pictures and the same input as on the offscreen platform.  Skipped (status 77) without
# xvfb-run or Qt's X11 platform.
set -u
program=$1
shift
if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "skipped: xvfb-run is not installed (Debian's xvfb)"
    exit 77
fi
# Under the leak checker, whole allocation stacks: Qt's D-Bus thread, which the X11
# accessibility bridge starts and the process keeps to its end, is then recognised through
# Qt's D-Bus library (the fast unwinder stops in Qt's core library).
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# xvfb-run waits for the server and gives the program a display of its own (-a: a free one).
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "$program" "$@" >"$work/log" 2>&1
status=$?
if [ $status -ne 0 ] && grep -q 'could not connect to display\|Could not load the Qt platform plugin "xcb"' "$work/log"; then
    cat "$work/log"
    echo "skipped: Qt cannot open the virtual display"
    exit 77
fi
cat "$work/log"
exit $status
