#!/usr/bin/env bash
# A sheet that SheetSpec lays out from the example folder, saved as DXF and read by ezdxf:
# the items in the order of the list, division headings at their height and bodies at theirs,
# the columns at their places, the records 0..n-1 naming exactly the placed texts, and
# DIVISION 10 under its own heading.
. "$(dirname "$0")/lib.sh"
need_ezdxf
install_module

specs=$src/examples/specs
cat >"$work/sheet.scr" <<SCRIPT
SheetSpec
dlg set 230 $specs
dlg key 230 Enter
dlg dblclick 229 "DIVISION 1 - BASIC REQUIREMENTS"
dlg dblclick 228 "01010 Summary of Work.rtf"
dlg dblclick 229 "DIVISION 3 - CONCRETE"
dlg dblclick 228 "03300 Cast-in-Place Concrete.rtf"
dlg dblclick 229 "DIVISION 10 - SPECIALTIES"
dlg dblclick 228 "10800 Toilet Accessories.rtf"
dlg click 1
2,30
8,20
SAVEAS
$work/sheet.dxf
QUIT
SCRIPT
host_run_ok "$work/sheet.scr" "$work/sheet.log" "${with_module[@]}" || exit 1
"$python" "$here/sheetspec_ezdxf.py" "$work/sheet.dxf" 2,30 8,20 \
    "DIVISION 1 - BASIC REQUIREMENTS" "$specs\\01010 Summary of Work.rtf" \
    "DIVISION 3 - CONCRETE" "$specs\\03300 Cast-in-Place Concrete.rtf" \
    "DIVISION 10 - SPECIALTIES" "$specs\\10800 Toilet Accessories.rtf" || fail=1
exit $fail
