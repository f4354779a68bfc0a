#!/usr/bin/env bash
# The word processor for people: without a display, or with a LibreOffice that cannot show a
# window, it says so in one line, leaves the file as it was and ends with a failure; it wants
# exactly one file.
. "$(dirname "$0")/lib.sh"
printf '{\\rtf1 untouched}' >"$work/spec.rtf"
cp "$work/spec.rtf" "$work/before.rtf"
env -u DISPLAY -u WAYLAND_DISPLAY "$bin/WordPad" "$work/spec.rtf" >"$work/out.log" 2>&1
status=$?
[ "$status" != 0 ] || failed "WordPad without a display ended with 0"
[ "$(wc -l <"$work/out.log")" = 1 ] || { failed "not one line:"; cat "$work/out.log"; }
check "$work/out.log" "no display"
cmp -s "$work/spec.rtf" "$work/before.rtf" || failed "the file changed"
"$bin/WordPad" >/dev/null 2>&1 && failed "WordPad without a file ended with 0"
# With a display but a LibreOffice that has no windows (what the tests install), it says so.
soffice=$(command -v soffice || true)
if [ -n "$soffice" ] && ! ls "$(dirname "$(readlink -f "$soffice")")"/libvclplug_*.so >/dev/null 2>&1; then
    DISPLAY=:77 "$bin/WordPad" "$work/spec.rtf" >"$work/nogui.log" 2>&1 && failed "ended with 0"
    check "$work/nogui.log" "install libreoffice-writer"
    cmp -s "$work/spec.rtf" "$work/before.rtf" || failed "the file changed"
fi
exit $fail
