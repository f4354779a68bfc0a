#!/usr/bin/env bash
# The edit round trip on a saved sheet, across sessions: an edit saved, an edit not saved, an
# empty document, a temporary folder with blanks, reformFromDict by hand, and U after a rebuild.
. "$(dirname "$0")/lib.sh"
need_ezdxf
check_dxf() { PYTHONPATH=$here "$python" "$here/roundtrip_check.py" "$@"; }
install_module
run() { # SCRIPT LOG [DRAWING]: cadhost with the module on the script
    host_run_ok "$1" "$2" "${with_module[@]}" ${3:+"$3"}
}

# A sheet of a division and two sections, saved; the word processor is the tests'.
cat >"$work/sheet.scr" <<SCRIPT
SheetSpec
dlg set 230 $src/tests/data/rtf
dlg key 230 Enter
dlg dblclick 229 "DIVISION 9 - FINISHES"
dlg dblclick 228 "fonts_sizes.rtf"
dlg dblclick 228 "numbered_list.rtf"
dlg click 1
0,0
4,-1.2
SAVEAS
$work/sheet.dxf
QUIT
SCRIPT
run "$work/sheet.scr" "$work/sheet.log"
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\KSR\\MTEXT\\Preferences]\n"WORDPAD"="%s"\n' \
    "${winbin//\\/\\\\}\\\\scripted-editor" >"$work/wordpad.reg"
# The preferences name the tests' editor from now on.
sed -i '/"WORDPAD"=/d' "$CADHOST_PREFIX/user.reg"
sed -n '4p' "$work/wordpad.reg" >>"$CADHOST_PREFIX/user.reg"
check_dxf consistent "$work/sheet.dxf" >/dev/null || failed "the first sheet"

# Closed without saving: the drawing is as it was, byte for byte, and the host's own MText
# edit follows the double-click.
printf 'DBLCLICK\n15\n\nGETVAR\nMTEXTED\nSAVEAS\n%s\nQUIT\n' "$work/nosave.dxf" >"$work/nosave.scr"
RIVLET_EDITOR=nosave run "$work/nosave.scr" "$work/nosave.log" "$work/sheet.dxf"
cmp -s "$work/sheet.dxf" "$work/nosave.dxf" || failed "an edit not saved changed the drawing"
check "$work/nosave.log" 'Enter new MText contents <keep>: '
check "$work/nosave.log" 'MTEXTED = "Internal"'

# Saved, in a new session on the file: the box comes from the texts, no prompt; the record
# holds the edit; the texts are new, none of the old layout remains.
printf 'DBLCLICK\n15\nGETVAR\nMTEXTED\nSAVEAS\n%s\nQUIT\n' "$work/edited.dxf" >"$work/edit.scr"
RIVLET_EDITOR="append:Edited in the word processor." run "$work/edit.scr" "$work/edit.log" "$work/sheet.dxf"
check "$work/edit.log" 'MTEXTED = "."'
grep -q 'Select first corner' "$work/edit.log" && failed "the rebuild asked for the box"
check_dxf has "$work/edited.dxf" 2 "Edited in the word processor." || failed "the edit is not stored"
check_dxf consistent "$work/edited.dxf" >/dev/null || failed "records after the edit"
check_dxf none-of "$work/sheet.dxf" "$work/edited.dxf" || failed "texts of the old layout remain"

# An empty document empties the record; the rebuild drops its texts.
printf 'DBLCLICK\n15\nSAVEAS\n%s\nQUIT\n' "$work/emptied.dxf" >"$work/empty.scr"
RIVLET_EDITOR=empty run "$work/empty.scr" "$work/empty.log" "$work/sheet.dxf"
check_dxf consistent "$work/emptied.dxf" >/dev/null || failed "records after emptying"
count=$(grep -c '^MTEXT$' "$work/emptied.dxf")
[ "$count" -lt "$(grep -c '^MTEXT$' "$work/sheet.dxf")" ] || failed "the emptied item's texts stayed"

# A temporary folder with blanks reaches the editor as one argument.
spaced="$work/temp with blanks"
mkdir -p "$spaced"
printf 'DBLCLICK\n15\nQUIT\n' >"$work/spaced.scr"
TMPDIR=$spaced RIVLET_EDITOR=same RIVLET_EDITOR_LOG=$work/arguments.log \
    run "$work/spaced.scr" "$work/spaced.log" "$work/sheet.dxf"
[ "$(wc -l <"$work/arguments.log")" = 1 ] && grep -q "temp with blanks.ksr.*\.rtf$\|temp with blanks/ksr.*\.rtf$" "$work/arguments.log" \
    || { failed "the editor was started with:"; cat "$work/arguments.log"; }

# reformFromDict by hand, twice: the same layout with new handles.
printf 'reformFromDict\nSAVEAS\n%s\nreformFromDict\nSAVEAS\n%s\nQUIT\n' "$work/once.dxf" "$work/twice.dxf" \
    >"$work/reform.scr"
printf '0,0\n4,-1.2\n' | sed -i "1r /dev/stdin" "$work/reform.scr"
run "$work/reform.scr" "$work/reform.log" "$work/sheet.dxf"
check_dxf same-layout "$work/once.dxf" "$work/twice.dxf" || failed "two rebuilds differ"
check_dxf consistent "$work/twice.dxf" >/dev/null || failed "records after two rebuilds"

# U after the rebuild of an edit takes the rebuild back: the old texts with their records.
printf 'DBLCLICK\n15\nU\nSAVEAS\n%s\nQUIT\n' "$work/undone.dxf" >"$work/undo.scr"
RIVLET_EDITOR="append:Taken back." run "$work/undo.scr" "$work/undo.log" "$work/sheet.dxf"
check_dxf consistent "$work/undone.dxf" >/dev/null || failed "U left records and texts apart"
check_dxf same-layout "$work/sheet.dxf" "$work/undone.dxf" && failed "U gave new handles"
exit $fail
