#!/usr/bin/python3
"""LibreOffice behind the Word server: opens documents, stores them in another format, closes
them, all in one headless soffice started for the whole batch.

The Word server talks to this program over its standard input and output, one request line and
one answer line at a time.  Words are separated by one space and every argument is
percent-encoded (UTF-8), so that paths and messages may hold any character:

    (start)                              -> ready | error MESSAGE  (and exit 1)
    open PATH                            -> ok DOCID | error MESSAGE
    save DOCID PATH FILTER               -> ok | error MESSAGE
    close DOCID                          -> ok | error MESSAGE
    quit                                 -> ok  (then LibreOffice ends and so does this program)

The end of the input quits as "quit" does.  If LibreOffice dies, the next "open" starts a new
one; documents of the old one answer errors.

soffice runs with a profile of its own (RIVLET_WORD_PROFILE names a folder to keep between
batches; otherwise a temporary one is made and removed at the end), so that it never meets a
LibreOffice the user has open.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.parse

START_TIMEOUT = 120.0


def encode(text):
    return urllib.parse.quote(text, safe="-_.~")


def decode(word):
    return urllib.parse.unquote(word, errors="strict")


class Office:
    """One soffice process and the UNO connection to it."""

    def __init__(self):
        import uno  # noqa: F401  (fails early, with a clear message, when python3-uno is missing)

        self.uno = uno
        kept = os.environ.get("RIVLET_WORD_PROFILE")
        if kept:
            os.makedirs(kept, exist_ok=True)
            self.profile, self.own_profile = kept, False
        else:
            self.profile, self.own_profile = tempfile.mkdtemp(prefix="word-profile-"), True
        self.process = None
        self.desktop = None
        self.documents = {}
        self.next_id = 1

    def start(self):
        soffice = shutil.which("soffice") or shutil.which("libreoffice")
        if not soffice:
            raise RuntimeError("LibreOffice (soffice) is not installed")
        pipe = "rivlet-word-%d-%d" % (os.getpid(), int(time.time() * 1000))
        self.process = subprocess.Popen(
            [soffice, "--headless", "--invisible", "--nologo", "--norestore", "--nodefault",
             "--nolockcheck", "-env:UserInstallation=" + self.uno.systemPathToFileUrl(self.profile),
             "--accept=pipe,name=%s;urp;StarOffice.ComponentContext" % pipe],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        local = self.uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext(
            "com.sun.star.bridge.UnoUrlResolver", local)
        deadline = time.monotonic() + START_TIMEOUT
        while True:
            try:
                context = resolver.resolve(
                    "uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
                break
            except Exception:
                if self.process.poll() is not None:
                    raise RuntimeError("LibreOffice ended while starting (status %d)"
                                       % self.process.returncode)
                if time.monotonic() > deadline:
                    raise RuntimeError("LibreOffice did not answer within %d s" % START_TIMEOUT)
                time.sleep(0.02)
        self.context = context
        self.desktop = context.ServiceManager.createInstanceWithContext(
            "com.sun.star.frame.Desktop", context)
        self.documents = {}

    def alive(self):
        return self.process is not None and self.process.poll() is None

    def props(self, **values):
        from com.sun.star.beans import PropertyValue

        result = []
        for name, value in values.items():
            prop = PropertyValue()
            prop.Name, prop.Value = name, value
            result.append(prop)
        return tuple(result)

    def open(self, path):
        if not self.alive():
            self.start()
        if not os.path.isfile(path):
            raise RuntimeError("no such document: " + path)
        if not os.access(path, os.R_OK):
            raise RuntimeError("cannot read " + path)
        url = self.uno.systemPathToFileUrl(os.path.abspath(path))
        filter_name, service = self.detect(url)
        if service != "com.sun.star.text.TextDocument":
            raise RuntimeError("not a text document: " + path)
        # What no filter recognises falls to the plain text filter; bytes that are no text
        # (zero bytes) would only become a page of garbage.
        if filter_name in ("Text", "Text (encoded)") and is_binary(path):
            raise RuntimeError("not a document: " + path)
        # The document is loaded into a model of its own, without a frame or a view: nothing of
        # LibreOffice's user interface is made, and a document that would open windows (notes,
        # fields asking questions) loads all the same.  Read only, no macros run, links stay.
        document = self.context.ServiceManager.createInstanceWithContext(service, self.context)
        document.load(self.props(URL=url, FilterName=filter_name, Hidden=True, ReadOnly=True,
                                 MacroExecutionMode=0, UpdateDocMode=0))
        doc_id = str(self.next_id)
        self.next_id += 1
        self.documents[doc_id] = document
        return doc_id

    def detect(self, url):
        """The import filter of the document at url and the kind of document it makes."""
        detection = self.context.ServiceManager.createInstanceWithContext(
            "com.sun.star.document.TypeDetection", self.context)
        type_name, descriptor = detection.queryTypeByDescriptor(self.props(URL=url), True)
        if not type_name:
            raise RuntimeError("LibreOffice does not know this kind of file")
        found = [p.Value for p in descriptor if p.Name == "FilterName"]
        if not found:
            found = [p.Value for p in detection.getByName(type_name) if p.Name == "PreferredFilter"]
        if not found or not found[0]:
            raise RuntimeError("LibreOffice has no filter for " + type_name)
        filters = self.context.ServiceManager.createInstanceWithContext(
            "com.sun.star.document.FilterFactory", self.context)
        service = [p.Value for p in filters.getByName(found[0]) if p.Name == "DocumentService"]
        return found[0], service[0] if service else ""

    def document(self, doc_id):
        document = self.documents.get(doc_id)
        if document is None:
            raise RuntimeError("no open document " + doc_id)
        return document

    def save(self, doc_id, path, filter_name):
        document = self.document(doc_id)
        folder = os.path.dirname(os.path.abspath(path))
        if not os.path.isdir(folder):
            raise RuntimeError("no such folder: " + folder)
        document.storeToURL(self.uno.systemPathToFileUrl(os.path.abspath(path)),
                            self.props(FilterName=filter_name, Overwrite=True))

    def close(self, doc_id):
        document = self.documents.pop(doc_id, None)
        if document is None:
            raise RuntimeError("no open document " + doc_id)
        document.close(True)

    def quit(self):
        if self.alive():
            for document in list(self.documents.values()):
                try:
                    document.close(True)
                except Exception:
                    pass
            try:
                self.desktop.terminate()
            except Exception:
                pass  # the connection goes down as soffice ends
            try:
                self.process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.documents = {}
        if self.own_profile:
            shutil.rmtree(self.profile, ignore_errors=True)


def is_binary(path):
    with open(path, "rb") as f:
        return b"\0" in f.read(65536)


def message_of(error):
    text = getattr(error, "Message", None) or str(error) or type(error).__name__
    return " ".join(text.split())


def answer(out, *words):
    out.write(" ".join(words[:1] + tuple(encode(w) for w in words[1:])) + "\n")
    out.flush()


def serve(office, lines, out):
    for line in lines:
        words = line.rstrip("\r\n").split(" ")
        op, args = words[0], [decode(w) for w in words[1:]]
        try:
            if op == "open" and len(args) == 1:
                answer(out, "ok", office.open(args[0]))
            elif op == "save" and len(args) == 3:
                office.save(*args)
                answer(out, "ok")
            elif op == "close" and len(args) == 1:
                office.close(args[0])
                answer(out, "ok")
            elif op == "quit":
                office.quit()
                answer(out, "ok")
                return
            else:
                answer(out, "error", "unknown request: " + line.strip())
        except Exception as error:  # a UNO exception, a dead soffice, a bad path
            answer(out, "error", message_of(error))
    office.quit()


def main():
    # Answers go only through this stream: nothing else may write to the real standard output.
    out = os.fdopen(os.dup(sys.stdout.fileno()), "w", encoding="utf-8", newline="\n")
    os.dup2(sys.stderr.fileno(), sys.stdout.fileno())
    office = None
    try:
        office = Office()
        office.start()
    except Exception as error:
        answer(out, "error", message_of(error))
        if office is not None:
            office.quit()
        return 1
    answer(out, "ready")
    serve(office, sys.stdin, out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
