#!/usr/bin/env bash
# cadhost FILE.dxf: the drawing opens as the first document and saves again in its version;
# a file that cannot be opened ends the program with one line on stderr and status 1.
. "$(dirname "$0")/lib.sh"
need_corpus dxf dxf-malformed
need_ezdxf

printf 'SAVEAS\n%s\n' "$work/copy.dxf" >"$work/save.scr"
host_run_ok "$work/save.scr" "$work/log" "$corpus/dxf/text_alignments.dxf"
check "$work/copy.dxf" "AC1018"
"$python" "$here/dxf_compare.py" "$corpus/dxf/text_alignments.dxf" "$work/copy.dxf" || fail=1

# Entities the host keeps as read are listed under the type they had in the file.
printf 'LIST\nALL\n\n' >"$work/list.scr"
host_run "$work/list.scr" "$work/list" "$corpus/dxf/hatches_1.dxf"
check "$work/list" 'HATCH  Layer: "0"  Handle = '

"$bin/cadhost" "$corpus/dxf-malformed/recover01.dxf" </dev/null >"$work/out" 2>"$work/err"
status=$?
[ "$status" = 1 ] || failed "status $status for a broken drawing"
[ "$(wc -l <"$work/err")" = 1 ] || { failed "stderr is not one line"; cat "$work/err"; }
check "$work/err" "cadhost: Cannot open $corpus/dxf-malformed/recover01.dxf: line 1: "
exit $fail
