#!/usr/bin/python3
"""Writes the MText fixtures of the parser tests: for every DXF drawing of the corpus that has
MTEXT entities, one <drawing>.txt here with each distinct MText content (DXF groups 3 and 1
joined, as ezdxf reads them) and the plain text ezdxf.tools.text.plain_mtext makes of it.

Run with a python3 that has ezdxf (Debian's python3 with python3-ezdxf):
    python3 tests/data/mtext/make_fixtures.py [CORPUS_DXF_FOLDER]

Record format (lengths in bytes of UTF-8, so that any character may appear):
    content <length>\\n<content>\\n
    plain <length>\\n<plain text>\\n
Lines starting with "#" before the first record are comments.
"""
import pathlib
import sys

import ezdxf
from ezdxf.tools.text import plain_mtext

HERE = pathlib.Path(__file__).resolve().parent
DEFAULT_CORPUS = pathlib.Path("/work/shared/corpus/dxf")


def block(tag: str, text: str) -> bytes:
    data = text.encode("utf-8")
    return f"{tag} {len(data)}\n".encode("ascii") + data + b"\n"


def main() -> int:
    corpus = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else DEFAULT_CORPUS
    for old in HERE.glob("*.txt"):
        old.unlink()
    for drawing in sorted(corpus.glob("*.dxf")):
        doc = ezdxf.readfile(drawing)
        seen = []
        for entity in doc.entitydb.values():
            if entity.dxftype() == "MTEXT" and entity.text not in seen:
                seen.append(entity.text)
        if not seen:
            continue
        out = bytearray()
        out += f"# {drawing.name}: MText contents and ezdxf {ezdxf.__version__}'s plain text\n".encode()
        for content in seen:
            out += block("content", content)
            out += block("plain", plain_mtext(content))
        (HERE / (drawing.stem + ".txt")).write_bytes(bytes(out))
        print(f"{drawing.name}: {len(seen)} contents")
    return 0


if __name__ == "__main__":
    sys.exit(main())
