#!/usr/bin/env bash
# cadhost FILE.dxf: the drawing opens as the first document and saves again in its version;
# a file that cannot be opened ends the program with one line on stderr and status 1.
. "$(dirname "$0")/lib.sh"
corpus=$(cd "$(dirname "$0")/../../../shared/corpus" && pwd)

printf 'SAVEAS\n%s\n' "$work/copy.dxf" >"$work/save.scr"
"$bin/cadhost" "$corpus/dxf/text_alignments.dxf" -b "$work/save.scr" >"$work/log" 2>&1 </dev/null ||
    { echo "FAIL: cadhost with a drawing"; cat "$work/log"; fail=1; }
check "$work/copy.dxf" "AC1018"
/usr/bin/python3 "$(dirname "$0")/dxf_compare.py" "$corpus/dxf/text_alignments.dxf" "$work/copy.dxf" ||
    fail=1

# Entities the host keeps as read are listed under the type they had in the file.
printf 'LIST\nALL\n\n' >"$work/list.scr"
"$bin/cadhost" "$corpus/dxf/hatches_1.dxf" -b "$work/list.scr" >"$work/list" 2>&1 </dev/null
check "$work/list" 'HATCH  Layer: "0"  Handle = '

"$bin/cadhost" "$corpus/dxf-malformed/recover01.dxf" </dev/null >"$work/out" 2>"$work/err"
status=$?
[ "$status" = 1 ] || { echo "FAIL: status $status for a broken drawing"; fail=1; }
[ "$(wc -l <"$work/err")" = 1 ] || { echo "FAIL: stderr is not one line"; cat "$work/err"; fail=1; }
check "$work/err" "cadhost: Cannot open $corpus/dxf-malformed/recover01.dxf: line 1: "
exit $fail
