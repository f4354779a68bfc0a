#!/usr/bin/python3
"""Writes drawings with ezdxf for cadhost to open and save again.

  dxf_sample.py assorted VERSION FILE   a bit of everything a drawing made elsewhere holds
  dxf_sample.py module FILE             the module's stored sources and placed texts, as
                                        the module files them
"""

import io
import re
import sys

import ezdxf

# Long enough to be split over many 3 groups, with text that the older versions must
# escape as \U+ codes.
LONG_TEXT = "\\P".join(
    f"{i:03d} Fläche über Straße — Größe ≤ 3 m², 漢字 テスト, δ = {i * 0.1:.1f}" for i in range(60)
)


def add_assorted_entities(doc):
    doc.layers.add("WALLS", color=1, linetype="DASHED")
    doc.layers.add("Téxt ünits", color=5, linetype="CENTER", lineweight=35)
    doc.appids.new("TESTAPP")
    msp = doc.modelspace()
    line = msp.add_line((0, 0), (10.123456789012, 5.5), dxfattribs={"layer": "WALLS"})
    line.set_xdata("TESTAPP", [(1000, "kept"), (1040, 1.0 / 3.0), (1070, 7),
                               (1010, (1.5, 2.5, 0.0)), (1005, line.dxf.handle)])
    msp.add_circle((3, 4), 2.5, dxfattribs={"color": 3})
    msp.add_arc((0, 0), 4, 30, 300, dxfattribs={"linetype": "DASHED"})
    msp.add_lwpolyline([(0, 0, 0, 0, 0.5), (5, 0, 0.1, 0.2, 0), (5, 5), (0, 5)], close=True,
                       format="xyseb")
    msp.add_polyline2d([(0, 0), (1, 2), (3, 1)], dxfattribs={"layer": "WALLS"})
    msp.add_polyline3d([(0, 0, 0), (1, 2, 3), (3, 1, -2)])
    msp.add_spline([(0, 0), (2, 3), (5, 1), (8, 4)])
    msp.add_text("Plain text ÄÖÜ", dxfattribs={"height": 0.5, "rotation": 15,
                                               "insert": (1, 1), "layer": "Téxt ünits"})
    mtext = msp.add_mtext(LONG_TEXT, dxfattribs={"char_height": 0.25, "width": 12,
                                                 "insert": (20, 20)})
    mtext.set_xdata("TESTAPP", [(1000, "on mtext")])
    hatch = msp.add_hatch(color=2)
    hatch.paths.add_polyline_path([(0, 0), (4, 0), (4, 4), (0, 4)], is_closed=True)
    edges = hatch.paths.add_edge_path()
    edges.add_line((10, 0), (14, 0))
    edges.add_arc((12, 0), 2, 0, 180)
    msp.add_linear_dim(base=(0, -3), p1=(0, 0), p2=(10, 0)).render()

    block = doc.blocks.new("DOOR")
    block.add_line((0, 0), (1, 0))
    block.add_arc((0, 0), 1, 0, 90)
    block.add_attdef("NUMBER", (0.2, 0.2), dxfattribs={"height": 0.2})
    block.add_attdef("MAKER", (0.2, 0.5), dxfattribs={"height": 0.2})
    for i in range(3):
        ref = msp.add_blockref("DOOR", (30 + 2 * i, 0), dxfattribs={"rotation": 10 * i})
        ref.add_auto_attribs({"NUMBER": f"D{i}", "MAKER": "Ñandú & Co"})

    group = doc.groups.new("OUTLINE", description="walls together")
    group.extend([line, mtext])


CUSTOM_CLASS = """  0
CLASS
  1
PEERCUSTOM
  2
PeerCustomObject
  3
PeerApp
 90
        0
 91
        1
280
     0
281
     0
"""


def add_custom_object(doc):
    """A record in the shape of an object of a class of another program's: an Xrecord that
    becomes, once written, an object of that class (ezdxf cannot make one itself)."""
    holder = doc.rootdict.add_new_dict("PEER_CUSTOM")
    record = holder.add_xrecord("ITEM")
    record.reset([(1, "custom payload ü"), (70, 5), (10, (1.0, 2.0, 3.0)), (40, 0.1)])
    return record.dxf.handle


def turn_into_custom(text, handle):
    # The class goes at the end of CLASSES, the object keeps its handle and tags.
    text = re.sub(r"(  2\nCLASSES\n(?:.*\n)*?)(  0\nENDSEC\n)", lambda m: m.group(1) +
                  CUSTOM_CLASS + m.group(2), text, count=1)
    pattern = re.compile(r"  0\nXRECORD\n  5\n" + handle + r"\n((?:.*\n)*?)100\nAcDbXrecord\n280\n\s*1\n")
    text, count = pattern.subn(lambda m: "  0\nPEERCUSTOM\n  5\n" + handle + "\n" + m.group(1) +
                              "100\nPeerCustomObject\n", text, count=1)
    if count != 1:
        raise SystemExit("cannot find the record to turn into a custom object")
    return text


def write(doc, path, transform=lambda text: text):
    stream = io.StringIO()
    doc.write(stream)
    text = transform(stream.getvalue())
    encoding = "utf-8" if doc.dxfversion >= "AC1021" else "cp1252"
    # ezdxf's error handler writes what the code page lacks as \U+ codes.
    with open(path, "w", encoding=encoding, errors="dxfreplace", newline="\r\n") as f:
        f.write(text)


def assorted(version, path):
    doc = ezdxf.new(version, setup=True)
    add_assorted_entities(doc)
    handle = add_custom_object(doc)
    write(doc, path, lambda text: turn_into_custom(text, handle))


MODULE_CLASS = """  0
CLASS
  1
ASDKMYCLASS
  2
KSRxDictDataWrapper
  3
SAMP2
 90
        0
 91
        0
280
     0
281
     0
"""


def module(path):
    """Placed items as the module leaves them: MText with the box in their extended data,
    one wrapper per key, one value long enough to be kept in chunks."""
    doc = ezdxf.new("AC1018", setup=True)
    doc.appids.new("KSRRivlet")
    msp = doc.modelspace()
    handles = []
    for x in (0, 5):
        mtext = msp.add_mtext("{\\fArial|b0|i0;Item \\P text}", dxfattribs={"insert": (x, 0),
                                                                          "width": 4})
        mtext.set_xdata("KSRRivlet", [(1070, 1), (1010, (0, 0, 0)), (1070, 2),
                                      (1010, (4, -3, 0))])
        handles.append(mtext.dxf.handle)
    long_rtf = "{\\rtf1 " + "x" * 40000 + "}"
    values = {"0": f"general.rtf|{handles[0]}|*{{\\rtf1 Grüße}}", "1": "BROKEN 2",
              "1_0": (f"painting.rtf|{handles[1]}|*" + long_rtf)[:32767]}
    values["1_1"] = (f"painting.rtf|{handles[1]}|*" + long_rtf)[32767:]
    # An empty value, one with blanks at both ends and one the code page cannot spell.
    values.update({"2": "", "3": "  DIVISION 3 - CONCRETE  ", "4": "漢字 ≤ ½|*"})
    specs = doc.rootdict.add_new_dict("KSR_SPEC_DICTIONARY")
    records = {key: specs.add_xrecord(key) for key in values}
    for record in records.values():
        record.reset([(1, "placeholder")])

    def as_wrappers(text):
        text = re.sub(r"(  2\nCLASSES\n(?:.*\n)*?)(  0\nENDSEC\n)",
                      lambda m: m.group(1) + MODULE_CLASS + m.group(2), text, count=1)
        for key, record in records.items():
            pattern = re.compile(r"  0\nXRECORD\n  5\n" + record.dxf.handle +
                                 r"\n((?:.*\n)*?)100\nAcDbXrecord\n280\n\s*1\n  1\nplaceholder\n")
            text, count = pattern.subn(
                lambda m: "  0\nASDKMYCLASS\n  5\n" + record.dxf.handle + "\n" + m.group(1) +
                "100\nKSRxDictDataWrapper\n300\n" + values[key] + "\n", text, count=1)
            if count != 1:
                raise SystemExit(f"cannot find the record of key {key}")
        return text

    write(doc, path, as_wrappers)


if __name__ == "__main__":
    if sys.argv[1:2] == ["assorted"] and len(sys.argv) == 4:
        assorted(sys.argv[2], sys.argv[3])
    elif sys.argv[1:2] == ["module"] and len(sys.argv) == 3:
        module(sys.argv[2])
    else:
        raise SystemExit(__doc__)
