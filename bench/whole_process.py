#!/usr/bin/env python3
"""Times quennet-diff as a user does, from fork to exit, against its peers in the same run.

    bench/whole_process.py [--cli PATH] [--timer PATH] [--peer PATH] [--pairs DIR]
                           [--models N] [--rounds R]

- --model on the N largest fpc-source units (default 15), one process a file, against the
  tree-sitter Pascal parser (bench/peer/peer_timer, made by bench/build_peer.sh) on the same file;
- the comparison of each pair under DIR (made by bench/scattered_edits.py) and of the example
  pair against `git diff --no-index`;
- --map on the same pairs against `git diff --no-index --histogram`.

Each command is started by `diff_bench --peak-of` (a small, freshly started program, so a
process's peak is its own), which reports the wall time from fork to exit and the peak resident
set. The tools run in turn, R times each, and the medians are compared; a ratio below 1 means
quennet-diff took less time. Peaks are given above the peak of `quennet-diff --version` (the
process baseline) as a multiple of the input files' size; a unit's inputs are the unit and the
include files its model names.
"""
import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


def run(timer, argv):
    """(seconds, peak KB) of one run of argv, its output thrown away."""
    with tempfile.NamedTemporaryFile(prefix="whole-process-", delete=False) as f:
        report = f.name
    try:
        with open(os.devnull, "wb") as null:
            rc = subprocess.call([timer, "--peak-of", report, "600"] + argv,
                                 stdout=null, stderr=null)
        with open(report) as f:
            kb, seconds = f.read().split()
    finally:
        os.unlink(report)
    if rc > 2 or float(seconds) < 0:
        sys.exit("whole_process: %s failed (status %d)" % (" ".join(argv), rc))
    return float(seconds), int(kb)


def in_turn(timer, commands, rounds):
    """Each command's median seconds and largest peak, the commands run in turn."""
    times = [[] for _ in commands]
    peaks = [0 for _ in commands]
    for _ in range(rounds):
        for k, argv in enumerate(commands):
            s, kb = run(timer, argv)
            times[k].append(s)
            peaks[k] = max(peaks[k], kb)
    return [statistics.median(t) for t in times], peaks


def largest_units(root, n):
    found = []
    for folder, _, names in os.walk(root):
        for name in names:
            if name.lower().endswith((".pp", ".pas")):
                p = os.path.join(folder, name)
                found.append((os.path.getsize(p), p))
    found.sort(key=lambda t: (-t[0], t[1]))
    return [p for _, p in found[:n]]


def files_read(cli, unit):
    """The unit and the include files its --model names: the inputs of that process."""
    out = subprocess.run([cli, "--model", unit], stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL).stdout
    files = {os.path.abspath(unit)}
    stack = [json.loads(out)] if out else []
    while stack:
        v = stack.pop()
        if isinstance(v, dict):
            if isinstance(v.get("file"), str):
                files.add(os.path.abspath(v["file"]))
            stack.extend(v.values())
        elif isinstance(v, list):
            stack.extend(v)
    return sum(os.path.getsize(f) for f in files if os.path.isfile(f))


def ms(s):
    return "%.1f ms" % (s * 1000)


def above(peak, base, size):
    return "%.2fx" % (max(peak - base, 0) * 1024 / size)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--cli", default=os.path.join(ROOT, "build", "quennet-diff"))
    ap.add_argument("--timer", default=os.path.join(ROOT, "build", "bench", "diff_bench"))
    ap.add_argument("--peer", default=os.path.join(HERE, "peer", "peer_timer"))
    ap.add_argument("--pairs", default=None)
    ap.add_argument("--root", default="/usr/share/fpcsrc")
    ap.add_argument("--models", type=int, default=15)
    ap.add_argument("--rounds", type=int, default=7)
    a = ap.parse_args()
    for tool in (a.cli, a.timer):
        if not os.access(tool, os.X_OK):
            sys.exit("whole_process: %s is not built" % tool)
    q, t = os.path.abspath(a.cli), a.timer
    base = in_turn(t, [[q, "--version"]], 3)[1][0]
    print("quennet-diff %s; process baseline peak %d KB; medians of %d runs in turn\n" %
          (q, base, a.rounds))
    print("| workload | quennet-diff | peer | ratio | peak above baseline / inputs |")
    print("|---|---:|---:|---:|---:|")

    if a.models > 0 and os.access(a.peer, os.X_OK):
        ours = theirs = 0.0
        worst = 0.0
        for u in largest_units(a.root, a.models):
            (mine, peer), (kb, _) = in_turn(t, [[q, "--model", u], [a.peer, "1", u]], a.rounds)
            ours += mine
            theirs += peer
            # A unit's include files are read too: they count among its inputs.
            worst = max(worst, max(kb - base, 0) * 1024 / files_read(q, u))
        print("| --model, %d largest units, a process each | %s | tree-sitter %s | %.1fx faster "
              "| at most %.2fx (include files counted) |" %
              (a.models, ms(ours), ms(theirs), theirs / ours, worst))
    elif a.models > 0:
        print("(no tree-sitter peer at %s: run bench/build_peer.sh)" % a.peer, file=sys.stderr)

    pairs = [(os.path.join(ROOT, "examples", "old", "Shapes.pas"),
              os.path.join(ROOT, "examples", "new", "Shapes.pas"), "example pair")]
    if a.pairs:
        for name in sorted(os.listdir(os.path.join(a.pairs, "new"))):
            pairs.append((os.path.join(a.pairs, "old", name), os.path.join(a.pairs, "new", name),
                          name))
    for old, new, label in pairs:
        size = os.path.getsize(old) + os.path.getsize(new)
        git = ["git", "diff", "--no-index", "--no-color"]
        for mode, ours_argv, peer_argv, peer_name in (
                ("compare", [q, old, new], git + [old, new], "git diff"),
                ("--map", [q, "--map", old, new], git + ["--histogram", old, new],
                 "git diff --histogram")):
            (mine, peer), (kb, peer_kb) = in_turn(t, [ours_argv, peer_argv], a.rounds)
            print("| %s, %s (%d KB) | %s | %s %s | %.2fx | %s (git %s) |" %
                  (mode, label, size // 1024, ms(mine), peer_name, ms(peer), mine / peer,
                   above(kb, base, size), above(peer_kb, base, size)))


if __name__ == "__main__":
    main()
