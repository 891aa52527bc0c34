"""Reads the results DXF that vanto-cli writes for the sample portal with
ezdxf, an independent reader: the layer table, the entities of each layer and
the moment diagram of the beam against DIAGRAMA.RES.

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
LAYERS_3D = ["000", "NumNudos", "NumBarras", "Barras", "CargaN", "CoaccionG", "CoaccionD",
             "AxilX", "CortY", "CortZ", "TorsX", "FlectY", "FlectZ", "Deformada",
             "EjeLocalXY", "EjeLocalZ", "CargaB"]
LAYERS_2D = ["000", "NumNudos", "NumBarras", "Barras", "AxilX", "CortY", "CortZ", "TorsX",
             "FlectY", "FlectZ", "DeformadaY", "DeformadaZ"]
DIAGRAMS = ["AxilX", "CortY", "CortZ", "TorsX", "FlectY", "FlectZ"]


def values(path):
    with open(path, encoding="utf-8") as f:
        return [float(v) for v in f.read().replace(",", " ").split()]


def structure(d):
    with open(os.path.join(d, "DATOS.DAT"), encoding="utf-8") as f:
        nodes, bars = [int(v) for v in f.read().split()[-2:]]
    xyz = values(os.path.join(d, "COORDENA.DAT"))
    coords = [(xyz[n], xyz[nodes + n], xyz[2 * nodes + n]) for n in range(nodes)]
    b = values(os.path.join(d, "BARRAS.DAT"))
    bar_rows = [b[10 * k:10 * k + 10] for k in range(bars)]
    loads = values(os.path.join(d, "CARGAS.DAT"))
    restraints = values(os.path.join(d, "COACCION.DAT"))
    return coords, bar_rows, loads, restraints


def expected_counts(d):
    coords, bars, loads, restraints = structure(d)
    B, N = len(bars), len(coords)
    c3 = {"000": 1, "NumNudos": N, "NumBarras": B, "Barras": B, "Deformada": 10 * B,
          "EjeLocalXY": 2 * B, "EjeLocalZ": B}
    c3["CargaN"] = sum(5 if k % 6 < 3 else 3 for k, v in enumerate(loads) if v != 0)
    c3["CoaccionD"] = sum(3 for k, v in enumerate(restraints) if k % 6 < 3 and v != 1234)
    c3["CoaccionG"] = sum(2 for k, v in enumerate(restraints) if k % 6 >= 3 and v != 1234)
    c3["CargaB"] = 0
    for row in bars:
        L = math.dist(coords[int(row[0]) - 1], coords[int(row[1]) - 1])
        for q in row[4:7]:
            if q != 0:
                c3["CargaB"] += 3 + sum(1 for k in range(1, 1000) if 0.2 * k < L)
    step = 0.25
    while not 2.4 / (S * step) < 14:
        step *= 2
    ticks = sum(1 for k in range(1, 100) if k * S * step < 2.4 - 0.09)
    c2 = {"000": 1 + B * (5 + 1 + 2 * (1 + 2 * ticks) + 1), "NumNudos": 2 * B,
          "NumBarras": B, "Barras": B, "DeformadaY": 10 * B, "DeformadaZ": 10 * B}
    for name in DIAGRAMS:
        c3[name] = c2[name] = 12 * B
    return c3, c2


def beam_moments(d, bar):
    """Mz at the eleven points of `bar` as DIAGRAMA.RES lists them."""
    with open(os.path.join(d, "DIAGRAMA.RES"), encoding="utf-8") as f:
        lines = f.read().splitlines()
    start = lines.index("Barra%4d" % bar)
    return [float(line.split()[6]) for line in lines[start + 1:start + 12]]


def check(path, layers, counts):
    doc = ezdxf.readfile(path)
    table = {layer.dxf.name: layer for layer in doc.layers}
    colours = [table[name].dxf.color for name in layers]
    for name in layers:
        assert name in table, f"{path}: layer {name} not in the table"
        assert table[name].dxf.linetype == "CONTINUOUS", f"{path}: {name} line type"
    assert len(set(colours)) == len(colours), f"{path}: layer colours repeat: {colours}"
    found = {}
    for e in doc.modelspace():
        assert e.dxftype() in ("LINE", "TEXT"), f"{path}: {e.dxftype()}"
        assert not e.dxf.hasattr("color"), f"{path}: an entity with its own colour"
        found[e.dxf.layer] = found.get(e.dxf.layer, 0) + 1
    assert found == counts, f"{path}: entities per layer {found}, expected {counts}"
    print(f"{os.path.basename(path)}: {sum(found.values())} entities on {len(found)} layers")
    return doc


def main():
    cli, samples, work = sys.argv[1:4]
    shutil.rmtree(work, ignore_errors=True)
    d = os.path.join(work, "-Portico")
    shutil.copytree(os.path.join(samples, "-Portico"), d)
    subprocess.run([cli, "calc", d], check=True, stdout=subprocess.DEVNULL)
    subprocess.run([cli, "diagrams", d, "--scale", str(S)], check=True, stdout=subprocess.DEVNULL)
    c3, c2 = expected_counts(d)
    doc3 = check(os.path.join(d, "Resul-3D.dxf"), LAYERS_3D, c3)
    doc2 = check(os.path.join(d, "Resul-2D.dxf"), LAYERS_2D, c2)

    # Bar 2 runs from (0, 0, 4) to (6, 0, 4) with local y up: its bending
    # moment Mz is drawn at −S·Mz along local y; in its sheet (the second of
    # the first column) at ya − S·Mz from x0 = 0.5, ya = 42.5.
    mz = beam_moments(d, 2)
    lines3 = [e for e in doc3.modelspace() if e.dxf.layer == "FlectZ"][12:24]
    lines2 = [e for e in doc2.modelspace() if e.dxf.layer == "FlectZ"][12:24]
    tol = S * 0.0005 + 1e-5
    for i, m in enumerate(mz):
        x = 0.6 * i
        end3, end2 = lines3[i].dxf.end, lines2[i].dxf.end
        assert math.isclose(end3.x, x, abs_tol=1e-5) and abs(end3.y) < 1e-5, (i, end3)
        assert math.isclose(end3.z, 4 - S * m, abs_tol=tol), (i, end3, m)
        assert math.isclose(end2.x, 0.5 + x, abs_tol=1e-5), (i, end2)
        assert math.isclose(end2.y, 42.5 - S * m, abs_tol=tol), (i, end2, m)
    assert tuple(lines3[11].dxf.end) == (6, 0, 4) and tuple(lines2[11].dxf.end)[:2] == (6.5, 42.5)
    print("bar 2: moment diagram at", len(mz), "points as DIAGRAMA.RES")


if __name__ == "__main__":
    main()
