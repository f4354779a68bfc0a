"""What a drawing with a sheet holds, as ezdxf reads it, for the round trip's tests.

    roundtrip_check.py consistent DRAWING.dxf     the records name exactly the placed texts
    roundtrip_check.py has DRAWING.dxf KEY TEXT   record KEY's source holds TEXT
    roundtrip_check.py empty DRAWING.dxf KEY      record KEY's source is empty
    roundtrip_check.py same-layout A.dxf B.dxf    the same texts at the same places, new handles
    roundtrip_check.py none-of A.dxf B.dxf        no text of A is in B (by handle)
"""
import sys

import ezdxf

from sheetspec_ezdxf import from_carets


def records(doc):
    specs = doc.rootdict.get("KSR_SPEC_DICTIONARY")
    entries = {}
    for key, obj in (specs.items() if specs is not None else []):
        tags = obj.xtags.get_subclass("KSRxDictDataWrapper")
        entries[key] = from_carets(next(tag.value for tag in tags if tag.code == 300))
    result = {}
    for key, value in entries.items():
        if "_" in key:
            continue
        if value.startswith("BROKEN "):
            value = "".join(entries[f"{key}_{i}"] for i in range(int(value.split()[1])))
        head, _, source = value.partition("|*")
        name, *handles = head.split("|")
        result[key] = (name, handles, source)
    return result


def texts(doc):
    return {t.dxf.handle: t for t in doc.modelspace().query("MTEXT")}


def main():
    what, path, *rest = sys.argv[1:]
    doc = ezdxf.readfile(path)
    recs = records(doc)
    if what == "consistent":
        named = sorted(h for _, handles, _ in recs.values() for h in handles)
        keys = sorted(recs, key=int)
        ok = named == sorted(texts(doc)) and keys == [str(i) for i in range(len(keys))]
        print(f"{len(keys)} records, {len(named)} texts: {'consistent' if ok else 'NOT consistent'}")
        return 0 if ok else 1
    if what == "has":
        key, text = rest
        return 0 if text in recs[key][2] else 1
    if what == "empty":
        return 0 if recs.get(rest[0], ("", [], "x"))[2] == "" else 1
    other = ezdxf.readfile(rest[0])
    a, b = texts(doc), texts(other)
    if what == "none-of":
        return 0 if not set(a) & set(b) else 1
    if what == "same-layout":
        def layout(t):
            return sorted((round(x.dxf.insert.x, 6), round(x.dxf.insert.y, 6), x.text)
                          for x in t.values())
        return 0 if layout(a) == layout(b) and not set(a) & set(b) else 1
    print(f"unknown check {what}")
    return 2


if __name__ == "__main__":
    sys.exit(main())
