#!/usr/bin/python3
"""ezdxf's open (ezdxf.readfile) and save (doc.saveas) of one drawing, the peer figures of
bench_dxf: prints the best save and open seconds of at least RUNS runs on one line.

usage: bench_dxf_ezdxf.py FILE.dxf [RUNS]
"""

import os
import sys
import tempfile
import time

import ezdxf


def best(runs, work):
    """The best of at least RUNS runs and of as many more as fit in half a second."""
    times = []
    while len(times) < runs or (sum(times) < 0.5 and len(times) < 50):
        start = time.perf_counter()
        work()
        times.append(time.perf_counter() - start)
    return min(times)


def main(path, runs):
    open_seconds = best(runs, lambda: ezdxf.readfile(path))
    doc = ezdxf.readfile(path)
    with tempfile.TemporaryDirectory() as folder:
        target = os.path.join(folder, "saved.dxf")
        save_seconds = best(runs, lambda: doc.saveas(target))
    print(f"{save_seconds:.6f} {open_seconds:.6f}")


if __name__ == "__main__":
    if len(sys.argv) not in (2, 3):
        raise SystemExit(__doc__)
    main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) == 3 else 5)
