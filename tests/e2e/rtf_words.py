"""Compares the words of two folders of text files, NAME.txt against NAME.txt.

    rtf_words.py REFERENCE OURS DEVIATIONS

REFERENCE holds what LibreOffice reads from the corpus's Rich Text files, OURS what it reads
from the files our writer makes of them.  Words are split on white space (line breaks and the
separation of table cells are no part of the comparison), and a word that is one bullet
glyph counts as the same bullet whichever glyph it is.

Our writer writes the document as our reader reads it, so where LibreOffice's reading of an
original differs from ours on purpose (DEVIATIONS, tests/data/rtf/corpus_deviations.txt:
"[name] reason" then "LibreOffice's words => our words" lines, in document order), our
words are what LibreOffice must find in the written file: the places where the two readings
differ must be exactly those listed, as in the corpus test of the reader, and no other.

Prints the differences of each file that fails and a closing count; exits 1 when any file
differs otherwise or has no counterpart.
"""

import sys
from pathlib import Path

BULLETS = set("\u2022\u25cf\u25cb\u25e6\u25aa\u25a0\u00b7\uf0b7\uf0a7")


def words(text):
    if text.startswith("\ufeff"):
        text = text[1:]
    # str.split() splits on the same white space as the corpus test: the ASCII controls
    # \t..\r and \x1c..\x1f, NEL, no-break and the other Unicode spaces.
    return ["\u2022" if len(w) == 1 and w in BULLETS else w for w in text.split()]


def load_deviations(path):
    deviations = {}
    current = None
    for line in Path(path).read_text(encoding="utf-8").splitlines():
        if not line or line.startswith("#"):
            continue
        if line.startswith("["):
            current = line[1 : line.index("]")]
            deviations[current] = []
            continue
        if " => " in line and current:
            theirs, ours = line.split(" => ", 1)
            deviations[current].append((words(theirs), words(ours)))
    return deviations


def differences(reference, ours, window=64):
    """The places where two word lists differ, as (reference words, our words) pairs: after a
    mismatch both sides are searched, nearest first, for the point where they agree again,
    as the corpus test does (a difference longer than the window runs to the end)."""
    hunks = []
    a = b = 0

    def agree(i, j):
        if i >= len(reference) or j >= len(ours):
            return i >= len(reference) and j >= len(ours)
        return reference[i] == ours[j]

    while a < len(reference) or b < len(ours):
        if a < len(reference) and b < len(ours) and reference[a] == ours[b]:
            a, b = a + 1, b + 1
            continue
        skip = (len(reference) - a, len(ours) - b)
        found = False
        for total in range(1, 2 * window + 1):
            for i in range(min(total, window) + 1):
                j = total - i
                if j > window or a + i > len(reference) or b + j > len(ours):
                    continue
                if agree(a + i, b + j):
                    skip, found = (i, j), True
                    break
            if found:
                break
        hunks.append((reference[a : a + skip[0]], ours[b : b + skip[1]]))
        a, b = a + skip[0], b + skip[1]
    return hunks


def show(hunks):
    return "; ".join("%s => %s" % (" ".join(theirs), " ".join(ours)) for theirs, ours in hunks)


def main():
    reference_dir, ours_dir, deviations_path = map(Path, sys.argv[1:4])
    deviations = load_deviations(deviations_path)
    names = sorted(p.stem for p in reference_dir.glob("*.txt"))
    failed = 0
    for name in names:
        ours_path = ours_dir / (name + ".txt")
        if not ours_path.exists():
            print("FAIL: %s: LibreOffice did not read the written file" % name)
            failed += 1
            continue
        reference = words((reference_dir / (name + ".txt")).read_text(encoding="utf-8"))
        ours = words(ours_path.read_text(encoding="utf-8"))
        hunks = differences(reference, ours)
        expected = deviations.get(name, [])
        if hunks != expected:
            print("FAIL: %s: LibreOffice's words => ours: %s" % (name, show(hunks) or "none"))
            print("      expected: %s" % (show(expected) or "none"))
            failed += 1
    print("%d passed, %d failed" % (len(names) - failed, failed))
    return 1 if failed or not names else 0


if __name__ == "__main__":
    sys.exit(main())
