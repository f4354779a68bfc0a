#!/usr/bin/env bash
# ezdxf, a peer reader of MText, reads the content we make of every corpus document without
# complaint and finds the same words: the corpus test writes the contents, ezdxf reads them.
. "$(dirname "$0")/lib.sh"
out=$work/text-mtext
RIVLET_MTEXT_OUT=$out "$bin/host_tests" --gtest_filter='Corpus/TextRtfCorpus.*' >"$work/corpus.log" 2>&1 \
    || { echo "FAIL: the corpus test"; tail -20 "$work/corpus.log"; exit 1; }
/usr/bin/python3 "$(dirname "$0")/../host/text_ezdxf_check.py" "$out" || fail=1
exit $fail
