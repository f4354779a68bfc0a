#!/usr/bin/python3
"""Opening and saving whole drawings as whole processes, cadhost against ezdxf in the same
run: wall time and peak resident size of each process.

The drawings are measured in rounds (--runs, 3 by default).  A round first goes over
every drawing --cadhost-runs times (3 by default: cadhost takes a second where ezdxf takes
ten), starting for each drawing, one after the other:
  cadhost [--load KSRRivlet.arx] -b open.scr FILE.dxf      (QUIT)
  cadhost [--load KSRRivlet.arx] -b save.scr FILE.dxf      (SAVEAS S copies, QUIT)
then goes over every drawing once more with ezdxf:
  python3 dxf_ezdxf_process.py FILE.dxf                    (ezdxf.readfile)
  python3 dxf_ezdxf_process.py FILE.dxf COPY.dxf           (readfile, saveas)
Taking the runs across drawings keeps a drawing and its double near each other in time:
a busy stretch of the machine does not land on one of them only.
"open" is the best time of the first kind; cadhost's "save" is the best time of the second
less the best open, over S (--saves, 3 by default: one save is a small part of a process's
time, and the noise of a whole process would swamp it); ezdxf's is its best time of the
last kind less its best open.  "peak" is the largest peak resident size of the saving
processes.  Ratios are ezdxf's time over cadhost's (above 1: cadhost is faster).
The copies are saved in a temporary folder of the system's, or of DIR (--save-to DIR).
cadhost flushes a saved file to the disk before it replaces the old one; on a disk the save
times include that flush, and with it the disk's own speed and noise.  A folder in memory
(--save-to /dev/shm) leaves the host's own work.

The drawings (made once into the cache folder, then reused):
  sheet       the layout sheet bench_layout writes
  corpus:*    the largest drawings of the shared corpus (../shared/corpus/dxf or
              $RIVLET_CORPUS_DIR/dxf)
  mtext60k    60,000 MText of about 650 bytes and 6,000 lines, written by ezdxf
  mtext120k   the same twice over
  sheets30    30 copies of the layout sheet in one drawing, written by cadhost
  sheets60    60 copies
The last lines compare each big drawing with its double: time and peak ratios.

usage: bench_dxf_files.py [--bin DIR] [--cache DIR] [--runs N] [--cadhost-runs N] [--saves S]
                          [--save-to DIR] [--no-module]
                          [--only NAME,...] [--corpus N] [--python PYTHON]
PYTHON runs ezdxf: by default the first python3 on PATH that imports it.
"""

import argparse
import os
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


def run(command, env=None):
    """Runs a process to its end; answers (seconds, peak resident KB)."""
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                               env=env)
    _, status, usage = os.wait4(process.pid, 0)
    seconds = time.perf_counter() - start
    errors = process.stderr.read().decode(errors="replace")
    process.stderr.close()
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0:
        raise SystemExit(f"failed ({process.returncode}): {' '.join(command)}\n{errors}")
    return seconds, usage.ru_maxrss


def find_python():
    """The first python3 on PATH that imports ezdxf, as the build finds it."""
    for folder in os.environ.get("PATH", "").split(os.pathsep):
        candidate = os.path.join(folder, "python3")
        if os.access(candidate, os.X_OK) and subprocess.run(
                [candidate, "-c", "import ezdxf"], stdout=subprocess.DEVNULL,
                stderr=subprocess.DEVNULL).returncode == 0:
            return candidate
    return None


def corpus_folder():
    base = os.environ.get("RIVLET_CORPUS_DIR") or os.path.join(ROOT, "..", "shared", "corpus")
    return os.path.join(base, "dxf")


def drawings(args, python):
    """(name, path) of every drawing asked for, made into the cache when missing."""
    os.makedirs(args.cache, exist_ok=True)
    wanted = args.only.split(",") if args.only else None
    sheet = os.path.join(args.cache, "sheet.dxf")
    if not os.path.exists(sheet):
        subprocess.run([os.path.join(args.bin, "bench_layout"), sheet], check=True,
                       stdout=subprocess.DEVNULL)
    out = [("sheet", sheet)]
    folder = corpus_folder()
    if os.path.isdir(folder):
        files = sorted((os.path.join(folder, f) for f in os.listdir(folder) if f.endswith(".dxf")),
                       key=os.path.getsize, reverse=True)
        out += [("corpus:" + os.path.basename(f)[:-4], f) for f in files[:args.corpus]]
    for name, texts in (("mtext60k", 60000), ("mtext120k", 120000)):
        path = os.path.join(args.cache, name + ".dxf")
        if not wanted or name in wanted:
            subprocess.run([python, os.path.join(HERE, "dxf_big_mtext.py"), path, str(texts)],
                           check=True)
        out.append((name, path))
    for name, copies in (("sheets30", 30), ("sheets60", 60)):
        path = os.path.join(args.cache, name + ".dxf")
        if not wanted or name in wanted:
            subprocess.run([os.path.join(args.bin, "bench_dxf_sheets"), sheet, str(copies), path],
                           check=True, stdout=subprocess.DEVNULL)
        out.append((name, path))
    return [d for d in out if not wanted or d[0] in wanted]


class Work:
    """What every drawing's processes share: cadhost's command, its scripts, the copies' names
    in the work folder and the environment."""

    def __init__(self, args, folder):
        self.cadhost = [os.path.join(args.bin, "cadhost")]
        if not args.no_module:
            self.cadhost += ["--load", os.path.join(args.bin, "KSRRivlet.arx")]
        self.saves = args.saves
        self.copies = [os.path.join(folder, f"copy{i}.dxf") for i in range(args.saves)]
        self.open_script = os.path.join(folder, "open.scr")
        self.save_script = os.path.join(folder, "save.scr")
        with open(self.open_script, "w") as f:
            f.write("QUIT\n")
        with open(self.save_script, "w") as f:
            f.write("".join(f"SAVEAS\n{c}\n" for c in self.copies) + "QUIT\n")
        self.env = dict(os.environ, CADHOST_PREFIX=os.path.join(folder, "prefix"))


class Measure:
    """The processes of one drawing and the best times and peaks they have shown so far."""

    def __init__(self, work, python, path):
        self.work = work
        self.path = path
        self.peer = [python, os.path.join(HERE, "dxf_ezdxf_process.py"), path]
        self.best = {}
        self.peak = {"cadhost": 0, "ezdxf": 0}

    def keep(self, key, result, who=None):
        seconds, kb = result
        self.best[key] = min(self.best.get(key, 1e9), seconds)
        if who:
            self.peak[who] = max(self.peak[who], kb)

    def cadhost_round(self):
        w = self.work
        self.keep("cadhost open", run(w.cadhost + ["-b", w.open_script, self.path], w.env))
        self.keep("cadhost both", run(w.cadhost + ["-b", w.save_script, self.path], w.env),
                  "cadhost")
        for c in w.copies:
            if not os.path.exists(c):
                raise SystemExit(f"cadhost did not save {self.path} as {c}")
            os.remove(c)

    def ezdxf_round(self):
        copy = self.work.copies[0]
        self.keep("ezdxf open", run(self.peer))
        self.keep("ezdxf both", run(self.peer + [copy]), "ezdxf")
        os.remove(copy)

    def result(self):
        """{who: (open s, save s, peak MB)}"""
        out = {}
        for who, saves in (("cadhost", self.work.saves), ("ezdxf", 1)):
            save = max(0.0, self.best[who + " both"] - self.best[who + " open"]) / saves
            out[who] = (self.best[who + " open"], save, self.peak[who] / 1024.0)
        return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--bin", default=os.path.join(ROOT, "build", "default", "bin"))
    parser.add_argument("--cache", default=None)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--cadhost-runs", type=int, default=3)
    parser.add_argument("--save-to", default=None)
    parser.add_argument("--saves", type=int, default=3)
    parser.add_argument("--no-module", action="store_true")
    parser.add_argument("--only", default="")
    parser.add_argument("--corpus", type=int, default=3)
    parser.add_argument("--python", default=None)
    args = parser.parse_args()
    if args.cache is None:
        args.cache = os.path.join(os.path.dirname(os.path.abspath(args.bin)), "bench-cache")
    python = args.python or find_python()
    if not python:
        raise SystemExit("no python3 on PATH imports ezdxf (give one with --python)")

    with open("/proc/loadavg") as f:
        load = f.read().split()[:3]
    if args.saves < 1:
        raise SystemExit("--saves must be at least 1")
    if args.runs < 1 or args.cadhost_runs < 1:
        raise SystemExit("--runs and --cadhost-runs must be at least 1")
    print(f"load average {' '.join(load)}; {args.runs} rounds, each with "
          f"{args.cadhost_runs} runs of cadhost and one of ezdxf; best times, "
          f"{args.saves} saves a cadhost process; "
          f"{'without' if args.no_module else 'with'} the module loaded")
    header = (f"{'drawing':<28}{'MB':>7} | {'open s':>7}{'save s':>7}{'peak MB':>8}{'x file':>7}"
              f" | {'ezdxf open':>10}{'save':>7}{'peak MB':>8} | {'open x':>7}{'save x':>7}")
    print(header)
    print("-" * len(header))
    results = {}
    with tempfile.TemporaryDirectory(prefix="bench-dxf-", dir=args.save_to) as folder:
        work = Work(args, folder)
        chosen = drawings(args, python)
        measures = [Measure(work, python, path) for _, path in chosen]
        # Within a round, cadhost goes over every drawing in turn (--cadhost-runs times), then
        # ezdxf: cadhost's runs of a drawing and of its double lie seconds apart, never one in
        # a quiet stretch of the machine and the other in a busy one.
        for round_ in range(args.runs):
            print(f"round {round_ + 1} of {args.runs}: cadhost", file=sys.stderr, flush=True)
            for _ in range(args.cadhost_runs):
                for m in measures:
                    m.cadhost_round()
            for (name, _), m in zip(chosen, measures):
                print(f"round {round_ + 1} of {args.runs}: ezdxf {name}", file=sys.stderr,
                      flush=True)
                m.ezdxf_round()
        for (name, path), m in zip(chosen, measures):
            mb = os.path.getsize(path) / 1e6
            r = results[name] = m.result()
            c, e = r["cadhost"], r["ezdxf"]
            print(f"{name:<28}{mb:7.1f} | {c[0]:7.3f}{c[1]:7.3f}{c[2]:8.1f}{c[2] / mb:7.2f}"
                  f" | {e[0]:10.3f}{e[1]:7.3f}{e[2]:8.1f}"
                  f" | {e[0] / c[0]:7.1f}{e[1] / max(c[1], 1e-3):7.1f}", flush=True)
    for small, big in (("mtext60k", "mtext120k"), ("sheets30", "sheets60")):
        if small in results and big in results:
            a, b = results[small]["cadhost"], results[big]["cadhost"]
            print(f"{big} / {small}: open {b[0] / a[0]:.2f}x, save {b[1] / max(a[1], 1e-3):.2f}x,"
                  f" peak {b[2] / a[2]:.2f}x")


if __name__ == "__main__":
    main()
