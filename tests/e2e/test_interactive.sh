#!/usr/bin/env bash
# cadhost at a terminal: the "Command:" prompt, answers typed at it, a message box answered at
# the terminal, no empty lines between what it shows, and Ctrl+C.
. "$(dirname "$0")/lib.sh"
need_python
"$python" - "$bin" <<'PY' || fail=1
import os, pty, select, sys, time
bin = sys.argv[1]
pid, fd = pty.fork()
if pid == 0:
    os.execv(bin + "/cadhost", ["cadhost", "--load", bin + "/KSRRivlet.arx"])
out = b""
def read(seconds):
    global out
    end = time.time() + seconds
    while time.time() < end:
        ready, _, _ = select.select([fd], [], [], 0.05)
        if ready:
            try:
                out += os.read(fd, 4096)
            except OSError:
                return
for line in [b"Reform\n", b"ok\n", b"GETVAR\n", b"MTEXTED\n", b"QUIT\n"]:
    read(0.3)
    os.write(fd, line)
read(2)
os.waitpid(pid, 0)
text = out.decode().replace("\r\n", "\n")
want = ("Kestrune - VIZUDaro Version 1.02\nCommand: Reform\n** MessageBox (OK): There is no "
        "'reform' now.  Simply 'double-click' the text you\nwish to edit, save the file and the "
        "rest is magic\nAnswer [OK] <OK>: ok\n** MessageBox answered OK\nCommand: GETVAR\n"
        "Enter variable name or [?]: MTEXTED\nMTEXTED = \"Internal\"\nCommand: QUIT\n")
if text != want:
    print("FAIL: the terminal showed:\n" + repr(text))
    sys.exit(1)
PY

# Ctrl+C cancels the prompt that waits, as a typed ^C does, and never ends the program: not
# in a command, not at an empty "Command:" prompt (twice, from the terminal and as a signal
# sent to the process), not at a message box, where it presses Cancel.  QUIT with a change
# asks; "no" ends the program with status 0.
"$python" - "$bin" <<'PY' || fail=1
import os, pty, select, signal, sys, time
bin = sys.argv[1]
pid, fd = pty.fork()
if pid == 0:
    os.execv(bin + "/cadhost", ["cadhost"])
out = b""
mark = 0  # where the output of the last action begins
def until(text, seconds=20):
    """Reads what the terminal shows until, after the last action, it ends with text (or the
    time is up)."""
    global out
    end = time.time() + seconds
    while not out[mark:].endswith(text) and time.time() < end:
        ready, _, _ = select.select([fd], [], [], 0.05)
        if ready:
            try:
                out += os.read(fd, 4096)
            except OSError:
                return
steps = [(b"Command: ", b"LINE\n"), (b"first point: ", b"0,0\n"), (b"next point: ", b"\x03"),
         (b"Command: ", b"\x03"), (b"Command: ", "signal"), (b"Command: ", b"LIN"),
         (b"LIN", b"\x03"), (b"Command: ", b"CIRCLE\n"), (b"center point for circle: ", b"0,0\n"),
         (b"radius of circle: ", b"2\n"), (b"Command: ", b"QUIT\n"), (b"<Cancel>: ", b"\x03"),
         (b"Command: ", b"QUIT\n"), (b"<Cancel>: ", b"no\n")]
for prompt, action in steps:
    until(prompt)
    mark = len(out)
    if action == "signal":
        os.kill(pid, signal.SIGINT)
    else:
        os.write(fd, action)
until(b"answered No\r\n")
_, status = os.waitpid(pid, 0)
text = out.decode().replace("\r\n", "\n")
want = ("Command: LINE\nSpecify first point: 0,0\nSpecify next point: ^C\nCommand: ^C\n"
        "Command: \nCommand: LIN^C\nCommand: CIRCLE\nSpecify center point for circle: 0,0\n"
        "Specify radius of circle: 2\nCommand: QUIT\n** MessageBox (question, Yes/No/Cancel): "
        "Save changes to Drawing1.dwg?\nAnswer [Yes/No/Cancel] <Cancel>: ^C\n"
        "** MessageBox answered Cancel\nCommand: QUIT\n** MessageBox (question, Yes/No/Cancel): "
        "Save changes to Drawing1.dwg?\nAnswer [Yes/No/Cancel] <Cancel>: no\n"
        "** MessageBox answered No\n")
if os.waitstatus_to_exitcode(status) != 0:
    print("FAIL: cadhost ended with %d; the terminal showed:\n%r" %
          (os.waitstatus_to_exitcode(status), text))
    sys.exit(1)
if text != want:
    print("FAIL: the terminal showed:\n" + repr(text))
    sys.exit(1)
PY
exit $fail
