#!/usr/bin/env bash
# cadhost at a terminal: the "Command:" prompt, answers typed at it, a message box answered at
# the terminal, and no empty lines between what it shows.
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
exit $fail
