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
[ "$status" = 0 ] || { echo "FAIL: Scrivel with a file ended with $status"; fail=1; }
[ "$before" = "$after" ] || { echo "FAIL: the file changed: $before / $after"; fail=1; }
[ "$(cat "$work/mtext.txt")" = "$(printf 'some text\r')" ] || { echo "FAIL: content changed"; fail=1; }

"$bin/Scrivel" /regserver || { echo "FAIL: /regserver"; fail=1; }
grep -q 'Scrivel.EXE' "$CADHOST_PREFIX/system.reg" || { echo "FAIL: not registered"; fail=1; }
"$bin/Scrivel" -UnregServer || { echo "FAIL: -UnregServer"; fail=1; }
if grep -q 'Scrivel' "$CADHOST_PREFIX/system.reg"; then echo "FAIL: entries left"; fail=1; fi
grep -q '^\[HKEY_LOCAL_MACHINE\\Software\\Classes\\AppID\]$' "$CADHOST_PREFIX/system.reg" \
    || { echo "FAIL: AppID key removed"; fail=1; }
exit $fail
