#!/usr/bin/python3
"""Has ezdxf read every MText content string in a folder (the *.mtext files the text corpus
test leaves in <build>/text-mtext/).

For each file, ezdxf's MTextParser must parse the content without an exception and must not
meet a code it does not know (it would show it as text: a word beginning with a backslash);
the words it reads must be those of the plain text beside the content (<name>.txt, written
by the same test), and fast_plain_mtext must give the same words.  The content is given to
ezdxf caret-encoded, as a DXF file holds it.  Exits 1 on any failure,
2 when the folder holds no content.

    python3 tests/host/text_ezdxf_check.py build/h5/text-mtext      (a python3 that has ezdxf)
"""
import pathlib
import sys

from ezdxf.tools.text import MTextParser, TokenType, fast_plain_mtext


def parsed_words(content):
    words = []
    current = ""
    for token in MTextParser(content):
        if token.type == TokenType.WORD:
            current += token.data
        elif token.type == TokenType.STACK:
            current += "".join(token.data)
        else:
            if current:
                words.append(current)
            current = ""
    if current:
        words.append(current)
    return words


def dxf_encoded(content):
    # ezdxf reads content as it stands in a DXF file, where a literal caret is written
    # "^ " (a caret before another character is a control character); the DXF writer does
    # that encoding, so it is done here too.
    return content.replace("^", "^ ")


def check(path):
    content = dxf_encoded(path.read_text(encoding="utf-8"))
    # ezdxf keeps some white space (U+3000) inside its words; split them as str.split does.
    words = " ".join(parsed_words(content)).split()
    problems = []
    escaped = content.count("\\\\")
    stray = [w for w in words if w.startswith("\\")]
    if len(stray) > escaped:
        problems.append(f"codes read as text: {stray[:5]}")
    plain_path = path.with_suffix(".txt")
    if plain_path.exists():
        expected = plain_path.read_text(encoding="utf-8").split()
        if words != expected:
            problems.append("words differ from the plain text: " + first_difference(words, expected))
        # fast_plain_mtext does not know the no-break space code \~ (it reads it as a code
        # that runs to the next ";"), so it is given the character itself.
        fast = fast_plain_mtext(content.replace("\\~", "\u00a0")).split()
        if fast != expected:
            problems.append("fast_plain_mtext differs: " + first_difference(fast, expected))
    return problems


def first_difference(ours, expected):
    i = 0
    while i < min(len(ours), len(expected)) and ours[i] == expected[i]:
        i += 1
    return f"word {i}: {ours[i:i + 5]} / {expected[i:i + 5]}"


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    files = sorted(pathlib.Path(argv[1]).glob("*.mtext"))
    if not files:
        print(f"no .mtext files in {argv[1]}", file=sys.stderr)
        return 2
    failed = 0
    for path in files:
        try:
            problems = check(path)
        except Exception as error:  # any exception of the parser is a failure
            problems = [f"{type(error).__name__}: {error}"]
        if problems:
            failed += 1
            print(f"FAIL {path.name}: " + "; ".join(problems))
    print(f"{len(files) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
