#!/usr/bin/env bash
# A drawing holding objects of the module's class: the module cannot be unloaded from under
# them, can be once the drawing is closed, and the session ends cleanly with them open.
. "$(dirname "$0")/lib.sh"
need_ezdxf
"$python" "$here/dxf_sample.py" module "$work/module.dxf" || fatal "sample"

printf 'ARX\nUnload\nKSRRivlet\nSAVEAS\n%s\nQUIT\n' "$work/copy.dxf" >"$work/refused.scr"
host_run "$work/refused.scr" "$work/refused.log" "${with_module[@]}" "$work/module.dxf"
status=$?
[ "$status" = 1 ] || failed "the refused unload ended the run with status $status, not 1"
check "$work/refused.log" "cannot unload KSRRivlet.arx: "
check "$work/refused.log" " of its classes are in open drawings"
"$python" "$here/dxf_compare.py" "$work/module.dxf" "$work/copy.dxf" || fail=1

printf 'NEW\nSWITCH\n1\nCLOSE\nARX\nUnload\nKSRRivlet\nQUIT\n' >"$work/closed.scr"
host_run_ok "$work/closed.scr" "$work/closed.log" "${with_module[@]}" "$work/module.dxf"
check "$work/closed.log" "KSRRivlet unloaded."
exit $fail
