"""Checks a sheet that SheetSpec laid out, as ezdxf reads the saved drawing.

    sheetspec_ezdxf.py DRAWING.dxf X1,Y1 X2,Y2 ENTRY...

The corners are the box as picked; the entries are the sheet list in order.  The sizes are
the defaults: text height 0.25, division height 0.15, item gap 0.25, column gap 0.5.
"""
import sys

import ezdxf

THEIGHT, VHEIGHT, COLUMN_GAP = 0.25, 0.15, 0.5
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def point(text):
    x, y = text.split(",")
    return float(x), float(y)


def from_carets(text):
    """A stored value as the module wrote it: control characters and carets in caret notation."""
    out, i = [], 0
    while i < len(text):
        nxt = text[i + 1] if i + 1 < len(text) else ""
        if text[i] == "^" and nxt == " ":
            out.append("^")
            i += 2
        elif text[i] == "^" and nxt and 0x40 <= ord(nxt) <= 0x5F:
            out.append(chr(ord(nxt) - 0x40))
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


def stored_value(entries, key):
    """The record's value, its chunks joined."""
    value = entries[key]
    if value.startswith("BROKEN "):
        count = int(value.split()[1])
        return "".join(entries[f"{key}_{i}"] for i in range(count))
    return value


def main():
    path, first, second, *names = sys.argv[1:]
    (ax, ay), (bx, by) = point(first), point(second)
    width = abs(bx - ax)
    doc = ezdxf.readfile(path)
    auditor = doc.audit()
    check(not auditor.has_errors, f"audit errors: {[str(e.message) for e in auditor.errors]}")

    texts = {t.dxf.handle: t for t in doc.modelspace().query("MTEXT")}
    specs = doc.rootdict.get("KSR_SPEC_DICTIONARY")
    check(specs is not None, "no KSR_SPEC_DICTIONARY")
    entries = {}
    for key, obj in specs.items():
        check(obj.dxftype() == "ASDKMYCLASS", f"entry {key} is a {obj.dxftype()}")
        tags = obj.xtags.get_subclass("KSRxDictDataWrapper")
        entries[key] = from_carets(next(tag.value for tag in tags if tag.code == 300))
    records = [k for k in entries if "_" not in k]
    check(sorted(records, key=int) == [str(i) for i in range(len(names))],
          f"records {sorted(records)} for {len(names)} entries")

    placed = []
    for i, name in enumerate(names):
        value = stored_value(entries, str(i))
        head, _, source = value.partition("|*")
        stored_name, *handles = head.split("|")
        check(stored_name == name, f"record {i} names {stored_name!r}, not {name!r}")
        check(len(handles) == len(set(handles)) > 0, f"record {i} handles {handles}")
        division = name.startswith("DIVISION ")
        for handle in handles:
            text = texts.get(handle)
            check(text is not None, f"record {i} names {handle}, which is no MTEXT")
            if text is None:
                continue
            placed.append(handle)
            height = VHEIGHT if division else THEIGHT
            check(abs(text.dxf.char_height - height) < 1e-9,
                  f"{name}: height {text.dxf.char_height}, not {height}")
            check(abs(text.dxf.width - width) < 1e-9, f"{handle}: width {text.dxf.width}")
            x = text.dxf.insert.x
            column = round((x - ax) / (width + COLUMN_GAP))
            check(abs(ax + column * (width + COLUMN_GAP) - x) < 1e-9, f"{handle} at x {x}")
            xdata = text.get_xdata("KSRRivlet")
            corners = [tag.value for tag in xdata if tag.code == 1010]
            check([tuple(c)[:2] for c in corners] == [(ax, ay), (bx, by)],
                  f"{handle}: box {corners}")
        if division:
            title = name
            check(title in source and texts[handles[0]].text.count(title) == 1,
                  f"{name} placed with the heading {texts[handles[0]].text!r}")
    check(sorted(placed) == sorted(texts), "the records do not name exactly the placed texts")

    # The texts follow the list: down each column, then to the next column at the top.
    order = sorted(placed, key=lambda h: (round(texts[h].dxf.insert.x, 6), -texts[h].dxf.insert.y))
    check(order == placed, "the texts are not in the order of the list")
    tops = [texts[h] for h in placed if abs(texts[h].dxf.insert.y - ay) < 1e-9]
    columns = sorted({round(t.dxf.insert.x, 6) for t in texts.values()})
    check(len(tops) >= len(columns), "a column does not start at the top of the box")

    if failures:
        print("FAIL:\n  " + "\n  ".join(failures))
        return 1
    print(f"sheet of {len(names)} items in {len(texts)} texts and {len(columns)} columns: ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
