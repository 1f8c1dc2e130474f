#!/usr/bin/env python3
"""Writes the order in which the linker lays out quennet-diff's functions (src/cli/link_order.txt).

    tools/link_order.py BUILD_DIR > src/cli/link_order.txt

The build must be compiled with -ffunction-sections (any build of this project is). The program
runs the cases of tests/cases under callgrind, workload by workload, and lists each function that
ran, in the order of the workloads below: start-up first, then comparing units, their models,
their maps, forms, trees and merges. Within a workload the functions most runs use come first.
Code that a run needs then sits together, so the kernel maps fewer pages of the program for it
(it maps 64 KB around each page a process first touches). A function missing from the list only
loses that; regenerate the list when the code has moved a lot.
"""
import collections
import glob
import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CASES = os.path.join(ROOT, "tests", "cases")


def executed(binary, argv, cwd):
    """The mangled names of the binary's own functions that ran in `binary argv`."""
    fd, out = tempfile.mkstemp(prefix="link-order-")
    os.close(fd)
    try:
        subprocess.run(["valgrind", "--tool=callgrind", "--demangle=no",
                        "--callgrind-out-file=" + out, binary] + argv, cwd=cwd,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
        names, objects, ran = {}, {}, []
        own = os.path.realpath(binary)
        current_object = current = None
        after_call = False
        with open(out) as f:
            for line in f:
                m = re.match(r"(c?)(ob|fn)=\((\d+)\)(?: (.*))?$", line.rstrip("\n"))
                if m:
                    called, kind, ident, name = m.groups()
                    table = objects if kind == "ob" else names
                    if name is not None:
                        table[ident] = name
                    if not called and kind == "ob":
                        current_object = os.path.realpath(objects[ident])
                    elif not called and kind == "fn":
                        current = names[ident]
                        after_call = False
                    continue
                if line.startswith("calls="):
                    after_call = True
                elif line[:1].isdigit() or line[:1] in "+-*":
                    if after_call:  # the cost line of a call, not of the function itself
                        after_call = False
                    elif current_object == own and current not in ran:
                        ran.append(current)
        return ran
    finally:
        os.unlink(out)


def case_runs(prefix, argvs):
    """(argv, folder) for each case folder whose name starts with prefix."""
    for folder in sorted(glob.glob(os.path.join(CASES, prefix + "*"))):
        for argv in argvs(folder):
            yield argv, folder


def args_files(folder):
    for path in sorted(glob.glob(os.path.join(folder, "args*.txt"))):
        with open(path) as f:
            yield [a for a in f.read().splitlines() if a]


def is_option(run):
    return run[0][0].startswith("-")


def if_present(folder, names, argv):
    return [argv] if all(os.path.exists(os.path.join(folder, n)) for n in names) else []


# Free Pascal's own units, where the fpc-source package is installed: the real code the
# benches measure reads through paths the small cases do not take.
PASSRC = sorted(glob.glob("/usr/share/fpcsrc/*/packages/fcl-passrc/src"))[-1:]


def real_units(argvs):
    return [(argv, folder) for folder in PASSRC for argv in argvs]


WORKLOADS = [
    ("start-up", lambda: [(["--version"], ROOT)]),
    ("unit compare", lambda: real_units([["pscanner.pp", "pastree.pp"]]) + list(case_runs(
        "diff-", lambda d: if_present(d, ["old.pas", "new.pas"], ["old.pas", "new.pas"])))),
    ("unit model", lambda: real_units([["--model", "pparser.pp"]]) + list(case_runs(
        "model-", lambda d: if_present(d, ["input.pas"], ["--model", "input.pas"])))),
    ("unit map", lambda: case_runs("diff-", lambda d: if_present(
        d, ["old.pas", "new.pas"], ["--map", "old.pas", "new.pas"]))),
    ("form compare", lambda: [r for r in case_runs("form-", args_files) if not is_option(r)]),
    ("forms", lambda: [r for r in case_runs("form-", args_files) if is_option(r)]),
    ("trees", lambda: case_runs("diff-", lambda d: if_present(
        d, ["old.pas", "new.pas"], ["--tree", "--json", "old.pas", "new.pas"]))),
    ("merges", lambda: case_runs("merge3-", lambda d: if_present(
        d, ["base.pas", "local.pas", "remote.pas"],
        ["--merge", "base.pas", "local.pas", "remote.pas"]))),
    ("the rest", lambda: [r for p in ("api-", "display-", "tree-")
                          for r in case_runs(p, args_files)]),
]


def sections_of(build):
    """Each defined function's input section, from the build's objects and archives."""
    files = glob.glob(os.path.join(build, "src", "core", "*.a"))
    files += glob.glob(os.path.join(build, "CMakeFiles", "quennet-diff.dir", "**", "*.o"),
                       recursive=True)
    listing = subprocess.run(["objdump", "-t"] + files, capture_output=True, text=True,
                             check=True).stdout
    found = {}
    for line in listing.splitlines():
        parts = line.split()
        if len(parts) >= 5 and " F " in line and parts[-3].startswith(".text"):
            found.setdefault(parts[-1], parts[-3])
    return found


# Where a function goes: the first block whose workloads it serves. The blocks lie around the
# start-up code, so that each measured workload's code is one stretch: forms' other code, the
# form comparison's own, what it shares with unit compares, start-up, then the compare's own
# code, the parse it shares with the models, the models' own, and the rest. Before start-up the
# most used functions come last, after it first: nearest the start-up code either way.
BLOCKS = [
    lambda w: "form compare" not in w and "forms" in w and "unit compare" not in w,
    lambda w: "form compare" in w and "unit compare" not in w and "start-up" not in w,
    lambda w: "form compare" in w and "start-up" not in w,
    lambda w: "start-up" in w,
    lambda w: "unit compare" in w and "unit model" not in w,
    lambda w: "unit compare" in w,
    lambda w: "unit model" in w,
    lambda w: "unit map" in w,
    lambda w: True,
]
START_UP_BLOCK = 3


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    build = sys.argv[1]
    binary = os.path.abspath(os.path.join(build, "quennet-diff"))
    sections = sections_of(build)
    users = collections.defaultdict(set)  # section -> workloads that ran it
    runs = collections.Counter()  # section -> runs that ran it
    first = {}
    for title, workload in WORKLOADS:
        count = 0
        for argv, cwd in workload():
            count += 1
            for name in executed(binary, argv, cwd):
                section = sections.get(name)
                if section:
                    users[section].add(title)
                    runs[section] += 1
                    first.setdefault(section, len(first))
        print("# %s: %d runs" % (title, count), file=sys.stderr)

    def block(section):
        return next(k for k, serves in enumerate(BLOCKS) if serves(users[section]))

    def place(section):
        k = block(section)
        return k, runs[section] if k < START_UP_BLOCK else -runs[section], first[section]

    for section in sorted(users, key=place):
        print(section)


if __name__ == "__main__":
    main()
