"""How many of LibreOffice's words of each Word document the module's MText content holds.

    doc_words.py [--plain] REFERENCE OURS [MINIMUM]

REFERENCE holds LibreOffice's text of each document (NAME.txt), OURS the MText content that
RtfToAcad wrote for it (NAME.txt).  The content is reduced to its text (codes, groups and
escapes taken out), both sides are split into words on white space (line breaks and the
separation of table cells are no part of the comparison), a word that is one bullet glyph
counts as the same bullet whichever glyph it is (the reader draws the bullets of symbol fonts
as the plain bullet), and the words of the reference are matched in order against ours.  Prints one line per document: matched / reference words, the
share, and the first words that differ; exits 1 when a document is missing or its share is
below MINIMUM (default 0.95).  With --plain, OURS holds plain text (LibreOffice's text of the
Rich Text files written), taken as it is.
"""

import difflib
import re
import sys
from pathlib import Path

# Codes with an argument that runs to the next ";", and codes that stand alone.
ARGUMENT_CODES = "fFHhWwQqTtAaCcpX"
TOGGLES = "LlOoKkNn"


def mtext_text(content):
    out = []
    i = 0
    while i < len(content):
        c = content[i]
        if c in "{}":
            i += 1
            continue
        if c == "%" and content.startswith("%%", i) and i + 2 < len(content):
            out.append({"c": "\u2300", "d": "\u00b0", "p": "\u00b1"}.get(content[i + 2].lower(),
                                                                       content[i + 2]))
            i += 3
            continue
        if c != "\\" or i + 1 >= len(content):
            out.append(c)
            i += 1
            continue
        code = content[i + 1]
        if code == "P":
            out.append("\n")
            i += 2
        elif code == "~":
            out.append(" ")
            i += 2
        elif code in "\\{}":
            out.append(code)
            i += 2
        elif code == "U" and content.startswith("+", i + 2):
            digits = re.match(r"[0-9A-Fa-f]{4,6}", content[i + 3:])
            out.append(chr(int(digits.group(0), 16)) if digits else "")
            i += 3 + (len(digits.group(0)) if digits else 0)
        elif code == "S":
            end = content.find(";", i)
            stacked = content[i + 2: end if end >= 0 else len(content)]
            out.append(" " + re.sub(r"[\^/#]", " ", stacked) + " ")
            i = end + 1 if end >= 0 else len(content)
        elif code in ARGUMENT_CODES:
            end = content.find(";", i)
            i = end + 1 if end >= 0 else len(content)
        elif code in TOGGLES:
            i += 2
        else:
            out.append(code)
            i += 2
    return "".join(out)


BULLETS = set("\u2022\u25cf\u25cb\u25e6\u25aa\u25a0\u00b7\uf0b7\uf0a7")


def words(text):
    if text.startswith("\ufeff"):
        text = text[1:]
    return ["\u2022" if len(w) == 1 and w in BULLETS else w for w in text.split()]


def main():
    args = sys.argv[1:]
    plain = bool(args) and args[0] == "--plain"
    if plain:
        args = args[1:]
    reference, ours = Path(args[0]), Path(args[1])
    minimum = float(args[2]) if len(args) > 2 else 0.95
    failed = 0
    for ref_file in sorted(reference.glob("*.txt")):
        their = words(ref_file.read_text(encoding="utf-8", errors="replace"))
        mine_file = ours / ref_file.name
        if not mine_file.exists():
            print("%-24s no MText content written" % ref_file.stem)
            failed += 1
            continue
        text = mine_file.read_text(encoding="utf-8", errors="replace")
        mine = words(text if plain else mtext_text(text))
        matcher = difflib.SequenceMatcher(None, their, mine, autojunk=False)
        matched = sum(block.size for block in matcher.get_matching_blocks())
        share = matched / len(their) if their else 1.0
        first = next(((their[a1:a2][:6], mine[b1:b2][:6])
                      for tag, a1, a2, b1, b2 in matcher.get_opcodes() if tag != "equal"), None)
        print("%-24s %5d / %5d words  %6.1f%%%s" % (
            ref_file.stem, matched, len(their), 100 * share,
            "" if first is None else "  first difference: %s => %s" % first))
        if share < minimum:
            failed += 1
    print("%d documents, %d below %.0f%%" % (len(list(reference.glob('*.txt'))), failed,
                                              100 * minimum))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
