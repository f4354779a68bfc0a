#!/usr/bin/env bash
# The division names MTextToPlain makes agree with ezdxf's plain_mtext wherever the two are
# meant to: the module tests write the built-in headings and the content of every Rich Text
# file of the shared corpus with our plain text, and the script beside those tests compares
# (tests/module/division_plain_ezdxf.py says which differences are there by design).
. "$(dirname "$0")/lib.sh"
here=$(cd "$(dirname "$0")" && pwd)
corpus=${RIVLET_CORPUS_DIR:-$here/../../../shared/corpus}

# Debian's python3-ezdxf belongs to the system python, which need not be first on PATH.
python=
for candidate in /usr/bin/python3 "$(command -v python3 || true)"; do
    if [ -n "$candidate" ] && "$candidate" -c 'import ezdxf' 2>/dev/null; then
        python=$candidate
        break
    fi
done
if [ -z "$python" ]; then
    echo "skipped: no python3 with ezdxf (Debian package python3-ezdxf)"
    exit 0
fi
[ -d "$corpus/rtf" ] || echo "skipped: the corpus samples (no $corpus/rtf); headings only"

out=$work/division-plain
RIVLET_CORPUS=$corpus RIVLET_DIVISION_PLAIN_OUT=$out \
    "$bin/module_tests" --gtest_filter='DivisionPlainDump.*' >"$work/dump.log" 2>&1 \
    || { echo "FAIL: the dump test"; tail -20 "$work/dump.log"; exit 1; }
"$python" "$here/../module/division_plain_ezdxf.py" "$out" || fail=1
exit $fail
