#!/usr/bin/env python3
"""Writes the seed corpora of fuzz/corpus from the samples, from what vanto-cli
writes for them and from a few hostile files. Run from the project root after
a build: scripts/fuzz_seeds.py build/bin/vanto-cli"""
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

root = pathlib.Path(__file__).resolve().parent.parent
cli = pathlib.Path(sys.argv[1]).resolve()
corpus = root / "fuzz" / "corpus"
MAX = 48 * 1024  # bytes per seed: keeps the corpus small and the fuzzer fast


def seed(reader, name, data):
    if isinstance(data, str):
        data = data.encode()
    if len(data) > MAX:
        return
    d = corpus / reader
    d.mkdir(parents=True, exist_ok=True)
    (d / name).write_bytes(data)


def joined(*parts):
    return b"\0".join(parts)


def cr_only(data):
    return data.replace(b"\r\n", b"\r")


work = pathlib.Path(tempfile.mkdtemp())
for sample in sorted((root / "samples").glob("-*")):
    name = sample.name[1:].lower()
    s = work / sample.name
    shutil.copytree(sample, s)
    run = lambda *a: subprocess.run([str(cli), *a], capture_output=True)
    run("calc", str(s))
    run("list", str(s))
    run("export-dxf", str(s), str(work / name))
    f = lambda n: (s / n).read_bytes()
    datos = f("DATOS.DAT")
    seed("datos", name, datos)
    for reader, file in [("coordena", "COORDENA.DAT"), ("barras", "BARRAS.DAT"),
                         ("cargas", "CARGAS.DAT"), ("coaccion", "COACCION.DAT")]:
        seed(reader, name, joined(datos, f(file)))
        seed(reader, name + "-cr", cr_only(joined(datos, f(file))))
    seed("tipos", name, f("TIPOS.DAT"))
    seed("results", name,
         joined(datos, f("INCOG.RES"), f("ESFUERZO.RES"), f("DESEQUIL.RES")))
    seed("listing", name, f("listado.txt"))
    seed("listing", name + "-cr", cr_only(f("listado.txt")))
    for dxf in work.glob(name + "*.DXF"):
        seed("dxf", dxf.name.lower(), dxf.read_bytes())
shutil.rmtree(work)

v = b'"Vanto 2.11"\r\n'
seed("datos", "many-bars", b'"Vanto 2.11",1,100000000')
seed("datos", "other-version", b'"Vanto 3.0"\r\n1\r\n1\r\n')
seed("datos", "negative", v + b"-1\r\n2\r\n")
seed("datos", "cr-only", b'"Vanto 2.11"\r2\r1\r')
seed("coordena", "many-nodes", joined(b'"Vanto 2.11",100000000,1', b"0\r\n1\r\n"))
seed("coordena", "decimal-comma", joined(v + b"2\r\n1\r\n", b"0\r\n6,5\r\n0\r\n0\r\n0\r\n0\r\n"))
seed("coordena", "too-large", joined(v + b"1\r\n0\r\n", b"1e39\r\n0\r\n0\r\n"))
seed("coordena", "missing", v + b"1\r\n0\r\n")
seed("barras", "many-bars", joined(b'"Vanto 2.11",1,100000000', b"1,2,1,0,0,0,0,0,1,1\r\n"))
seed("tipos", "quoted-name", b'h\r\n1\r\n1 2 3 4 5 6 7 8 9 "Viga ""V1"""\r\n')
seed("tipos", "cr-only", b'cabecera\r1\r  10.0 1 2 3 2100000 0.30 2600 7850 0.012 "a b"\r')
seed("tipos", "extra-type", b'h\r\n1\r\n1 2 3 4 5 6 7 8 9 "a"\r\n1 2 3 4 5 6 7 8 9 "b"\r\n')
seed("tipos", "many-types", b'h\r\n32767\r\n1 2 3 4 5 6 7 8 9 "a"\r\n')
seed("nombre", "plain", b'"/"\r\n"/home/obras"\r\n"Nave"\r\n"/home/obras/-Nave"\r\n""\r\n2\r\n')
seed("nombre", "quotes", b'"/"\r\n"/o/""A"""\r\n"Nave ""A"""\r\n"/o/""A""/-Nave ""A"""\r\n""""\r\n1\r\n')
seed("nombre", "five-lines", b'"/","/w","A","/w/-A","x"')
seed("nombre", "open-quote", b'"/"\r\n"/w\r\n')
seed("nombre", "empty-drive", b'""\r\n"/w"\r\n')
seed("results", "short", joined(v + b"1\r\n1\r\n", b"0\r\n", b"1\r\n", b"2\r\n"))
seed("dxf", "corner", "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n30\n0\n11\n1\n21\n0\n31\n0\n"
     "0\n3dline\n10\n1\n20\n0\n30\n0\n11\n1\n21\n1\n31\n0\n0\nENDSEC\n0\nEOF\n")
seed("dxf", "far", "".join(f"0\nLINE\n10\n{k}e17\n20\n0\n11\n{k}.5e17\n21\n0\n" for k in range(1, 9))
     + "0\nEOF\n")
seed("dxf", "cr-only", "0\rLINE\r10\r0\r20\r0\r11\r2\r21\r0\r0\rEOF\r")
seed("dxf", "no-eof", "0\nLINE\n10\n0\n11\n1\n0\nENDSEC\n")

frames = (root / "tests" / "exchange" / "frames_test.cpp").read_text()
for reader, var in [("frame-single", "singleCase"), ("frame-four", "fourCase")]:
    body = re.search(r"const std::string " + var + r" =\n(.*?);\n", frames, re.S).group(1)
    text = "".join(re.findall(r'"((?:[^"\\]|\\.)*)"', body))
    text = text.encode().decode("unicode_escape").encode("latin-1")
    seed(reader, "test", text)
    seed(reader, "cr-only", cr_only(text))
    seed(reader, "many", re.sub(rb"\n\S+ \S+ \S+", b"\n900000000 9 9", text, count=1))

for help_doc in (root / "resources" / "help").glob("*.rtf"):
    seed("rtf", help_doc.stem, help_doc.read_bytes())
seed("rtf", "small", rb"{\rtf1\ansi{\fonttbl{\f0 Arial;}}{\colortbl;\red255\green0\blue0;}"
     rb"\f0\fs24 Hola {\b negrita} \cf1 rojo\par\'e1\u241?\tab fin}")
seed("rtf", "unbalanced", rb"{\rtf1 {{{\b x")

# Load cases: a portal frame's three cases and two combinations, and files
# that do not fit.
cases_datos = v + b"4\r\n3\r\n"
hipotesi = b'3\r\n"Permanente"\r\n"Viento ""X"""\r\n"Temperatura"\r\n'
cargas = b"".join(b"1.25\r\n" if i == 6 else b"0\r\n" for i in range(24))
cargabar = b"0,0,-0.5,0\r\n" * 3
combina = b'2\r\n"ELU"\r\n1.35,1.5,0\r\n"Servicio"\r\n1,0.6,1\r\n'
seed("cases", "two", joined(cases_datos, b'2\r\n"G"\r\n"Q"\r\n', cargas, cargabar,
                            b'1\r\n"ELU"\r\n1.35,1.5\r\n'))
seed("cases", "missing-case", joined(cases_datos, hipotesi, cargas, cargabar, combina))
seed("cases", "too-many", joined(cases_datos, b"100\r\n", b"", b"", b"0\r\n"))
seed("cases", "factors", joined(cases_datos, b'2\r\n"G"\r\n"Q"\r\n', cargas, cargabar,
                                b'1\r\n"ELU"\r\n1\r\n'))
seed("cases", "one-named", joined(cases_datos, b'1\r\n"Peso\r\npropio"\r\n', b"", b"",
                                  b'1\r\n"Solo"\r\n2\r\n'))
