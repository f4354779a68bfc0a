#!/usr/bin/python3
"""Holds cadhost's DXF files to another program's reading of them.

  dxf_compare.py [--and-audit] EXPECTED.dxf ACTUAL.dxf
                                           what ezdxf reads from both must be the same
  dxf_compare.py --audit FILE [--reference ORIGINAL]
                                           ezdxf reads FILE and its audit finds nothing (that
                                           it does not find in ORIGINAL too)
  dxf_compare.py --peer FILE               the module's dictionary, objects, class and MText
                                           tags are where other programs look for them

Every difference or finding is printed as one line; the exit status is 1 when there is any.

The comparison goes through ezdxf's own model: each object is written back out by ezdxf into
tags, so attributes come in ezdxf's fixed order whatever order a writer chose within a
subclass, and only what a reader can see is compared.  Floats agree within 1e-9 relative;
objects are matched by handle.  Let pass, as the freedom of a writer: a group left out that
holds its default value, the order of dictionary entries and of the extended data of
different applications, \\U+ codes for characters, where MText content is cut into groups,
table entries and objects added (never entities), class instance counts, and the header
variables a program updates when it saves ($HANDSEED may only grow).
"""

import argparse
import difflib
import logging
import math
import re
import sys
from collections import Counter

import ezdxf
from ezdxf.entities import DXFGraphic
from ezdxf.lldxf.tagwriter import TagCollector

REL_TOL = 1e-9
ABS_TOL = 1e-12

# Header variables that a program updates whenever it saves a drawing.
UPDATED_ON_SAVE = {
    "$HANDSEED",  # checked on its own: it may only grow
    "$TDUPDATE",
    "$TDUUPDATE",
    "$TDINDWG",
    "$TDUSRTIMER",
    "$VERSIONGUID",
    "$ACADMAINTVER",
    "$LASTSAVEDBY",
}

SPEC_DICTIONARY = "KSR_SPEC_DICTIONARY"
WRAPPER_DXF_NAME = "ASDKMYCLASS"
WRAPPER_CLASS = "KSRxDictDataWrapper"
WRAPPER_APP = "SAMP2"
BOX_APP = "KSRRivlet"


class LoadWarnings(logging.Handler):
    """Collects what ezdxf logs while it reads: it repairs some damage silently otherwise."""

    def __init__(self):
        super().__init__(logging.WARNING)
        self.messages = []

    def emit(self, record):
        self.messages.append(record.getMessage())


def read_drawing(path):
    """Returns (drawing, load warnings); raises what ezdxf raises for unreadable files."""
    catcher = LoadWarnings()
    logger = logging.getLogger("ezdxf")
    logger.addHandler(catcher)
    logger.propagate = False
    try:
        doc = ezdxf.readfile(path)
    finally:
        logger.removeHandler(catcher)
    return doc, catcher.messages


def file_contents(path):
    """Counts the handles the file itself states, and names its header variables.  ezdxf makes
    up what a file lacks when it loads (objects with fresh handles, a fingerprint); that is not
    the file's and is not compared."""
    with open(path, "rb") as f:
        # Only line feeds end lines: latin-1 would make other line breaks of UTF-8 bytes.
        lines = [line.rstrip("\r") for line in f.read().decode("latin-1").split("\n")]
    handles, variables = Counter(), set()
    expect_handle = False
    for i in range(0, len(lines) - 1, 2):
        code, value = lines[i].strip(), lines[i + 1].strip()
        if code == "0":
            expect_handle = True
        elif code == "9":
            variables.add(value)
            expect_handle = False  # $HANDSEED's group 5 is not an object's handle
        elif expect_handle and code in ("5", "105"):
            handles[value.upper()] += 1
            expect_handle = False
    return handles, variables


def short(value, limit=70):
    text = repr(value)
    return text if len(text) <= limit else text[: limit - 3] + "..."


def same_number(a, b):
    return math.isclose(a, b, rel_tol=REL_TOL, abs_tol=ABS_TOL)


UNICODE_ESCAPE = re.compile(r"\\U\+([0-9A-Fa-f]{4})")


def plain_text(text):
    """Up to AC1018 a character outside the code page is written as \\U+XXXX, in either
    letter case, or as the character itself where the code page has it: all the same text."""
    return UNICODE_ESCAPE.sub(lambda m: chr(int(m.group(1), 16)), text)


def same_value(a, b):
    if isinstance(a, str) and isinstance(b, str):
        return a == b or plain_text(a) == plain_text(b)
    if isinstance(a, float) or isinstance(b, float):
        try:
            return same_number(float(a), float(b))
        except (TypeError, ValueError):
            return False
    if isinstance(a, (tuple, list)) or hasattr(a, "__iter__") and not isinstance(a, str):
        try:
            la, lb = list(a), list(b)
        except TypeError:
            return a == b
        return len(la) == len(lb) and all(same_value(x, y) for x, y in zip(la, lb))
    return a == b


def describe_change(a, b):
    """The two values, and for long texts where they part."""
    if isinstance(a, str) and isinstance(b, str) and (len(a) > 60 or len(b) > 60):
        at = next((i for i, (x, y) in enumerate(zip(a, b)) if x != y), min(len(a), len(b)))
        return (
            f"texts of {len(a)} and {len(b)} characters differ from character {at}: "
            f"{short(a[at:at + 30])} != {short(b[at:at + 30])}"
        )
    return f"{short(a)} != {short(b)}"


def value_key(value):
    """A hashable form for matching tags; floats to 9 digits (close pairs are checked again
    with the tolerance)."""
    if isinstance(value, float):
        return f"{value:.9g}"
    if isinstance(value, str):
        return plain_text(value)
    if hasattr(value, "__iter__"):
        return tuple(value_key(v) for v in value)
    return value


# --- one object as tags -----------------------------------------------------------------------


class WholeTagCollector(TagCollector):
    """Keeps a point as one tag so that it is compared, and taken for its default, whole."""

    def write_tag(self, tag):
        self.tags.append(tag)


def raw_tags(entity, dxfversion):
    """The tags ezdxf writes for the object alone (a POLYLINE or INSERT also writes its
    vertices or attributes, which are compared as objects of their own)."""
    collector = WholeTagCollector(dxfversion=dxfversion)
    try:
        entity.export_dxf(collector)
    except Exception as error:  # ezdxf refuses to write some invalid objects; keep what it read
        attribs = sorted(entity.dxfattribs().items())
        return [(0, entity.dxftype())] + [(f"attribute {k}", v) for k, v in attribs] + [
            ("export", f"ezdxf cannot write it: {error}")
        ]
    tags = [(tag.code, tag.value) for tag in collector.tags]
    for i in range(1, len(tags)):
        if tags[i][0] == 0:
            return tags[:i]
    return tags


def sorted_dictionary_entries(tags):
    """A dictionary's entries have no order of their own: writers keep them sorted or in the
    order they were added."""
    out, entries, i = [], [], 0
    in_dictionary = False
    while i < len(tags):
        code, value = tags[i]
        if code == 100:
            in_dictionary = value == "AcDbDictionary"
        if in_dictionary and code == 3 and i + 1 < len(tags) and tags[i + 1][0] in (350, 360):
            entries.append((tags[i], tags[i + 1]))
            i += 2
            continue
        out.append(tags[i])
        i += 1
    # Entries go back where the first one was, sorted by key.
    at = next((j for j, t in enumerate(out) if t == (100, "AcDbDictionary")), len(out))
    while at + 1 < len(out) and out[at + 1][0] in (280, 281):
        at += 1
    flat = [tag for pair in sorted(entries, key=lambda p: p[0][1]) for tag in pair]
    return out[: at + 1] + flat + out[at + 1:]


def sorted_xdata(tags):
    """Each application's extended data is one block; blocks of different applications do not
    depend on each other's order."""
    start = next((i for i, t in enumerate(tags) if t[0] == 1001), None)
    if start is None:
        return tags
    blocks, current = [], None
    for tag in tags[start:]:
        if tag[0] == 1001:
            current = [tag]
            blocks.append(current)
        else:
            current.append(tag)
    blocks.sort(key=lambda b: b[0][1])
    return tags[:start] + [tag for block in blocks for tag in block]


def joined_text(tags):
    """MText content comes in pieces of 250 characters (3 groups, then a 1 group); where a
    writer cuts them depends on how it spells the characters, so the content is compared
    whole."""
    out, pieces, subclass = [], [], None
    for code, value in tags:
        if code == 100:
            subclass = value
        if subclass == "AcDbMText" and code in (3, 1):
            pieces.append(value)
            if code == 1:
                out.append((1, "".join(pieces)))
                pieces = []
            continue
        out.append((code, value))
    return out + [(3, piece) for piece in pieces]


def is_reference(code):
    return isinstance(code, int) and (320 <= code <= 369 or 390 <= code <= 399 or 480 <= code <= 481)


def object_tags(entity, dxfversion, stated):
    tags = raw_tags(entity, dxfversion)
    # What a reference points to when ezdxf made the target up is not the file's.
    tags = [(c, "(made up by ezdxf)") if is_reference(c) and isinstance(v, str)
            and v.upper() not in stated and v != "0" else (c, v) for c, v in tags]
    if entity.dxftype() == "MTEXT":
        tags = joined_text(tags)
    if entity.dxftype() in ("DICTIONARY", "ACDBDICTIONARYWDFLT"):
        tags = sorted_dictionary_entries(tags)
    return sorted_xdata(tags)


def subclass_at(tags, index):
    """Names the part of the object a tag belongs to, for the reader of a difference."""
    name = None
    for code, value in tags[: index + 1]:
        if code == 100:
            name = value
        elif code == 1001:
            return f"xdata {value}"
    return name or "common"


def defaults_of(entity):
    """group code -> the values ezdxf assumes when the group is absent: a writer may leave out
    a group that holds its default, or write it out."""
    out = {}
    attributes = getattr(entity, "DXFATTRIBS", None)
    for attrib in getattr(attributes, "_attribs", {}).values():
        if attrib.default is not None:
            out.setdefault(attrib.code, []).append(attrib.default)
    return out


def is_default(defaults, code, value):
    return any(same_value(value, d) for d in defaults.get(code, ()))


def compare_tags(label, a_tags, b_tags, defaults=None):
    """Yields one line per tag lost, added or changed."""
    defaults = defaults or {}
    if len(a_tags) == len(b_tags) and all(
        ca == cb and same_value(va, vb) for (ca, va), (cb, vb) in zip(a_tags, b_tags)
    ):
        return
    a_keys = [(c, value_key(v)) for c, v in a_tags]
    b_keys = [(c, value_key(v)) for c, v in b_tags]
    matcher = difflib.SequenceMatcher(None, a_keys, b_keys, autojunk=False)
    for op, a1, a2, b1, b2 in matcher.get_opcodes():
        if op == "equal":
            continue
        if op == "replace" and a2 - a1 == b2 - b1:
            for i, j in zip(range(a1, a2), range(b1, b2)):
                (ca, va), (cb, vb) = a_tags[i], b_tags[j]
                if ca == cb and same_value(va, vb):
                    continue
                where = subclass_at(a_tags, i)
                if ca == cb:
                    yield f"{label}: {where} group {ca}: {describe_change(va, vb)}"
                else:
                    yield f"{label}: {where} group {ca} {short(va)} became group {cb} {short(vb)}"
            continue
        for i in range(a1, a2):
            code, value = a_tags[i]
            if is_default(defaults, code, value):
                continue
            yield f"{label}: {subclass_at(a_tags, i)} group {code} lost: {short(value)}"
        for j in range(b1, b2):
            code, value = b_tags[j]
            where = subclass_at(b_tags, j)
            if is_default(defaults, code, value) or where == "AcDbDictionary" and code in (3, 350, 360):
                continue  # a writer may add the dictionaries a drawing needs
            yield f"{label}: {where} group {code} added: {short(value)}"


# --- where objects live -----------------------------------------------------------------------


def block_label(block_name):
    lowered = block_name.lower()
    if lowered == "*model_space":
        return "model space"
    if lowered.startswith("*paper_space"):
        return f"paper space {block_name}"
    return f"block {block_name}"


def locations(doc):
    """handle -> where the object is, for messages; and each block's entities in order."""
    where, contents = {}, {}
    for block in doc.blocks:
        label = block_label(block.name)
        handles = []
        for entity in block:
            handles.append(entity.dxf.handle)
            where[entity.dxf.handle] = f"in {label}"
            children = []
            if entity.dxftype() == "POLYLINE":
                children = list(entity.vertices)
            elif entity.dxftype() == "INSERT":
                children = list(entity.attribs)
            for sub in children:
                where[sub.dxf.handle] = f"of {entity.dxftype()} {entity.dxf.handle} in {label}"
        contents[block.name.lower()] = (block.name, handles)
        for marker in (block.block, block.endblk):
            if marker is not None:
                where[marker.dxf.handle] = f"of {label}"
    for table in tables_of(doc):
        head = getattr(table, "head", None)
        if head is not None:
            where[head.dxf.handle] = f"{table_name(table)} table"
        for entry in table:
            where[entry.dxf.handle] = f"{table_name(table)} table entry {entry.dxf.name!r}"
    for obj in doc.objects:
        if obj.dxf.handle not in where:
            where[obj.dxf.handle] = "in OBJECTS"
    return where, contents


def tables_of(doc):
    t = doc.tables
    return [t.layers, t.linetypes, t.styles, t.dimstyles, t.ucs, t.appids, t.views,
            t.viewports, t.block_records]


def table_name(table):
    head = getattr(table, "head", None)
    if head is not None and head.dxf.hasattr("name"):
        return head.dxf.name
    return type(table).__name__


# --- the sections -----------------------------------------------------------------------------


def compare_header(a, b, stated):
    for name in a.header.varnames():
        if name in UPDATED_ON_SAVE or name not in stated:
            continue
        if name not in b.header:
            yield f"header {name} lost (was {short(a.header[name])})"
        elif not same_value(a.header[name], b.header[name]):
            yield f"header {name}: {describe_change(a.header[name], b.header[name])}"
    seed_a = int(a.header.get("$HANDSEED", "0"), 16)
    seed_b = int(b.header.get("$HANDSEED", "0"), 16)
    if seed_b < seed_a:
        yield f"header $HANDSEED went down from {seed_a:X} to {seed_b:X}"
    a_custom, b_custom = list(a.header.custom_vars), list(b.header.custom_vars)
    if a_custom != b_custom:
        yield f"header custom properties {short(a_custom)} != {short(b_custom)}"


def compare_classes(a, b):
    def classes(doc):
        out = {}
        for cls in doc.classes:
            attribs = cls.dxfattribs()
            attribs.pop("instance_count", None)  # a count that the writer recomputes
            out[(cls.dxf.name, cls.dxf.cpp_class_name)] = attribs
        return out

    ca, cb = classes(a), classes(b)
    for key, attribs in ca.items():
        if key not in cb:
            yield f"CLASSES: class {key[0]} ({key[1]}) lost"
        elif attribs != cb[key]:
            for name in sorted(set(attribs) | set(cb[key])):
                if attribs.get(name) != cb[key].get(name):
                    yield (f"CLASSES: class {key[0]} {name}: "
                           f"{short(attribs.get(name))} != {short(cb[key].get(name))}")


def compare_tables(a, b):
    for ta, tb in zip(tables_of(a), tables_of(b)):
        names_a = {e.dxf.name.lower(): e.dxf.name for e in ta}
        names_b = {e.dxf.name.lower(): e.dxf.name for e in tb}
        for key in sorted(set(names_a) - set(names_b)):
            yield f"{table_name(ta)} table: entry {names_a[key]!r} lost"
    

def compare_layouts(a, b, contents_a, contents_b):
    if sorted(a.layout_names()) != sorted(b.layout_names()):
        yield f"layouts {sorted(a.layout_names())} != {sorted(b.layout_names())}"
    for key, (name, handles) in contents_a.items():
        if key not in contents_b:
            yield f"{block_label(name)} lost"
            continue
        other = contents_b[key][1]
        if handles != other and sorted(handles) == sorted(other):
            first = next(i for i, (x, y) in enumerate(zip(handles, other)) if x != y)
            yield (f"{block_label(name)}: entities in another order from position {first}: "
                   f"{handles[first]} then {other[first]}")


def is_graphic(entity):
    return isinstance(entity, DXFGraphic) or getattr(entity, "is_graphic_entity", False) is True


def compare_objects(a, b, handles_a, handles_b, where_a, where_b):
    db_a, db_b = a.entitydb, b.entitydb
    # The duplicates of a file that repeats handles get fresh handles from ezdxf, or ezdxf
    # drops them, and a writer may give them others: those are matched by their contents,
    # or else let pass up to the number of repeated handles.
    def signature(entity, stated):
        tags = object_tags(entity, entity.doc.dxfversion, stated)
        return entity.dxftype(), tuple((c, value_key(v)) for c, v in tags
                                       if c != 5 and not is_reference(c))

    renumbered = Counter(signature(e, handles_a) for h, e in db_a.items()
                         if h not in handles_a and is_graphic(e))
    repeated = sum(n - 1 for n in handles_a.values() if n > 1)
    added = []
    for handle in handles_a:
        ea = db_a.get(handle)
        if ea is None:
            continue
        label = f"{ea.dxftype()} {handle} {where_a.get(handle, '')}".rstrip()
        eb = db_b.get(handle)
        if eb is None or handle not in handles_b:
            yield f"{label}: lost"
            continue
        if eb.dxftype() != ea.dxftype():
            yield f"{label}: became {eb.dxftype()} {where_b.get(handle, '')}".rstrip()
            continue
        yield from compare_tags(label, object_tags(ea, a.dxfversion, handles_a),
                                object_tags(eb, b.dxfversion, handles_b), defaults_of(ea))
    for handle in handles_b:
        # Table entries and objects that a writer adds (a layer, a dictionary the drawing
        # needs) take nothing of the user's; entities that appear do.
        eb = db_b.get(handle)
        if handle not in handles_a and eb is not None and is_graphic(eb):
            added.append(handle)
    for handle in added:
        eb = db_b[handle]
        key = signature(eb, handles_b)
        if renumbered[key] > 0:
            renumbered[key] -= 1
            continue
        if repeated > 0:
            repeated -= 1
            continue
        yield f"{eb.dxftype()} {handle} {where_b.get(handle, '')}: added".replace("  ", " ")


def compare(path_a, path_b, and_audit=False):
    problems = []
    try:
        loaded_a = read_drawing(path_a)
    except Exception as error:
        return [f"{path_a}: ezdxf cannot read it: {error}"]
    try:
        loaded_b = read_drawing(path_b)
    except Exception as error:
        return [f"{path_b}: ezdxf cannot read it: {error}"]
    a, b = loaded_a[0], loaded_b[0]
    if a.dxfversion != b.dxfversion:
        problems.append(f"version {a.dxfversion} != {b.dxfversion}")
    where_a, contents_a = locations(a)
    where_b, contents_b = locations(b)
    handles_a, variables_a = file_contents(path_a)
    handles_b, _ = file_contents(path_b)
    problems += compare_header(a, b, variables_a)
    problems += compare_classes(a, b)
    problems += compare_tables(a, b)
    problems += compare_layouts(a, b, contents_a, contents_b)
    problems += compare_objects(a, b, handles_a, handles_b, where_a, where_b)
    if and_audit:  # the audit repairs what it finds, so it comes after the comparison
        problems += audit(path_b, path_a, loaded_b, loaded_a)
    return problems


# --- audit ------------------------------------------------------------------------------------


def audit_findings(path, loaded=None):
    """(code, message) of every error and every repair of ezdxf's audit, and the load
    warnings; raises what ezdxf raises for an unreadable file."""
    doc, warnings = loaded or read_drawing(path)
    auditor = doc.audit()
    return ([("while reading", message) for message in warnings] +
            [(f"audit error {e.code}", e.message) for e in auditor.errors] +
            [(f"audit had to fix {f.code}", f.message) for f in auditor.fixes])


def audit(path, reference, loaded=None, loaded_reference=None):
    """A drawing made elsewhere may come damaged; what its writer passed on of that damage
    is not the fault of the drawing's new writer, anything more is."""
    try:
        findings = audit_findings(path, loaded)
        inherited = set(audit_findings(reference, loaded_reference)) if reference else set()
    except Exception as error:
        return [f"{path}: ezdxf cannot read it: {error}"]
    return [f"{path}: {kind}: {message}" for kind, message in findings
            if (kind, message) not in inherited]


# --- the module's data ------------------------------------------------------------------------


def wrapper_problems(key, obj, dictionary):
    label = f"{SPEC_DICTIONARY} entry {key!r}"
    if obj is None:
        return [f"{label}: no object with handle {dictionary.get(key)}"]
    if obj.dxftype() != WRAPPER_DXF_NAME:
        return [f"{label}: is a {obj.dxftype()}, not {WRAPPER_DXF_NAME}"]
    problems = []
    if obj.dxf.owner != dictionary.dxf.handle:
        problems.append(f"{label}: owner {obj.dxf.owner}, not the dictionary {dictionary.dxf.handle}")
    xtags = getattr(obj, "xtags", None)
    if xtags is None:
        return problems + [f"{label}: ezdxf did not keep its tags"]
    try:
        subclass = xtags.get_subclass(WRAPPER_CLASS)
    except Exception:
        names = [s[0].value for s in xtags.subclasses[1:] if s and s[0].code == 100]
        return problems + [f"{label}: no subclass {WRAPPER_CLASS} (has {names})"]
    codes = [tag.code for tag in subclass[1:]]
    if codes != [300]:
        problems.append(f"{label}: {WRAPPER_CLASS} holds groups {codes}, not one 300 text")
    return problems


def peer(path):
    try:
        doc, _ = read_drawing(path)
    except Exception as error:
        return [f"{path}: ezdxf cannot read it: {error}"]
    problems = []
    classes = [c for c in doc.classes if c.dxf.name == WRAPPER_DXF_NAME]
    if not classes:
        problems.append(f"CLASSES: no class {WRAPPER_DXF_NAME}")
    for cls in classes:
        if cls.dxf.cpp_class_name != WRAPPER_CLASS:
            problems.append(f"CLASSES: {WRAPPER_DXF_NAME} class name {cls.dxf.cpp_class_name!r}")
        if cls.dxf.app_name != WRAPPER_APP:
            problems.append(f"CLASSES: {WRAPPER_DXF_NAME} application {cls.dxf.app_name!r}")
        if cls.dxf.get("is_an_entity", 0) != 0:
            problems.append(f"CLASSES: {WRAPPER_DXF_NAME} is marked as an entity")

    root = doc.rootdict
    if SPEC_DICTIONARY not in root:
        problems.append(f"root dictionary has no {SPEC_DICTIONARY} (has {sorted(root.keys())})")
    else:
        dictionary = root[SPEC_DICTIONARY]
        if dictionary is None or dictionary.dxftype() != "DICTIONARY":
            problems.append(f"{SPEC_DICTIONARY} is not a DICTIONARY")
        else:
            keys = list(dictionary.keys())
            if not keys:
                problems.append(f"{SPEC_DICTIONARY} is empty")
            for key in keys:
                problems += wrapper_problems(key, dictionary.get(key), dictionary)

    placed = 0
    for mtext in doc.query("MTEXT"):
        if not mtext.has_xdata(BOX_APP):
            continue
        placed += 1
        codes = [tag.code for tag in mtext.get_xdata(BOX_APP)]
        values = [tag.value for tag in mtext.get_xdata(BOX_APP)]
        if codes != [1070, 1010, 1070, 1010] or values[0] != 1 or values[2] != 2:
            problems.append(f"MTEXT {mtext.dxf.handle}: {BOX_APP} xdata "
                            f"{short(list(zip(codes, values)), 120)}, not 1070 1, 1010 A, 1070 2, 1010 B")
    if placed == 0:
        problems.append(f"no MTEXT with {BOX_APP} extended data")
    if BOX_APP not in doc.appids:
        problems.append(f"APPID table lacks {BOX_APP}")
    return [f"{path}: {p}" for p in problems]


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("files", nargs="*")
    parser.add_argument("--audit", metavar="FILE")
    parser.add_argument("--reference", metavar="ORIGINAL",
                        help="with --audit: findings that ORIGINAL has too are not failures")
    parser.add_argument("--peer", metavar="FILE")
    parser.add_argument("--and-audit", action="store_true",
                        help="with two files: also --audit ACTUAL --reference EXPECTED")
    args = parser.parse_args(argv)
    if args.audit:
        problems = audit(args.audit, args.reference)
    elif args.peer:
        problems = peer(args.peer)
    elif len(args.files) == 2:
        problems = compare(*args.files, and_audit=args.and_audit)
    else:
        parser.error("give two files, --audit FILE or --peer FILE")
    for line in problems:
        print(line)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
