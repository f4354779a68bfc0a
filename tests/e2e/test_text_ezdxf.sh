#!/usr/bin/env bash
# ezdxf, a peer reader of MText, reads the content we make of every corpus document without
# complaint and finds the same words: the corpus test writes the contents, ezdxf reads them.
. "$(dirname "$0")/lib.sh"
need_corpus rtf
need_ezdxf
out=$work/text-mtext
RIVLET_CORPUS_DIR=$corpus RIVLET_MTEXT_OUT=$out "$bin/host_tests" \
    --gtest_filter='Corpus/TextRtfCorpus.*' >"$work/corpus.log" 2>&1 ||
    { tail -20 "$work/corpus.log"; fatal "the corpus test"; }
"$python" "$here/../host/text_ezdxf_check.py" "$out" || fail=1
exit $fail
