#!/usr/bin/env bash
# LibreOffice reads the Rich Text that our writer makes of every corpus document with the
# words it reads from the original: rtf-rewrite reads each file of corpus/rtf with our reader
# and writes it with our writer, one soffice run converts all the written files to text, and
# rtf_words.py compares their words with corpus/rtf-text (LibreOffice's text of the
# originals).  Where LibreOffice reads an original differently from our reader on purpose
# (tests/data/rtf/corpus_deviations.txt), the written file carries our reader's words, so
# exactly those listed differences are expected, and no other.
. "$(dirname "$0")/lib.sh"
need_soffice
need_corpus rtf rtf-text
need_python

"$bin/rtf-rewrite" "$work/written" "$corpus"/rtf/*.rtf || fatal "rtf-rewrite"
count=$(find "$work/written" -name '*.rtf' | wc -l)
[ "$count" -gt 0 ] || fatal "rtf-rewrite wrote no file"

# One soffice for all files, with a profile of its own: it neither reads a user's settings
# nor hands the work to an instance that is already running.
"$soffice" --headless --norestore -env:UserInstallation="file://$work/profile" \
    --convert-to "txt:Text (encoded):UTF8" --outdir "$work/text" "$work"/written/*.rtf \
    >"$work/soffice.log" 2>&1 || { tail -20 "$work/soffice.log"; fatal "soffice"; }

"$python" "$here/rtf_words.py" "$corpus/rtf-text" "$work/text" \
    "$here/../data/rtf/corpus_deviations.txt" || fail=1
echo "LibreOffice read $count written files"
exit $fail
