#!/usr/bin/env bash
# Writes a normalised cadhost log (standard input) as the check lines of a script, to paste
# into the script and then cut down to what the script is about: a command's block (from its
# "Command:" line) and a shown section (from its "-- NAME --" line) start with CHECK, every
# other line must follow the one before (CHECK-NEXT, CHECK-EMPTY).  The characters that
# FileCheck reads as patterns ("{{", "[[") and blanks at a line's end are written as
# patterns that match exactly them.
exec awk '
function pattern(text,    blanks, out) {
    gsub(/\{\{/, "{{[{][{]}}", text)
    gsub(/\[\[/, "{{[[][[]}}", text)
    match(text, / +$/)
    blanks = RSTART ? RLENGTH : 0
    out = substr(text, 1, length(text) - blanks)
    if (blanks == 1)
        out = out "{{ }}"
    else if (blanks > 1)
        out = out "{{( {" blanks "})}}"
    return out
}
{
    if ($0 == "")
        print "; CHECK-EMPTY:"
    else if (NR == 1 || /^Command: / || (/^-- .* --$/ && $0 != "-- end --"))
        print "; CHECK: " pattern($0)
    else
        print "; CHECK-NEXT: " pattern($0)
}
'
