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
exit $fail
