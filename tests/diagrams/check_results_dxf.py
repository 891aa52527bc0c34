"""Reads the results DXF that vanto-cli writes for the sample portal at scale
0.5 with ezdxf, an independent reader: the layer table, the entities of each
layer and the beam's moment diagram against DIAGRAMA.RES.

Usage: check_results_dxf.py VANTO_CLI SAMPLES WORK_DIRECTORY
"""
import math
import os
import shutil
import subprocess
import sys

try:
    import ezdxf
except ImportError:
    # Required wherever Debian's python3-ezdxf can be installed (scripts/setup.sh).
    installable = shutil.which("apt-cache") and subprocess.run(
        ["apt-cache", "show", "python3-ezdxf"], capture_output=True).returncode == 0
    print("ezdxf missing: " + ("install python3-ezdxf" if installable else "test skipped"))
    sys.exit(1 if installable else 77)

S = 0.5
# Three bars, four nodes. Per bar: 12 lines per diagram, 10 per deflection
# curve. 3D: a 2 t node force (5 lines), two fixed nodes (3 × 3 and 3 × 2
# lines), the 6 m beam's load (3 lines and 29 hatches). 2D "000": the scale
# text, and per sheet 5 lines, its number, 19 ruler ticks with their labels
# (step 0.5) and the unit label.
DIAGRAMS = {name: 36 for name in ("AxilX", "CortY", "CortZ", "TorsX", "FlectY", "FlectZ")}
COUNTS_3D = dict(DIAGRAMS, **{"000": 1, "NumNudos": 4, "NumBarras": 3, "Barras": 3,
                              "CargaN": 5, "CoaccionD": 18, "CoaccionG": 12, "CargaB": 32,
                              "Deformada": 30, "EjeLocalXY": 6, "EjeLocalZ": 3})
COUNTS_2D = dict(DIAGRAMS, **{"000": 1 + 3 * (5 + 1 + 2 * 19 + 1), "NumNudos": 6,
                              "NumBarras": 3, "Barras": 3, "DeformadaY": 30, "DeformadaZ": 30})


def check(path, counts):
    doc = ezdxf.readfile(path)
    table = {layer.dxf.name: layer for layer in doc.layers}
    for name in counts:
        assert name in table, f"{path}: layer {name} not in the table"
        assert table[name].dxf.linetype == "CONTINUOUS", f"{path}: {name} line type"
    colours = [table[name].dxf.color for name in counts]
    assert len(set(colours)) == len(colours), f"{path}: layer colours repeat: {colours}"
    found = {}
    for e in doc.modelspace():
        assert e.dxftype() in ("LINE", "TEXT") and not e.dxf.hasattr("color"), e
        found[e.dxf.layer] = found.get(e.dxf.layer, 0) + 1
    assert found == counts, f"{path}: entities per layer {found}, expected {counts}"
    # The beam, bar 2, is the second dozen of lines of each diagram.
    return [e.dxf.end for e in doc.modelspace() if e.dxf.layer == "FlectZ"][12:24]


def main():
    cli, samples, work = sys.argv[1:4]
    shutil.rmtree(work, ignore_errors=True)
    d = os.path.join(work, "-Portico")
    shutil.copytree(os.path.join(samples, "-Portico"), d)
    subprocess.run([cli, "calc", d], check=True, stdout=subprocess.DEVNULL)
    subprocess.run([cli, "diagrams", d, "--scale", str(S)], check=True, stdout=subprocess.DEVNULL)
    ends3 = check(os.path.join(d, "Resul-3D.dxf"), COUNTS_3D)
    ends2 = check(os.path.join(d, "Resul-2D.dxf"), COUNTS_2D)

    with open(os.path.join(d, "DIAGRAMA.RES"), encoding="utf-8") as f:
        lines = f.read().splitlines()
    start = lines.index("Barra   2")
    mz = [float(line.split()[6]) for line in lines[start + 1:start + 12]]
    # Bar 2 runs from (0, 0, 4) to (6, 0, 4) with local y up: Mz is drawn at
    # −S·Mz along local y; in its sheet (second of the first column) at
    # ya − S·Mz from x0 = 0.5, ya = 42.5.
    tol = S * 0.0005 + 1e-5
    for i, m in enumerate(mz):
        assert math.dist(ends3[i], (0.6 * i, 0, 4 - S * m)) < tol, (i, ends3[i], m)
        assert math.dist(ends2[i], (0.5 + 0.6 * i, 42.5 - S * m, 0)) < tol, (i, ends2[i], m)
    assert tuple(ends3[11]) == (6, 0, 4) and tuple(ends2[11]) == (6.5, 42.5, 0)
    print("Resul-3D.dxf and Resul-2D.dxf: layers, entities and the beam's moments as expected")


if __name__ == "__main__":
    main()
