#!/usr/bin/env bash
# Scrivel as the host starts it, with the path of a text file: it ends at once with status 0
# and leaves the file as it was.  Registration and unregistration through the installer's
# path leave HKEY_CLASSES_ROOT\AppID itself in place.
. "$(dirname "$0")/lib.sh"

printf 'some text\r\n' >"$work/mtext.txt"
touch -d '2001-02-03 04:05:06.123456789' "$work/mtext.txt"
before=$(stat -c '%y %s' "$work/mtext.txt")
"$bin/Scrivel" "$work/mtext.txt"
status=$?
after=$(stat -c '%y %s' "$work/mtext.txt")
[ "$status" = 0 ] || failed "Scrivel with a file ended with $status"
[ "$before" = "$after" ] || failed "the file changed: $before / $after"
[ "$(cat "$work/mtext.txt")" = "$(printf 'some text\r')" ] || failed "content changed"

"$bin/Scrivel" /regserver || failed "/regserver"
grep -q 'Scrivel.EXE' "$CADHOST_PREFIX/system.reg" || failed "not registered"
"$bin/Scrivel" -UnregServer || failed "-UnregServer"
if grep -q 'Scrivel' "$CADHOST_PREFIX/system.reg"; then failed "entries left"; fi
grep -q '^\[HKEY_LOCAL_MACHINE\\Software\\Classes\\AppID\]$' "$CADHOST_PREFIX/system.reg" \
    || failed "AppID key removed"
exit $fail
