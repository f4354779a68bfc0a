#!/usr/bin/env bash
# Every real Word document of the corpus through RtfToAcad: Word (LibreOffice behind the Word
# server) reads it, the host translates its Rich Text, and the MText content written to
# C:\KSR\Rivlet\output.TXT holds LibreOffice's own words of the document (doc_words.py: at
# least 95% of the words of every document, in order).  No document may end cadhost badly.
. "$(dirname "$0")/lib.sh"
need_corpus doc doc-text
need_python
install_module
"$bin/WordServer" /RegServer >/dev/null 2>&1 ||
    skip "the Word server cannot register (LibreOffice or python3-uno missing)"

out=$CADHOST_PREFIX/drive_c/KSR/Rivlet/output.TXT
mkdir -p "$work/ours"
for doc in "$corpus"/doc/*.doc; do
    name=$(basename "$doc" .doc)
    rm -f "$out"
    printf 'RtfToAcad\nfiledlg %s\n' "$doc" >"$work/run.scr"
    host_run_ok "$work/run.scr" "$work/$name.log" "${with_module[@]}"
    cp "$out" "$work/ours/$name.txt" 2>/dev/null || failed "no output for $name"
done
"$python" "$here/doc_words.py" "$corpus/doc-text" "$work/ours" || fail=1
exit $fail
