#!/usr/bin/env bash
# Files that exist are replaced only after a question: SAVEAS replaces a drawing when the
# user says yes (no answer keeps it) and never a file of another kind; EXPORT writes only
# pictures, and replaces one when the user says yes.
. "$(dirname "$0")/lib.sh"

cd "$work" || fatal "cd"
printf 'some notes\n' >notes.txt
printf '{\\rtf1 a letter}\n' >letter.rtf
mkdir folder.dxf
printf 'SAVEAS\n%s\n' "$work/plan.dxf" >first.scr
host_run_ok first.scr first.log
cp plan.dxf plan.before

# Not drawings: refused with one line each, the files as they were.
printf 'SAVEAS\nnotes.txt\nSAVEAS\nletter.rtf\nSAVEAS\nfolder\n' >others.scr
host_run others.scr others.log
status=$?
[ "$status" = 1 ] || failed "refused saves ended the run with status $status, not 1"
check others.log "Cannot save notes.txt: the file there is not a drawing, and only a drawing is replaced"
check others.log "Cannot save letter.rtf: the file there is not a drawing, and only a drawing is replaced"
check others.log "Cannot save folder.dxf: it is a folder"
grep -q "MessageBox" others.log && failed "a file that is no drawing was asked about"
[ "$(cat notes.txt)" = "some notes" ] || failed "notes.txt changed"
[ "$(cat letter.rtf)" = '{\rtf1 a letter}' ] || failed "letter.rtf changed"

# A drawing: the question, and without an answer (or with No) the file stays.
printf 'LINE\n0,0\n3,3\n\nSAVEAS\nplan\nSAVEAS\nplan.dxf\nmsgbox no\n' >kept.scr
host_run_ok kept.scr kept.log
check kept.log "** MessageBox (warning, Yes/No): plan.dxf already exists."
check kept.log "Do you want to replace it?"
[ "$(grep -c "MessageBox answered No" kept.log)" = 2 ] || failed "the questions were not both answered No"
cmp -s plan.dxf plan.before || failed "plan.dxf was replaced without a yes"

# Yes replaces it.
printf 'LINE\n0,0\n3,3\n\nSAVEAS\nplan.dxf\nmsgbox yes\n' >replaced.scr
host_run_ok replaced.scr replaced.log
check replaced.log "** MessageBox answered Yes"
check plan.dxf "LINE"

# EXPORT onto the drawing's own name writes a picture beside it; the drawing still opens.
cp plan.dxf plan.before
printf 'EXPORT\nplan.dxf\nEXPORT\nsheet\n' >export.scr
host_run_ok export.scr export.log plan.dxf
check export.log "Picture written to plan.dxf.svg."
check export.log "Picture written to sheet.svg."
cmp -s plan.dxf plan.before || failed "EXPORT changed the drawing"
check plan.dxf.svg "<svg"
check sheet.svg "<svg"
printf '' >empty.scr
host_run_ok empty.scr reopen.log plan.dxf

# An existing picture: kept without a yes, replaced with one; a folder is refused.
cp sheet.svg sheet.before
mkdir shots.svg
printf 'CIRCLE\n0,0\n9\nEXPORT\nsheet.svg\nEXPORT\nshots.svg\n' >keep.scr
host_run keep.scr keep.log plan.dxf
status=$?
[ "$status" = 1 ] || failed "EXPORT onto a folder ended the run with status $status, not 1"
check keep.log "** MessageBox (warning, Yes/No): sheet.svg already exists."
check keep.log "** MessageBox answered No"
check keep.log "Cannot write shots.svg: it is a folder"
cmp -s sheet.svg sheet.before || failed "sheet.svg was replaced without a yes"
printf 'CIRCLE\n0,0\n9\nEXPORT\nsheet.svg\nmsgbox yes\n' >replace.scr
host_run_ok replace.scr replace.log plan.dxf
check replace.log "Picture written to sheet.svg."
cmp -s sheet.svg sheet.before && failed "sheet.svg was not replaced after a yes"
exit $fail
