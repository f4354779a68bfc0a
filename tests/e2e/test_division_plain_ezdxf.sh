#!/usr/bin/env bash
# The division names MTextToPlain makes agree with ezdxf's plain_mtext wherever the two are
# meant to: the module tests write the built-in headings and the content of every Rich Text
# file of the shared corpus with our plain text, and the script beside those tests compares
# (tests/module/division_plain_ezdxf.py says which differences are there by design).
. "$(dirname "$0")/lib.sh"
need_ezdxf
# Without the corpus, the built-in headings are still compared.
[ -d "$corpus/rtf" ] || echo "skipped: the corpus samples (no $corpus/rtf); headings only"

out=$work/division-plain
RIVLET_CORPUS_DIR=$corpus RIVLET_DIVISION_PLAIN_OUT=$out \
    "$bin/module_tests" --gtest_filter='DivisionPlainDump.*' >"$work/dump.log" 2>&1 ||
    { tail -20 "$work/dump.log"; fatal "the dump test"; }
"$python" "$here/../module/division_plain_ezdxf.py" "$out" || fail=1
exit $fail
