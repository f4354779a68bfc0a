#!/usr/bin/env bash
# cadhost -b: what may stand for a script, what its exit status says about the run, and Ctrl+C.
. "$(dirname "$0")/lib.sh"

# A folder is refused as a missing script is: one line on stderr, status 2.
"$bin/cadhost" -b "$work" >"$work/out" 2>"$work/err" </dev/null
status=$?
[ "$status" = 2 ] || failed "-b FOLDER ended with status $status"
[ "$(wc -l <"$work/err")" = 1 ] || failed "-b FOLDER: stderr is not one line"
check "$work/err" "cadhost: cannot read script $work: it is a folder"

# A byte order mark before the first line is nothing: the first command runs and each answer
# goes to its own prompt.
printf '\xEF\xBB\xBFSETVAR\nTEXTSIZE\n7\nGETVAR\nTEXTSIZE\n' >"$work/bom.scr"
host_run_ok "$work/bom.scr" "$work/bom.log"
check "$work/bom.log" "Command: SETVAR"
check "$work/bom.log" "TEXTSIZE = 7"
if grep -q "Unknown command" "$work/bom.log"; then
    failed "a line of the script ran at the wrong prompt:"
    cat "$work/bom.log"
fi

# The exit status: 0 when every command did what it was asked, 1 when any could not; the
# commands after a failed one still run.
status_of() { # WANT NAME LINES...   runs the lines as a script, then again on standard input
    local want=$1 name=$2
    shift 2
    printf '%s\n' "$@" >"$work/$name.scr"
    host_run "$work/$name.scr" "$work/$name.log"
    local got=$?
    [ "$got" = "$want" ] || { failed "$name: -b run ended with status $got, not $want"; cat "$work/$name.log"; }
    "$bin/cadhost" <"$work/$name.scr" >"$work/$name.piped" 2>&1
    got=$?
    [ "$got" = "$want" ] || failed "$name: the run on standard input ended with status $got, not $want"
}
status_of 0 saved LINE 0,0 1,1 "" SAVEAS "$work/fine.dxf" CIRCLE '*Cancel*'
status_of 1 unsaved SAVEAS "$work/no/such/folder/x.dxf" SAVEAS "$work/after.dxf"
check "$work/unsaved.log" "Cannot save $work/no/such/folder/x.dxf: "
[ -f "$work/after.dxf" ] || failed "the command after the failed one did not run"
status_of 1 unknown FROBNICATE
status_of 1 refused SETVAR TEXTSIZE abc
status_of 1 unopened OPEN "$work/missing.dxf"

# Ctrl+C while a script runs (-b, or on standard input) stops it: the prompt waiting is
# cancelled, the lines left are not run, and cadhost ends as interrupted.  A second Ctrl+C
# ends it at once.  The signal comes while a command waits for the MText editor, a program
# that says it started and runs until told to end.
need_python
cat >"$work/editor.sh" <<EOF
#!/bin/sh
touch "$work/editing"
while [ ! -e "$work/editor-may-end" ] && [ -d "$work" ]; do sleep 0.05; done
rm -f "$work/editing"
EOF
chmod +x "$work/editor.sh"
printf '%s\n' MTEXTED "$work/editor.sh" MTEXT 0,0 10,10 Hello "" DBLCLICK B \
    SAVEAS "$work/after-ctrlc.dxf" CIRCLE 0,0 2 >"$work/ctrlc.scr"
"$python" - "$bin/cadhost" "$work" <<'PY' || fail=1
import os, signal, subprocess, sys, time
cadhost, work = sys.argv[1], sys.argv[2]
script = os.path.join(work, "ctrlc.scr")
def path(name):
    return os.path.join(work, name)
def run(how, presses):
    """Runs the script and presses Ctrl+C while the editor runs; answers the exit status,
    whether cadhost ended before the editor did, and the log."""
    for name in ("editing", "editor-may-end", "after-ctrlc.dxf"):
        if os.path.exists(path(name)):
            os.remove(path(name))
    log = open(path("ctrlc.log"), "w+")
    if how == "-b":
        p = subprocess.Popen([cadhost, "-b", script], stdin=subprocess.DEVNULL, stdout=log,
                             stderr=subprocess.STDOUT)
    else:
        p = subprocess.Popen([cadhost], stdin=open(script), stdout=log, stderr=subprocess.STDOUT)
    end = time.time() + 60
    while not os.path.exists(path("editing")) and time.time() < end:
        time.sleep(0.05)
    for _ in range(presses):
        p.send_signal(signal.SIGINT)
        time.sleep(0.2)
    try:
        p.wait(timeout=10 if presses > 1 else 0.5)
        ended_first = True
    except subprocess.TimeoutExpired:
        ended_first = False
    open(path("editor-may-end"), "w").close()
    status = p.wait(timeout=60)
    # The editor outlives a cadhost that did not wait for it; the next run starts after it.
    end = time.time() + 60
    while os.path.exists(path("editing")) and time.time() < end:
        time.sleep(0.05)
    log.seek(0)
    return status, ended_first, log.read()
failed = False
for how in ("-b", "stdin"):
    status, ended_first, text = run(how, 1)
    want = ("Command: DBLCLICK\nDouble-click at (handle or point): B\nCommand: *Cancel*\n"
            "Ctrl+C: the script stops; its last 5 lines are not run.\n")
    if status != -signal.SIGINT or ended_first or not text.endswith(want):
        print("FAIL: %s, one Ctrl+C: status %d%s; the log:\n%s" %
              (how, status, ", ended before the editor" if ended_first else "", text))
        failed = True
    if os.path.exists(path("after-ctrlc.dxf")):
        print("FAIL: %s: a line after Ctrl+C ran" % how)
        failed = True
    status, ended_first, text = run(how, 2)
    if status != -signal.SIGINT or not ended_first:
        print("FAIL: %s, two Ctrl+C: cadhost %s, status %d" %
              (how, "ended at once" if ended_first else "waited for the editor", status))
        failed = True
sys.exit(1 if failed else 0)
PY
exit $fail
