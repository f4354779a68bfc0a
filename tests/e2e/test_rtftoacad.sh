#!/usr/bin/env bash
# What RtfToAcad writes to C:\KSR\Rivlet\output.TXT: the host's MText content of the chosen file
# after the hanging-indent fix, replaced on every run; a Word document through Word; a Word
# document that cannot be read, one without Word and a missing output folder each end with
# their messages and leave no output.
. "$(dirname "$0")/lib.sh"
out=$CADHOST_PREFIX/drive_c/KSR/Rivlet/output.TXT

"$bin/rivlet-setup" >/dev/null || fatal "rivlet-setup"
# Runs RtfToAcad on one file; the log goes to $work/log.
convert() {
    printf 'RtfToAcad\nfiledlg %s\n' "$1" >"$work/run.scr"
    host_run_ok "$work/run.scr" "$work/log" "${with_module[@]}"
}

# The paragraph "a." hangs without a tab stop in the source; the fix gives it one at its left
# indent, so its code carries the tab where the host would otherwise clear the stops (and the
# paragraph after it now clears that stop).
convert "$src/tests/data/rtf/hanging_indent.rtf"
want=$(sed -e 's/,l5\.4,t;a\./,l5.4,t5.4;a./' -e 's/\\pi0,l0;Back/\\pi0,l0,t;Back/' \
    "$src/tests/data/rtf/hanging_indent.mtext" | tr -d '\n')
if [ "$(cat "$out" 2>/dev/null)" != "$want" ]; then
    failed "output.TXT after hanging_indent.rtf:"
    cat "$out"
    echo
    echo "want: $want"
fi

# A Word document (in capital letters) goes the Word way: Word reads it, its words arrive.
if [ -f "$corpus/doc/simple.doc" ] && "$bin/WordServer" /RegServer >/dev/null 2>&1; then
    cp "$corpus/doc/simple.doc" "$work/SIMPLE.DOC"
    convert "$work/SIMPLE.DOC"
    check "$out" 'This is a simple file created with Word 97-SR2.'
    # One that Word cannot read: a line that says so, and the output stays as it was.
    cp "$out" "$work/before"
    head -c 3000 /dev/urandom >"$work/broken.doc"
    convert "$work/broken.doc"
    check "$work/log" 'broken.doc could not be converted to Rich Text.'
    cmp -s "$out" "$work/before" || failed "a broken document changed output.TXT"
else
    echo "skipped: the Word way (no LibreOffice, python3-uno or corpus)"
fi
# Without Word: the message of a workstation without Word, and the output stays as it was.
"$bin/WordServer" /UnregServer >/dev/null 2>&1
convert "$src/tests/data/rtf/hanging_indent.rtf"
cp "$src/tests/data/rtf/numbered_list.rtf" "$work/Finishes.DOC"
convert "$work/Finishes.DOC"
check "$work/log" "Word was not installed on this workstation. You must have at least Word 97 installed on your workstation prior to using this application."
[ "$(cat "$out")" = "$want" ] || failed "a Word document changed output.TXT"

# A text file replaces the output; its lines arrive as paragraphs.
printf 'First line\r\nSecond line\r\n' >"$work/notes.txt"
convert "$work/notes.txt"
check "$out" 'First line\PSecond line'
if grep -q PAINTING "$out"; then failed "output.TXT was appended to"; fi

# Without C:\KSR\Rivlet: the file error and "Exception at ::saveToFile", and no folder made.
rm -rf "$CADHOST_PREFIX/drive_c/KSR"
convert "$src/tests/data/rtf/hanging_indent.rtf"
check "$work/log" "Exception at ::saveToFile"
[ ! -e "$CADHOST_PREFIX/drive_c/KSR" ] || failed "the command made C:\\KSR"
exit $fail
