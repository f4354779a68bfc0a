#!/usr/bin/env bash
# A drawing holding objects of the module's class: the module cannot be unloaded from under
# them, can be once the drawing is closed, and the session ends cleanly with them open.
. "$(dirname "$0")/lib.sh"
here=$(dirname "$0")
/usr/bin/python3 "$here/dxf_sample.py" module "$work/module.dxf" || { echo "FAIL: sample"; exit 1; }

printf 'ARX\nUnload\nKSRRivlet\nSAVEAS\n%s\nQUIT\n' "$work/copy.dxf" >"$work/refused.scr"
"$bin/cadhost" --load "$bin/KSRRivlet.arx" "$work/module.dxf" -b "$work/refused.scr" \
    >"$work/refused.log" 2>&1 </dev/null
status=$?
[ "$status" = 0 ] || { echo "FAIL: status $status"; cat "$work/refused.log"; fail=1; }
check "$work/refused.log" "cannot unload KSRRivlet.arx: "
check "$work/refused.log" " of its classes are in open drawings"
/usr/bin/python3 "$here/dxf_compare.py" "$work/module.dxf" "$work/copy.dxf" || fail=1

printf 'NEW\nSWITCH\n1\nCLOSE\nARX\nUnload\nKSRRivlet\nQUIT\n' >"$work/closed.scr"
"$bin/cadhost" --load "$bin/KSRRivlet.arx" "$work/module.dxf" -b "$work/closed.scr" \
    >"$work/closed.log" 2>&1 </dev/null
status=$?
[ "$status" = 0 ] || { echo "FAIL: status $status after closing"; cat "$work/closed.log"; fail=1; }
check "$work/closed.log" "KSRRivlet unloaded."
exit $fail
