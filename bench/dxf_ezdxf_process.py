#!/usr/bin/python3
"""ezdxf as a whole process, the peer of `cadhost -b SCRIPT FILE.dxf` in bench_dxf_files.py:
reads FILE.dxf (ezdxf.readfile) and, given OUT.dxf, saves it there (doc.saveas).

usage: dxf_ezdxf_process.py FILE.dxf [OUT.dxf]
"""

import sys

import ezdxf

if __name__ == "__main__":
    if len(sys.argv) not in (2, 3):
        raise SystemExit(__doc__)
    doc = ezdxf.readfile(sys.argv[1])
    if len(sys.argv) == 3:
        doc.saveas(sys.argv[2])
