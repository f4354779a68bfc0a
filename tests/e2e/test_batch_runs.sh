#!/usr/bin/env bash
# cadhost -b: what may stand for a script, and what its exit status says about the run.
. "$(dirname "$0")/lib.sh"

# A folder is refused as a missing script is: one line on stderr, status 2.
"$bin/cadhost" -b "$work" >"$work/out" 2>"$work/err" </dev/null
status=$?
[ "$status" = 2 ] || failed "-b FOLDER ended with status $status"
[ "$(wc -l <"$work/err")" = 1 ] || failed "-b FOLDER: stderr is not one line"
check "$work/err" "cadhost: cannot read script $work: it is a folder"

# A byte order mark before the first line is nothing: the first command runs and each answer
# goes to its own prompt.
printf '\xEF\xBB\xBFSETVAR\nTEXTSIZE\n7\nGETVAR\nTEXTSIZE\n' >"$work/bom.scr"
host_run_ok "$work/bom.scr" "$work/bom.log"
check "$work/bom.log" "Command: SETVAR"
check "$work/bom.log" "TEXTSIZE = 7"
if grep -q "Unknown command" "$work/bom.log"; then
    failed "a line of the script ran at the wrong prompt:"
    cat "$work/bom.log"
fi

# The exit status: 0 when every command did what it was asked, 1 when any could not; the
# commands after a failed one still run.
status_of() { # WANT NAME LINES...   runs the lines as a script, then again on standard input
    local want=$1 name=$2
    shift 2
    printf '%s\n' "$@" >"$work/$name.scr"
    host_run "$work/$name.scr" "$work/$name.log"
    local got=$?
    [ "$got" = "$want" ] || { failed "$name: -b run ended with status $got, not $want"; cat "$work/$name.log"; }
    "$bin/cadhost" <"$work/$name.scr" >"$work/$name.piped" 2>&1
    got=$?
    [ "$got" = "$want" ] || failed "$name: the run on standard input ended with status $got, not $want"
}
status_of 0 saved LINE 0,0 1,1 "" SAVEAS "$work/fine.dxf" CIRCLE '*Cancel*'
status_of 1 unsaved SAVEAS "$work/no/such/folder/x.dxf" SAVEAS "$work/after.dxf"
check "$work/unsaved.log" "Cannot save $work/no/such/folder/x.dxf: "
[ -f "$work/after.dxf" ] || failed "the command after the failed one did not run"
status_of 1 unknown FROBNICATE
status_of 1 refused SETVAR TEXTSIZE abc
status_of 1 unopened OPEN "$work/missing.dxf"
exit $fail
