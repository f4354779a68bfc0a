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

# Registration beside an unregistration may find its keys removed under it; every run that
# fails says in one line what failed, and one that succeeds says nothing.
for i in $(seq 40); do "$bin/Scrivel" /UnregServer 2>/dev/null; done &
remover=$!
failures=0
for i in $(seq 40); do
    "$bin/Scrivel" /RegServer 2>"$work/reg.err"
    status=$?
    lines=$(grep -c '^Scrivel: could not register: ' "$work/reg.err")
    if [ "$status" != 0 ]; then
        failures=$((failures + 1))
        [ "$lines" = 1 ] && [ "$(wc -l <"$work/reg.err")" = 1 ] ||
            failed "registration ended with $status and said: $(cat "$work/reg.err")"
    elif [ -s "$work/reg.err" ]; then
        failed "a registration that succeeded said: $(cat "$work/reg.err")"
    fi
done
wait "$remover"
echo "$failures of 40 registrations failed beside an unregistration"
exit $fail
