#!/usr/bin/env bash
# The end-to-end scripts' checks can fail: the runner fails a script whose log differs from
# its check lines (in a line, in blanks, by a line more at the end) or that has none, and
# shows the log then; and the check lines that checks_from_log.sh writes of a log pass that
# log, the characters FileCheck reads as patterns and the blanks at a line's end included,
# and no log that differs from it.
. "$(dirname "$0")/lib.sh"
need_filecheck

# Runs a script of the given lines; its output in $work/out, its status answered.
runner() { # NAME LINES...
    printf '%s\n' "${@:2}" >"$work/$1.scr"
    "$here/run_script.sh" "$bin" "$work/$1.scr" "$filecheck" >"$work/out" 2>&1
}
# The runner must pass the script, or fail it with the log shown.
passes() {
    runner "$@" || { failed "$1: the runner failed it:"; cat "$work/out"; }
}
fails() {
    if runner "$@"; then
        failed "$1: the runner passed it"
    elif ! grep -qxF -- '-- the log, normalised --' "$work/out"; then
        failed "$1: the log is not shown:"
        cat "$work/out"
    fi
}

prompt='Enter variable name or [?]: DWGNAME'
passes right GETVAR DWGNAME '; CHECK: Command: GETVAR' "; CHECK-NEXT: $prompt" \
    '; CHECK-NEXT: DWGNAME = "Drawing1.dwg"' '; CHECK-NEXT: -- end --'
fails other-value GETVAR DWGNAME '; CHECK: Command: GETVAR' "; CHECK-NEXT: $prompt" \
    '; CHECK-NEXT: DWGNAME = "Drawing2.dwg"'
check "$work/out" 'error: CHECK-NEXT: expected string not found in input'
check "$work/out" 'DWGNAME = "Drawing1.dwg"'
fails blank-at-end GETVAR DWGNAME '; CHECK: Command: GETVAR' "; CHECK-NEXT: $prompt "
fails part-of-a-line GETVAR DWGNAME '; CHECK: Command: GETVAR' '; CHECK-NEXT: Enter variable name'
fails line-more GETVAR DWGNAME NEW '; CHECK: Command: GETVAR' "; CHECK-NEXT: $prompt" \
    '; CHECK-NEXT: DWGNAME = "Drawing1.dwg"' '; CHECK-NEXT: -- end --'
fails no-checks GETVAR DWGNAME
fails status '; status: 3' GETVAR DWGNAME '; CHECK: Command: GETVAR'

# A log with pattern characters, blanks at the ends of lines, a tab and an empty line.
log=$work/tricky.log
printf '%s\n' 'Banner' 'Command: MTEXT' 'Contents: {{a}} [[b]] {\fArial;x}' 'Prompt: ' \
    'Five blanks     ' $'a\ttab' '' 'Command: LIST' '-- preferences --' '"A"="1"' '-- end --' >"$log"
"$here/checks_from_log.sh" <"$log" | sed -E -e 's/^; (CHECK(-[A-Z]+)*:) ?/\1/' >"$work/tricky.checks"
matches() { "$filecheck" --strict-whitespace --match-full-lines --input-file "$1" "$work/tricky.checks" \
    >/dev/null 2>&1; }
matches "$log" || { failed "the checks written of a log do not pass it:"; cat "$work/tricky.checks"; }
if grep -q '[[:blank:]]$' "$work/tricky.checks"; then
    failed "a check line ends in a blank, which an editor may drop"
fi
changed() { # SED-EXPRESSION WHAT
    sed "$1" "$log" >"$work/changed.log"
    ! matches "$work/changed.log" || failed "the checks written of a log pass it with $2"
}
changed 's/{{a}}/{{A}}/' "another text between braces"
changed 's/^Five blanks     $/Five blanks    /' "a blank less at a line's end"
changed 's/^Prompt: $/Prompt:/' "no blank at a line's end"
changed 's/\t/ /' "a blank for the tab"
changed '/^$/d' "the empty line left out"
changed 's/^"A"="1"$/"A"="1"\n"B"="2"/' "a line more in the last section"
exit $fail
