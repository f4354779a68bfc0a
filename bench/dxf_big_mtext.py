#!/usr/bin/python3
"""Writes, with ezdxf, the big drawing of the DXF benchmarks once: TEXTS MText of about
650 bytes of specification text each, and one line for every ten texts, in ezdxf's default
version.  A file that is already there is left as it is, so that every run measures the same
bytes.

usage: dxf_big_mtext.py FILE.dxf [TEXTS]   (TEXTS: 60000 by default)
"""

import os
import random
import sys

import ezdxf

WORDS = ("the contractor shall supply and install all materials fixings sealant joints "
         "concrete surfaces approved drawings tolerances schedule finished work manner "
         "provide clean dry cast in place ASTM C920 section article").split()


def paragraph(rng, size):
    words = []
    length = 0
    while length < size:
        word = rng.choice(WORDS)
        words.append(word)
        length += len(word) + 1
    return " ".join(words)


def contents(rng, index):
    head = "{\\fArial|b1|i0|c0|p34;\\H1.2x;SECTION %05d}\\P" % index
    body = "\\P".join(
        "\\pi-0.5,l0.5;%d.\t%s." % (n + 1, paragraph(rng, 95)) for n in range(4))
    return head + body


def main(path, texts):
    if os.path.exists(path):
        return
    rng = random.Random(12)
    doc = ezdxf.new()
    msp = doc.modelspace()
    for i in range(texts):
        x, y = 110.0 * (i // 40), -100.0 * (i % 40)
        msp.add_mtext(contents(rng, i), dxfattribs={"insert": (x, y), "char_height": 0.15,
                                                    "width": 100.0})
        if i % 10 == 0:
            msp.add_line((x, y), (x + 100.0, y - 95.0))
    folder = os.path.dirname(os.path.abspath(path))
    os.makedirs(folder, exist_ok=True)
    partial = path + ".part"
    doc.saveas(partial)
    os.replace(partial, path)


if __name__ == "__main__":
    if len(sys.argv) not in (2, 3):
        raise SystemExit(__doc__)
    main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) == 3 else 60000)
