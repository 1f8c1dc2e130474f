#!/usr/bin/env python3
"""Makes pairs of large units with many scattered edits, for timing whole processes.

    bench/scattered_edits.py OUTDIR [--root DIR] [--units N] [--edits K] [--seed S]

Takes the N largest .pp/.pas units under ROOT (Debian's fpc-source by default) that hold at
least K plain statement lines, copies each to OUTDIR/old/NAME and writes OUTDIR/new/NAME with K
edits spread evenly over the file: deleted, replaced and inserted statements in the ratio
5 : 3 : 3. Only assignments that open or close no block are touched, so the edited unit parses
as far as the original does. The same seed gives the same pairs. Prints one line a pair.
"""
import argparse
import os
import random
import re
import sys

BLOCK_WORD = re.compile(
    rb"\b(begin|end|case|try|asm|except|finally|record|class|object|interface)\b", re.I)


def plain_statement(line):
    s = line.rstrip(b"\r\n").rstrip()
    if b":=" not in s or not s.endswith(b";"):
        return False
    if b"{" in s or b"(*" in s or b"'" in s or b"//" in s:
        return False
    return not BLOCK_WORD.search(s)


def units_by_size(root):
    found = []
    for folder, _, names in os.walk(root):
        for n in names:
            if n.lower().endswith((".pp", ".pas")):
                p = os.path.join(folder, n)
                found.append((os.path.getsize(p), p))
    found.sort(key=lambda t: (-t[0], t[1]))
    return [p for _, p in found]


def edit(lines, statements, edits, rng):
    """The lines with `edits` edits at statements spread evenly, and the counts made."""
    step = len(statements) / edits
    offset = rng.random() * step
    chosen = {statements[int(offset + k * step)]: rng.choice("ddddd" "ccc" "iii")
              for k in range(edits)}
    eol = b"\r\n" if lines and lines[0].endswith(b"\r\n") else b"\n"
    out, counts = [], {"d": 0, "c": 0, "i": 0}
    for i, line in enumerate(lines):
        kind = chosen.get(i)
        if kind:
            counts[kind] += 1
        if kind == "d":
            continue
        if kind == "c":
            out.append(b"    BenchChanged := %d;%s" % (counts["c"], eol))
            continue
        out.append(line)
        if kind == "i":
            indent = line[:len(line) - len(line.lstrip())]
            out.append(b"%sBenchInserted := %d;%s" % (indent, counts["i"], eol))
    return out, counts


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("outdir")
    ap.add_argument("--root", default="/usr/share/fpcsrc")
    ap.add_argument("--units", type=int, default=5)
    ap.add_argument("--edits", type=int, default=40)
    ap.add_argument("--seed", type=int, default=1)
    a = ap.parse_args()
    if a.units < 1 or a.edits < 1:
        sys.exit("scattered_edits: --units and --edits must be at least 1")
    rng = random.Random(a.seed)
    os.makedirs(os.path.join(a.outdir, "old"), exist_ok=True)
    os.makedirs(os.path.join(a.outdir, "new"), exist_ok=True)
    made = 0
    for path in units_by_size(a.root):
        if made == a.units:
            break
        with open(path, "rb") as f:
            lines = f.read().splitlines(keepends=True)
        statements = [i for i, l in enumerate(lines) if plain_statement(l)]
        if len(statements) < a.edits:
            continue
        edited, counts = edit(lines, statements, a.edits, rng)
        name = os.path.basename(path)
        with open(os.path.join(a.outdir, "old", name), "wb") as f:
            f.writelines(lines)
        with open(os.path.join(a.outdir, "new", name), "wb") as f:
            f.writelines(edited)
        print("%s: %d lines, -%d ~%d +%d (from %s)" %
              (name, len(lines), counts["d"], counts["c"], counts["i"], path))
        made += 1
    if made < a.units:
        sys.exit("scattered_edits: only %d units under %s have %d statements" %
                 (made, a.root, a.edits))


if __name__ == "__main__":
    main()
