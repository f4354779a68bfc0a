#!/usr/bin/env bash
# Drawings pass through cadhost (OPEN, then SAVEAS) and ezdxf, a reader of another program's,
# finds in what cadhost writes the same drawing it finds in the original, with an audit that
# finds no new damage: the drawings of the shared corpus (AutoCAD, BricsCAD, ezdxf), drawings
# that ezdxf writes here in four versions, one with the module's stored sources, and one
# that cadhost makes itself.  Broken files are refused with the line they break on.
. "$(dirname "$0")/lib.sh"
need_corpus dxf dxf-malformed
need_ezdxf
compare() { "$python" "$here/dxf_compare.py" "$@"; }
sample() { "$python" "$here/dxf_sample.py" "$@"; }

# Shows the first findings of a failed check under a line that says what was checked.
report() { # what findings-file
    echo "FAIL: $1 ($(wc -l <"$2") findings):"
    head -25 "$2" | sed 's/^/    /'
    fail=1
}

# Runs cadhost on script lines; the log is $work/host.log.  Extra arguments go first.
host() { # script-text [cadhost args...]
    printf '%s\n' "$1" >"$work/host.scr"
    host_run "$work/host.scr" "$work/host.log" "${@:2}"
}

# OPEN then SAVEAS; the copy must be read, audited and compared like the original.
through_host() { # original copy [cadhost args...]
    local original=$1 copy=$2
    rm -f "$copy"
    host "OPEN
$original
SAVEAS
$copy" "${@:3}"
    if [ ! -s "$copy" ] || grep -q "Cannot" "$work/host.log"; then
        echo "FAIL: $original: cadhost did not open and save it:"
        sed 's/^/    /' "$work/host.log" | head -10
        fail=1
        return 1
    fi
    compare --and-audit "$original" "$copy" >"$work/findings" ||
        report "$(basename "$original"): cadhost's copy differs from the original or audits worse" \
            "$work/findings"
}

# The comparison itself must see a loss: copies with a changed text, a radius off by 1e-7
# relative, an entity or extended data missing, a moved base point differ from the original.
sample assorted AC1018 "$work/orig.dxf"
"$python" - "$work/orig.dxf" "$work" <<'EOF'
import sys, ezdxf
def changed(name, change):
    doc = ezdxf.readfile(sys.argv[1])
    doc._update_metadata = lambda: None  # no save time nor writer's mark: only the change differs
    change(doc.modelspace())
    doc.saveas(f"{sys.argv[2]}/{name}.dxf")
changed("same", lambda msp: None)
changed("text", lambda msp: msp.query("TEXT")[0].dxf.set("text", "Plain test ÄÖÜ"))
changed("radius", lambda msp: msp.query("CIRCLE")[0].dxf.set("radius", 2.5000001))
changed("lost", lambda msp: msp.delete_entity(msp.query("CIRCLE")[0]))
changed("xdata", lambda msp: msp.query("LINE")[0].discard_xdata("TESTAPP"))
changed("base", lambda msp: msp.doc.header.__setitem__("$INSBASE", (0, 0, 1)))
EOF
compare "$work/same.dxf" "$work/same.dxf" >"$work/findings" ||
    report "the comparison finds differences between a file and itself" "$work/findings"
while read -r broken names; do
    if compare "$work/same.dxf" "$work/$broken.dxf" >"$work/findings" || ! grep -qF "$names" "$work/findings"; then
        report "the comparison does not see the change in $broken.dxf (should name '$names')" "$work/findings"
    fi
done <<'EOF'
text AcDbText group 1: 'Plain text ÄÖÜ' != 'Plain test ÄÖÜ'
radius AcDbCircle group 40: 2.5 != 2.5000001
lost CIRCLE
xdata xdata TESTAPP group 1000 lost: 'kept'
base header $INSBASE
EOF

for original in "$corpus"/dxf/*.dxf; do
    through_host "$original" "$work/copy.dxf"
done

for version in AC1015 AC1018 AC1024 AC1032; do
    sample assorted "$version" "$work/assorted-$version.dxf"
    through_host "$work/assorted-$version.dxf" "$work/assorted-$version-copy.dxf"
    saved=$("$python" -c 'import ezdxf, sys; print(ezdxf.readfile(sys.argv[1]).dxfversion)' \
        "$work/assorted-$version-copy.dxf" 2>&1 | tail -1)
    [ "$saved" = "$version" ] || failed "a $version drawing was saved as '$saved'"
done

# The module's objects are read by the module's class and written back by it.
sample module "$work/module.dxf"
compare --peer "$work/module.dxf" >"$work/findings" ||
    report "the module drawing that ezdxf writes" "$work/findings"
if [ -f "$bin/KSRRivlet.arx" ]; then
    "$bin/rivlet-setup" >/dev/null 2>&1
    through_host "$work/module.dxf" "$work/module-copy.dxf" --load "$bin/KSRRivlet.arx"
    compare --peer "$work/module-copy.dxf" >"$work/findings" ||
        report "the module's data in cadhost's copy" "$work/findings"
else
    echo "FAIL: $bin/KSRRivlet.arx is not built"
    fail=1
fi

# A drawing cadhost makes: entities written by the host itself, an MText of 2,000
# characters with characters outside every single-byte code page.
long=$("$python" -c 'print("".join(f"Größe {i:03d} — 漢字 ≤ ½ µm " for i in range(100))[:2000])')
host "LINE
0,0
10,5

CIRCLE
3,3
2
MTEXT
0,20
30,0
$long
SAVEAS
$work/made.dxf"
if [ ! -s "$work/made.dxf" ]; then
    echo "FAIL: cadhost did not save the drawing it made:"
    sed 's/^/    /' "$work/host.log" | head -10
    fail=1
else
    compare --audit "$work/made.dxf" >"$work/findings" ||
        report "ezdxf's audit of a drawing cadhost made" "$work/findings"
    "$python" - "$work/made.dxf" "$long" >"$work/findings" <<'EOF'
import re, sys, ezdxf
doc = ezdxf.readfile(sys.argv[1])
msp = doc.modelspace()
# ezdxf leaves the \\U+ codes of the versions before AC1021 in the text it reads.
def plain(text):
    return re.sub(r"\\U\+([0-9A-Fa-f]{4})", lambda m: chr(int(m.group(1), 16)), text)
lines, circles, texts = msp.query("LINE"), msp.query("CIRCLE"), msp.query("MTEXT")
if len(lines) != 1 or not lines[0].dxf.start.isclose((0, 0, 0)) \
        or not lines[0].dxf.end.isclose((10, 5, 0)):
    print("no LINE from 0,0 to 10,5:", [(l.dxf.start, l.dxf.end) for l in lines])
if len(circles) != 1 or abs(circles[0].dxf.radius - 2) > 1e-9:
    print("no CIRCLE of radius 2:", [c.dxf.radius for c in circles])
got = plain(texts[0].text) if len(texts) == 1 else None
if got != sys.argv[2]:
    at = next((i for i, (x, y) in enumerate(zip(got or "", sys.argv[2])) if x != y), None)
    print(f"MTEXT content: {len(sys.argv[2])} characters typed, "
          f"{len(got) if got is not None else f'{len(texts)} MTEXT'} read, first difference "
          f"at {at}: {got[at:at + 30] if got and at is not None else ''!r}")
EOF
    [ -s "$work/findings" ] && report "what ezdxf reads of the drawing cadhost made" "$work/findings"
    # The same drawing a second time through the host comes out the same.
    through_host "$work/made.dxf" "$work/made-copy.dxf"
fi

# A drawing named on the command line is the first document.
first=$(ls "$corpus"/dxf/*.dxf | head -1)
printf 'SAVEAS\n%s\n' "$work/first-copy.dxf" >"$work/first.scr"
# The file after -b, where test_dxf_command_line.sh has it before.
"$bin/cadhost" -b "$work/first.scr" "$first" >"$work/host.log" 2>&1 </dev/null ||
    { failed "cadhost -b SCRIPT $first:"; sed 's/^/    /' "$work/host.log"; }
compare "$first" "$work/first-copy.dxf" >"$work/findings" ||
    report "cadhost $first, then SAVEAS" "$work/findings"

# Broken files: one stderr line naming a line of the file and status 1 when given on the
# command line; one "Cannot open" line at the OPEN command.
for broken in "$corpus"/dxf-malformed/*.dxf; do
    "$bin/cadhost" -b /dev/null "$broken" >"$work/out" 2>"$work/err" </dev/null
    status=$?
    if [ $status != 1 ] || [ "$(wc -l <"$work/err")" != 1 ] || ! grep -q "line [0-9]" "$work/err"; then
        echo "FAIL: cadhost $broken: status $status (want 1), stderr:"
        sed 's/^/    /' "$work/err"
        fail=1
    fi
    host "OPEN
$broken"
    if ! grep -q "Cannot open $broken: line [0-9][0-9]*: " "$work/host.log"; then
        echo "FAIL: OPEN $broken does not say which line is wrong:"
        sed 's/^/    /' "$work/host.log"
        fail=1
    fi
done
exit $fail
