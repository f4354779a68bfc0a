#!/usr/bin/python3
"""Holds the plain names MTextToPlain makes against ezdxf's plain_mtext.

Reads the folder that DivisionPlainDump (tests/module/division_plain_dump_test.cpp) writes:
<name>.mtext, an MText content string, and <name>.plain, what MTextToPlain makes of it.
Samples are heading-* (the built-in headings), corpus-* (the host's content of each Rich
Text file of the shared corpus) and neutral-* (the same content without the codes the two
read differently on purpose).

Differences expected by design, normalised before comparing:
  - ezdxf ends a paragraph (\\P) with a line feed, MTextToPlain drops \\P: line feeds of
    ezdxf's text are removed;
  - ezdxf writes a tab as spaces: it is given a tab size of one, and our tabs count as a
    space.
Differences expected by design that are not normalised (a corpus content that holds one may
differ; the neutral content has none of them and must agree):
  - \\~ (ezdxf: a space; ours: dropped), \\\\ \\{ \\} (ezdxf: the character; ours: dropped,
    and the second backslash of \\\\ opens a code up to the next ";"),
  - \\A (ours ends it at its letter and keeps its argument as text), \\S (ezdxf: the stacked
    text; ours: dropped),
  - a backslash before a letter not in our table, as \\K \\N \\X (ours keeps the letter).

Every heading and every neutral content must agree; a corpus content must agree unless it
holds one of the codes above.  Prints the counts.  Exits 1 on an unexpected difference, 2
when the folder holds no sample.

    python3 tests/module/division_plain_ezdxf.py <folder>      (a python3 that has ezdxf)
"""
import pathlib
import re
import sys

from ezdxf.tools.text import plain_mtext

TABLE_LETTERS = set("OoLlpfAPWQTSHFC")


def read(path):
    return path.read_bytes().decode("utf-8", "surrogateescape")


def theirs(content):
    # ezdxf reads content as a DXF file holds it, where a literal caret is written "^ ".
    text = plain_mtext(content.replace("^", "^ "), tabsize=1)
    return text.replace("\n", "")


def ours(plain):
    return plain.replace("\t", " ")


def codes_read_differently(content):
    found = set()
    for match in re.finditer(r"\\(.)", content, re.S):
        code = match.group(1)
        if code in "~\\{}AS":
            found.add("\\" + code)
        elif code.isalpha() and code not in TABLE_LETTERS:
            found.add("\\" + code)
    return found


def first_difference(a, b):
    i = 0
    while i < min(len(a), len(b)) and a[i] == b[i]:
        i += 1
    return f"at {i}: {a[i:i + 30]!r} / {b[i:i + 30]!r}"


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    folder = pathlib.Path(argv[1])
    samples = sorted(folder.glob("*.mtext"))
    if not samples:
        print(f"no samples in {folder}", file=sys.stderr)
        return 2

    counts = {}  # kind -> [agree, differ as expected, unexpected]
    reasons = {}
    unexpected = []
    for path in samples:
        kind = path.name.split("-", 1)[0]
        content = read(path)
        a = ours(read(path.with_suffix(".plain")))
        b = theirs(content)
        row = counts.setdefault(kind, [0, 0, 0])
        if a == b:
            row[0] += 1
            continue
        codes = codes_read_differently(content) if kind == "corpus" else set()
        if codes:
            row[1] += 1
            for code in codes:
                reasons[code] = reasons.get(code, 0) + 1
            continue
        row[2] += 1
        unexpected.append(f"{path.stem}: ours / ezdxf differ {first_difference(a, b)}")

    for kind in ("heading", "corpus", "neutral"):
        if kind in counts:
            agree, expected, bad = counts[kind]
            total = agree + expected + bad
            print(f"{kind}: {agree} of {total} agree, {expected} differ by design, "
                  f"{bad} unexpected")
    if "corpus" not in counts:
        print("skipped: corpus samples (the Rich Text corpus was not found)")
    if reasons:
        print("codes in the contents that differ by design: " +
              ", ".join(f"{code} {n}" for code, n in sorted(reasons.items())))
    for line in unexpected:
        print("FAIL " + line)
    passed = sum(row[0] + row[1] for row in counts.values())
    print(f"{passed} passed, {len(unexpected)} failed")
    return 1 if unexpected else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
