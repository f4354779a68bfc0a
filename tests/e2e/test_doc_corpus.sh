#!/usr/bin/env bash
# Every real Word document of the corpus through RtfToAcad: Word (LibreOffice behind the Word
# server) reads it, the host translates its Rich Text, and the MText content written to
# C:\KSR\Rivlet\output.TXT holds LibreOffice's own words of the document (doc_words.py: at
# least 95% of the words of every document, in order).  No document may end cadhost badly.
. "$(dirname "$0")/lib.sh"
here=$(cd "$(dirname "$0")" && pwd)
corpus=${RIVLET_CORPUS_DIR:-$here/../../../shared/corpus}
python=$(command -v /usr/bin/python3 || command -v python3)

[ -d "$corpus/doc" ] && [ -d "$corpus/doc-text" ] || { echo "skipped: no Word corpus at $corpus"; exit 0; }
install_module
"$bin/WordServer" /RegServer >/dev/null 2>&1 ||
    { echo "skipped: the Word server cannot register (LibreOffice or python3-uno missing)"; exit 0; }

out=$CADHOST_PREFIX/drive_c/KSR/Rivlet/output.TXT
mkdir -p "$work/ours"
for doc in "$corpus"/doc/*.doc; do
    name=$(basename "$doc" .doc)
    rm -f "$out"
    printf 'RtfToAcad\nfiledlg %s\n' "$doc" >"$work/run.scr"
    "$bin/cadhost" --load "$bin/KSRRivlet.arx" -b "$work/run.scr" >"$work/$name.log" 2>&1 </dev/null ||
        { echo "FAIL: cadhost on $name:"; tail -5 "$work/$name.log"; fail=1; }
    cp "$out" "$work/ours/$name.txt" 2>/dev/null || { echo "FAIL: no output for $name"; fail=1; }
done
"$python" "$here/doc_words.py" "$corpus/doc-text" "$work/ours" || fail=1
exit $fail
