#!/usr/bin/env bash
# "Convert Docs" of the sheet dialog on a folder of real Word documents: the warning first
# (Cancel converts nothing), then one Rich Text file beside every document (Report.rev2.doc
# gives Report.rev2.rtf, an existing Report.rtf is replaced, a .DOC and a .docx are found too),
# a document that cannot be read skipped without stopping the rest, the count of files written,
# and the folder's list refilled.  LibreOffice reads the written files with the words it reads
# from the documents.  Without Word: its two messages and nothing written.
. "$(dirname "$0")/lib.sh"
need_soffice
need_python uno
need_corpus doc doc-text
install_module

specs=$work/specs
mkdir -p "$specs"
cp "$corpus/doc/simple.doc" "$specs/simple.doc"
cp "$corpus/doc/Word6.doc" "$specs/Report.rev2.doc"
cp "$corpus/doc/test.doc" "$specs/Report.doc"
cp "$corpus/doc/lists-margins.doc" "$specs/UPPER.DOC"
cp "$corpus/doc/o_kurs.doc" "$specs/o_kurs.doc"
printf '{\\rtf1 old text\\par}' >"$specs/Report.rtf"
head -c 3000 /dev/urandom >"$specs/broken.doc" # first by name: the rest must still convert
"$soffice" --headless --norestore -env:UserInstallation="file://$work/profile" \
    --convert-to docx --outdir "$specs" "$corpus/doc/simple-table.doc" >/dev/null 2>&1
[ -f "$specs/simple-table.docx" ] || fatal "no docx made"

# Runs the dialog with the folder typed in and the given lines after it; the log in $work/log.
dialog() {
    { printf 'SheetSpec\ndlg set 230 %s\ndlg key 230 Enter\n' "$specs"; cat; printf 'dlg click 2\n'; } \
        >"$work/run.scr"
    host_run_ok "$work/run.scr" "$work/log" "${with_module[@]}"
    cp "$work/log" "$work/log.$((runs += 1))"
}
runs=0
rtf_count() { find "$specs" -maxdepth 1 -name '*.rtf' | wc -l; }

# Cancel in the warning: its text was shown, nothing is converted.
dialog <<'SCR'
dlg click 234
dlg dump 232
dlg click 2
SCR
check "$work/log" '** Dialog "RTF OverWrites!"'
check "$work/log" '232 Static "This operation seldom needs to be performed.\nThis operation creates RTF files from all \".doc\"\nfiles found in this folder.\nThese RTF files should be compatible with\nAutoCads MTEXT features.\nThis process will OVERWRITE any rtf files in\nthis folder with the same doc name."'
check "$work/log" 'this folder with the same doc name.'
check "$work/log" '** Dialog "RTF OverWrites!" ended with 2'
[ "$(rtf_count)" = 1 ] || failed "Cancel converted documents"

dialog <<'SCR'
dlg click 234
dlg click 1
dlg dump 226
dlg dump 228
SCR
check "$work/log" '226 RichEdit20A "" text(14): "6 RTFs Created"'
check "$work/log" '"o_kurs.rtf" "Report.rev2.rtf" "Report.rtf" "simple-table.rtf" "simple.rtf" "UPPER.rtf"'
for name in simple Report.rev2 Report UPPER o_kurs simple-table; do
    head -c 5 "$specs/$name.rtf" 2>/dev/null | grep -q '^{\\rtf' ||
        failed "$name.rtf is not Rich Text"
done
grep -q 'old text' "$specs/Report.rtf" && failed "Report.rtf was not replaced"
[ ! -e "$specs/broken.rtf" ] || failed "broken.doc gave a file"
[ ! -e "$specs/Report.rev2.doc.rtf" ] && [ ! -e "$specs/Report.rtf.rtf" ] ||
    failed "a name kept its extension"
if pgrep -f "UserInstallation=file://$work" >/dev/null; then failed "LibreOffice left running"; fi

# LibreOffice reads the written files with the words of the documents they came from.
mkdir -p "$work/ours" "$work/reference"
for pair in simple:simple Report.rev2:Word6 Report:test UPPER:lists-margins o_kurs:o_kurs \
    simple-table:simple-table; do
    cp "$corpus/doc-text/${pair#*:}.txt" "$work/reference/${pair%%:*}.txt"
done
"$soffice" --headless --norestore -env:UserInstallation="file://$work/profile" \
    --convert-to "txt:Text (encoded):UTF8" --outdir "$work/ours" "$specs"/*.rtf >/dev/null 2>&1
rm -f "$work/ours/Report.rtf.txt"
"$python" "$here/doc_words.py" --plain "$work/reference" "$work/ours" || fail=1

# A folder without documents: Word is started and quit, and the count is 0.
mkdir -p "$work/none"
specs=$work/none
dialog <<'SCR'
dlg click 234
dlg click 1
dlg dump 226
SCR
check "$work/log" '226 RichEdit20A "" text(14): "0 RTFs Created"'

# Without Word: its two messages, and nothing written.
"$bin/WordServer" /UnregServer >/dev/null 2>&1
specs=$work/specs
rm -f "$specs"/*.rtf
dialog <<'SCR'
dlg click 234
dlg click 1
SCR
check "$work/log" 'Word was not installed on this workstation.'
check "$work/log" 'Unable to load Microsoft Word for convertion'
[ "$(rtf_count)" = 0 ] || failed "files written without Word"
exit $fail
