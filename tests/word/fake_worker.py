#!/usr/bin/python3
"""A stand-in for word_uno.py that forces the failures LibreOffice rarely gives: it speaks the
same protocol without LibreOffice and writes every decoded request to $FAKE_WORKER_LOG.

FAKE_WORKER_MODE=fail-start answers "error" at start and exits 1.  Otherwise "open" answers
for files that exist, "save" writes a small file, except that a target path containing "full"
answers an error and one containing "die" ends the worker without an answer."""

import os
import sys
import urllib.parse


def log(*words):
    with open(os.environ["FAKE_WORKER_LOG"], "a", encoding="utf-8") as f:
        f.write(" ".join(words) + "\n")


def answer(*words):
    sys.stdout.write(" ".join(words[:1] + tuple(urllib.parse.quote(w, safe="-_.~") for w in words[1:])) + "\n")
    sys.stdout.flush()


def main():
    if os.environ.get("FAKE_WORKER_MODE") == "fail-start":
        answer("error", "LibreOffice is not installed")
        return 1
    log("ready")
    answer("ready")
    documents, next_id = {}, 1
    for line in sys.stdin:
        words = line.rstrip("\n").split(" ")
        op, args = words[0], [urllib.parse.unquote(w, errors="strict") for w in words[1:]]
        log(op, *args)
        if op == "open":
            if os.path.isfile(args[0]):
                documents[str(next_id)] = args[0]
                answer("ok", str(next_id))
                next_id += 1
            else:
                answer("error", "no such document: " + args[0])
        elif op == "save":
            if "die" in args[1]:
                os._exit(5)
            if "full" in args[1]:
                answer("error", "disk full: " + args[1])
            elif args[0] not in documents:
                answer("error", "no open document " + args[0])
            else:
                with open(args[1], "w") as f:
                    f.write(args[2])
                answer("ok")
        elif op == "close":
            documents.pop(args[0], None)
            answer("ok")
        elif op == "quit":
            answer("ok")
            return 0
    return 0


if __name__ == "__main__":
    sys.exit(main())
