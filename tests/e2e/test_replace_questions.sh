#!/usr/bin/env bash
# Files that exist are replaced only after a question: SAVEAS replaces a drawing when the
# user says yes (no answer keeps it) and never a file of another kind.
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
exit $fail
