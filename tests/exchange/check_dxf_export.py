"""Opens the structure DXF written by the export with ezdxf, an independent
reader, and checks entities, layers, colours and coordinates.

Usage: check_dxf_export.py SAMPLE_PROGRAM WORK_DIRECTORY
"""
import os
import subprocess
import sys

import ezdxf

# Bars of the sample: (origin point, end point, bar type).
NODES = {1: (0, 0, 0), 2: (0, 0, 3.5), 3: (6.25, -1.5, 3.5), 4: (6.25, -1.5, 0)}
BARS = [(1, 2, 1), (2, 3, 14), (4, 3, 15), (1, 3, 27)]
BYLAYER = 256


def check(path, colour_by_type):
    # The file has no HEADER or TABLES section; ezdxf.readfile accepts it as it
    # is (no recover mode needed) and defaults the rest.
    doc = ezdxf.readfile(path)
    lines = list(doc.modelspace().query("LINE"))
    others = [e.dxftype() for e in doc.modelspace() if e.dxftype() != "LINE"]
    assert not others, f"{path}: unexpected entities {others}"
    assert len(lines) == len(BARS), f"{path}: {len(lines)} LINE entities, expected {len(BARS)}"
    for line, (a, b, bar_type) in zip(lines, BARS):
        assert line.dxf.layer == "0", f"{path}: layer {line.dxf.layer!r}"
        start, end = tuple(line.dxf.start), tuple(line.dxf.end)
        assert start == NODES[a] and end == NODES[b], f"{path}: {start} {end} for bar {a}-{b}"
        expected = bar_type % 14 + 1 if colour_by_type else BYLAYER
        assert line.dxf.color == expected, f"{path}: colour {line.dxf.color}, expected {expected}"
        assert line.dxf.hasattr("color") == colour_by_type
    print(f"{os.path.basename(path)}: {len(lines)} lines")


def main():
    program, work = sys.argv[1], sys.argv[2]
    os.makedirs(work, exist_ok=True)
    subprocess.run([program, work], check=True)
    check(os.path.join(work, "sample-mono.DXF"), False)
    check(os.path.join(work, "sample-colour.DXF"), True)


if __name__ == "__main__":
    main()
