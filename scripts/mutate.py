#!/usr/bin/env python3
"""A small mutation run: how many deliberate slips in src/ do the tests catch?

Each mutant flips one operator or constant on one line of a source file,
rebuilds the test programs and runs the whole suite; a mutant is caught when a
test fails or the suite times out, stillborn when it does not compile.

  scripts/mutate.py pick  --count 40 --seed 7 > mutants.json
  scripts/mutate.py run   mutants.json --build build > report.txt

`pick` chooses mutants from the tree as it is; `run` applies each mutant by
finding its exact original line anywhere under src/ (so code that moved to
another file is still mutated), and reports mutants whose line is gone. Run the
same list on two versions of the tree to compare what their tests catch.
"""

import argparse
import json
import os
import random
import re
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
# The logic that tests can reach without a display; the Qt layer is left out.
SUBSYSTEMS = ["model", "analysis", "renumber", "reports", "bartypes", "exchange", "view",
              "editor", "diagrams", "viewer", "mainwin"]

# (pattern, replacement) pairs; each is tried at every match on a line.
OPERATORS = [
    (r" \+ ", " - "), (r" - ", " + "), (r" \* ", " / "), (r" / ", " * "),
    (r" < ", " <= "), (r" <= ", " < "), (r" > ", " >= "), (r" >= ", " > "),
    (r" == ", " != "), (r" != ", " == "), (r" && ", " || "), (r" \|\| ", " && "),
    (r"\btrue\b", "false"), (r"\bfalse\b", "true"),
    (r"\+\+", "--"),
]
NUMBER = re.compile(r"(?<![\w.])(\d+\.\d*|\d+)(?![\w.])")


def source_files():
    for sub in SUBSYSTEMS:
        for path in sorted((ROOT / "src" / sub).glob("*.cpp")):
            yield path


def skippable(line):
    s = line.strip()
    return (not s or s.startswith(("//", "#", "*", "/*")) or '"' in s or "'" in s
            or s.startswith(("static_assert", "assert")))


def mutations_of(line):
    code = line.split("//")[0]
    for pattern, repl in OPERATORS:
        for m in re.finditer(pattern, code):
            yield line[:m.start()] + repl + line[m.end():]
    for m in NUMBER.finditer(code):
        text = m.group(1)
        if "." in text:
            new = repr(float(text) * 2) if float(text) != 0 else "1.0"
        else:
            new = str(int(text) + 1)
        yield line[:m.start()] + new + line[m.end():]


def pick(args):
    sites = []
    for path in source_files():
        for number, line in enumerate(path.read_text().splitlines(), 1):
            if skippable(line):
                continue
            for mutated in mutations_of(line):
                sites.append({"file": str(path.relative_to(ROOT)), "line": number,
                              "original": line, "mutated": mutated})
    chosen = random.Random(args.seed).sample(sites, min(args.count, len(sites)))
    chosen.sort(key=lambda s: (s["file"], s["line"]))
    json.dump(chosen, sys.stdout, indent=1, ensure_ascii=False)
    print(f"{len(chosen)} of {len(sites)} sites", file=sys.stderr)


def locate(mutant):
    """The file and line index holding the mutant's original line, or None."""
    preferred = ROOT / mutant["file"]
    candidates = ([preferred] if preferred.exists() else []) + [
        p for p in source_files() if p != preferred]
    for path in candidates:
        lines = path.read_text().splitlines(keepends=True)
        for i, line in enumerate(lines):
            if line.rstrip("\r\n") == mutant["original"]:
                return path, lines, i
    return None


def test_targets(build):
    out = subprocess.run(["ctest", "--test-dir", build, "--show-only=json-v1"],
                         capture_output=True, text=True, check=True).stdout
    names = set()
    for test in json.loads(out)["tests"]:
        command = test.get("command") or []
        exe = Path(command[0]).name if command else ""
        if exe and not exe.startswith("python"):
            names.add(exe)
    names.add("vanto-cli")
    known = subprocess.run(["ninja", "-C", build, "-t", "targets", "all"],
                           capture_output=True, text=True).stdout
    return sorted(n for n in names if re.search(rf"^{re.escape(n)}:", known, re.M))


def run(args):
    mutants = json.loads(Path(args.mutants).read_text())
    build = args.build
    targets = test_targets(build)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    counts = {"caught": 0, "survived": 0, "stillborn": 0, "gone": 0}
    started = time.time()
    for n, mutant in enumerate(mutants, 1):
        found = locate(mutant)
        if not found:
            verdict = "gone"
        else:
            path, lines, i = found
            original = path.read_text()
            ending = lines[i][len(lines[i].rstrip("\r\n")):]
            lines[i] = mutant["mutated"] + ending
            path.write_text("".join(lines))
            try:
                built = subprocess.run(["cmake", "--build", build, "--target", *targets],
                                       capture_output=True, env=env).returncode == 0
                if not built:
                    verdict = "stillborn"
                else:
                    tested = subprocess.run(
                        ["ctest", "--test-dir", build, "-j2", "--timeout", str(args.timeout),
                         "--stop-on-failure"], capture_output=True, env=env)
                    verdict = "caught" if tested.returncode != 0 else "survived"
            finally:
                path.write_text(original)
        counts[verdict] += 1
        where = f"{mutant['file']}:{mutant['line']}"
        print(f"{n:3d} {verdict:9s} {where}  {mutant['original'].strip()}  ->  "
              f"{mutant['mutated'].strip()}", flush=True)
    subprocess.run(["cmake", "--build", build, "--target", *targets], capture_output=True)
    live = counts["caught"] + counts["survived"]
    share = counts["caught"] / live if live else 0.0
    print(f"caught {counts['caught']} of {live} live mutants ({share:.1%}); "
          f"stillborn {counts['stillborn']}, gone {counts['gone']}; "
          f"{time.time() - started:.0f} s")


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)
    p = sub.add_parser("pick", help="choose mutants from the tree as it is")
    p.add_argument("--count", type=int, default=40)
    p.add_argument("--seed", type=int, default=7)
    r = sub.add_parser("run", help="build and test every mutant of a list")
    r.add_argument("mutants")
    r.add_argument("--build", default=str(ROOT / "build"))
    r.add_argument("--timeout", type=int, default=120, help="seconds per test")
    args = parser.parse_args()
    pick(args) if args.command == "pick" else run(args)


if __name__ == "__main__":
    main()
