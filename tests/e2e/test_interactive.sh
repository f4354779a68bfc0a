#!/usr/bin/env bash
# cadhost at a terminal: the "Command:" prompt, answers typed at it, a message box answered at
# the terminal, no empty lines between what it shows, and Ctrl+C.
. "$(dirname "$0")/lib.sh"
need_python
"$python" - "$bin" <<'PY' || fail=1
import os, pty, select, signal, sys, time
bin = sys.argv[1]
CTRL_C = "Ctrl+C sent as a signal"

def session(args, steps):
    """Runs cadhost at a pseudo-terminal.  At each step waits until what the terminal showed
    since the step before ends with the prompt, then types the keys (or sends SIGINT to the
    process, as another program may).  Answers what the terminal showed until cadhost ended,
    with "\n" line ends, and its exit status."""
    pid, fd = pty.fork()
    if pid == 0:
        os.execv(bin + "/cadhost", ["cadhost"] + args)
    out, mark = b"", 0

    def until(prompt, seconds=20):
        nonlocal out
        end = time.time() + seconds
        while (prompt is None or not out[mark:].endswith(prompt)) and time.time() < end:
            ready, _, _ = select.select([fd], [], [], 0.05)
            if ready:
                try:
                    chunk = os.read(fd, 4096)
                except OSError:
                    chunk = b""
                if not chunk:
                    return  # cadhost ended
                out += chunk

    for prompt, keys in steps:
        until(prompt)
        mark = len(out)
        if keys == CTRL_C:
            os.kill(pid, signal.SIGINT)
        else:
            os.write(fd, keys)
    until(None)
    _, status = os.waitpid(pid, 0)
    return out.decode().replace("\r\n", "\n"), os.waitstatus_to_exitcode(status)

failed = False
def expect(what, got, want):
    global failed
    if got != want:
        print("FAIL: %s:\n%r\nnot\n%r" % (what, got, want))
        failed = True

text, status = session(
    ["--load", bin + "/KSRRivlet.arx"],
    [(b"Command: ", b"Reform\n"), (b"<OK>: ", b"ok\n"), (b"Command: ", b"GETVAR\n"),
     (b"[?]: ", b"MTEXTED\n"), (b"Command: ", b"QUIT\n")])
expect("the terminal showed", text,
       "Kestrune - VIZUDaro Version 1.02\nCommand: Reform\n** MessageBox (OK): There is no "
       "'reform' now.  Simply 'double-click' the text you\nwish to edit, save the file and the "
       "rest is magic\nAnswer [OK] <OK>: ok\n** MessageBox answered OK\nCommand: GETVAR\n"
       "Enter variable name or [?]: MTEXTED\nMTEXTED = \"Internal\"\nCommand: QUIT\n")

# Ctrl+C cancels the prompt that waits, as a typed ^C does, and drops what was typed on the
# line; it never ends cadhost: not in a command, not at an empty "Command:" prompt (twice,
# from the terminal and as a signal sent to the process), not at a message box, where it
# presses Cancel.  The drawing stays: QUIT asks about its change, and "no" ends cadhost.
text, status = session(
    [],
    [(b"Command: ", b"LINE\n"), (b"first point: ", b"0,0\n"), (b"next point: ", b"\x03"),
     (b"Command: ", b"\x03"), (b"Command: ", CTRL_C), (b"Command: ", b"LIN"),
     (b"LIN", b"\x03"), (b"Command: ", b"CIRCLE\n"), (b"center point for circle: ", b"0,0\n"),
     (b"radius of circle: ", b"2\n"), (b"Command: ", b"QUIT\n"), (b"<Cancel>: ", b"\x03"),
     (b"Command: ", b"QUIT\n"), (b"<Cancel>: ", b"no\n")])
expect("the terminal showed", text,
       "Command: LINE\nSpecify first point: 0,0\nSpecify next point: ^C\nCommand: ^C\n"
       "Command: \nCommand: LIN^C\nCommand: CIRCLE\nSpecify center point for circle: 0,0\n"
       "Specify radius of circle: 2\nCommand: QUIT\n** MessageBox (question, Yes/No/Cancel): "
       "Save changes to Drawing1.dwg?\nAnswer [Yes/No/Cancel] <Cancel>: ^C\n"
       "** MessageBox answered Cancel\nCommand: QUIT\n** MessageBox (question, Yes/No/Cancel): "
       "Save changes to Drawing1.dwg?\nAnswer [Yes/No/Cancel] <Cancel>: no\n"
       "** MessageBox answered No\n")
expect("the exit status", status, 0)
sys.exit(1 if failed else 0)
PY
exit $fail
