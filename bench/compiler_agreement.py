#!/usr/bin/env python3
"""The interface of each installed Free Pascal unit as the compiler recorded it (ppudump's JSON of
the .ppu) against `quennet-diff --model` of its source: declarations by kind and name, overload
counts, class members. Prints the agreement over all units (or those named) and the reasons for
each difference; compiler_agreement.md explains how the two sides are mapped.

  compiler_agreement.py [--quennet PATH] [--units DIR] [--source DIR] [--cache DIR]
                        [--list N] [--min-units PCT] [--min-decls PCT] [UNIT ...]

UNIT is a package folder and unit name (`rtl/system`, `libffi/ffi`). With --min-units or
--min-decls the exit status is 1 when the agreement falls below them (a test); 77 when fpc,
ppudump or the sources are not installed.
"""
import argparse
import collections
import json
import os
import re
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor

UNITS = "/usr/lib/x86_64-linux-gnu/fpc/3.2.2/units/x86_64-linux"
SOURCE = "/usr/share/fpcsrc/3.2.2"

# Operator symbols as the compiler names them, from both spellings a source may use.
OPERATORS = {
    ":=": "assign", "implicit": "assign", "explicit": "explicit", "+": "plus", "add": "plus",
    "positive": "plus", "-": "minus", "subtract": "minus", "negative": "minus", "*": "star",
    "multiply": "star", "/": "slash", "divide": "slash", "**": "starstar", "=": "equal",
    "equal": "equal", "<>": "unequal", "notequal": "unequal", "<": "lower", "lessthan": "lower",
    ">": "greater", "greaterthan": "greater", "<=": "lower_or_equal",
    "lessthanorequal": "lower_or_equal", ">=": "greater_or_equal",
    "greaterthanorequal": "greater_or_equal", "div": "div", "intdivide": "div", "mod": "mod",
    "modulus": "mod", "shl": "shl", "leftshift": "shl", "shr": "shr", "rightshift": "shr",
    "and": "and", "logicaland": "and", "bitwiseand": "and", "or": "or", "logicalor": "or",
    "bitwiseor": "or", "xor": "xor", "logicalxor": "xor", "bitwisexor": "xor", "not": "not",
    "logicalnot": "not", "in": "in", "><": "sym_diff", "inc": "inc", "dec": "dec",
    "enumerator": "enumerator", "initialize": "initialize", "finalize": "finalize",
    "addref": "addref", "copy": "copy",
}
COMPILER_OPERATORS = set(OPERATORS.values())

# Folders of other platforms: an include file found there is not the one this build read.
OTHER_PLATFORMS = {
    "aarch64", "aix", "amicommon", "amiga", "android", "arm", "aros", "atari", "avr", "beos",
    "bsd", "darwin", "dragonfly", "embedded", "emx", "freebsd", "gba", "go32v2", "haiku", "i386",
    "i8086", "java", "jvm", "m68k", "macos", "mips", "mipsel", "morphos", "msdos", "nativent",
    "nds", "netbsd", "netware", "netwlibc", "openbsd", "os2", "palmos", "powerpc", "powerpc64",
    "qnx", "solaris", "sparc", "sparc64", "symbian", "watcom", "wii", "win", "win16", "win32",
    "win64", "wince", "riscv32", "riscv64", "xtensa", "z80", "wasm32", "freertos", "ios",
    "iphonesim", "msxdos", "zxspectrum", "sinclairql", "human68k", "macosclassic",
}
PREFERRED = ["linux/x86_64", "linux", "unix", "x86_64", "inc"]


def key(name):
    """A declaration's name without parameters, lower case, generic parameters as their count:
    `TCache<K,V>` and the compiler's `TCache$2` are both `tcache`2`."""
    name = name.split("(", 1)[0]
    m = re.fullmatch(r"([^<]*)<(.*)>", name)
    if m:
        return f"{m.group(1).lower()}`{m.group(2).count(',') + 1}"
    m = re.fullmatch(r"([^$]*)\$(\d+)", name)
    if m:
        return f"{m.group(1).lower()}`{m.group(2)}"
    return name.lower()


def model_routine(decl):
    base = decl["name"].split("(", 1)[0]
    if re.match(r"(class\s+)?operator\b", decl.get("text", ""), re.IGNORECASE):
        op = OPERATORS.get(base.lower())
        if op:
            return "$" + op
    return key(decl["name"])


def compiler_routine(name, top_level=False):
    """None for the compiler's own hidden symbols."""
    if name.startswith("$"):
        if name[1:] in COMPILER_OPERATORS:
            return name
        # Routines given an internal name by the compiler (`compilerproc`) keep their own
        # after the mark; a hidden member is the compiler's own.
        if name.startswith("$fpc_") or (top_level and re.fullmatch(r"\$[A-Za-z_]\w*", name)):
            return key(name[1:])
        return None
    return key(name)


def hidden(name):
    return not name or name.startswith("$") or "$crc" in name.lower()


class Index:
    """Source files by lower-case name."""

    def __init__(self, root):
        self.by_name = collections.defaultdict(list)
        for d, subdirs, files in os.walk(root):
            subdirs.sort()
            for f in files:
                self.by_name[f.lower()].append(os.path.join(d, f))

    def find(self, name, root, package_root):
        cands = self.by_name.get(name.lower(), [])
        inside = [c for c in cands if c.startswith(package_root + os.sep)]
        cands = inside or cands
        cands = [c for c in cands if not (set(os.path.relpath(c, root).split(os.sep)[:-1])
                                          & OTHER_PLATFORMS)] or cands

        def rank(c):
            d = os.path.dirname(c)
            for i, p in enumerate(PREFERRED):
                if d.endswith("/" + p):
                    return (i, c)
            return (len(PREFERRED), c)

        return min(cands, key=rank) if cands else None


def package_root(source, package):
    if package == "rtl":
        return os.path.join(source, "rtl")
    return os.path.join(source, "packages", package)


def ppu_json(path, cache):
    cached = None
    if cache:
        pkg = os.path.basename(os.path.dirname(path))
        cached = os.path.join(cache, f"{pkg}__{os.path.basename(path)[:-4]}.json")
        if os.path.exists(cached):
            with open(cached, encoding="utf-8", errors="replace") as f:
                text = f.read()
            return text
    text = subprocess.run(["ppudump", "-Fj", "-VA", path], capture_output=True,
                          check=False).stdout.decode("utf-8", "replace")
    if cached:
        os.makedirs(cache, exist_ok=True)
        with open(cached, "w", encoding="utf-8") as f:
            f.write(text)
    return text


def load_json(text):
    # ppudump prints non-finite floats bare.
    text = re.sub(r":\s*([-+]?Inf|NaN|Nan)\b", ": null", text)
    return json.loads(text)


def compiler_side(unit):
    """(top-level declarations, class members): kind, key -> count."""
    decls = collections.Counter()
    members = {}
    entries = unit.get("Interface", [])
    # The system unit's built-in types all stand at its heading, where its first hidden one is.
    builtin = [e.get("Pos") for e in entries if e.get("Name") == "$undefined"]
    # A generic also leaves a plain type symbol of its bare name behind.
    generic = {e["Name"].split("$", 1)[0].lower() for e in entries
               if re.fullmatch(r"[^$]+\$\d+", e.get("Name") or "")}
    # A generic's parameter with a class constraint is a class symbol listed just before its
    # generic, at the generic's heading (whose position is the heading's end).
    def line_of(e):
        p = e.get("Pos") or {}
        return (p.get("File"), p.get("Line"))

    named = [e for e in entries if e.get("Name")]
    parameters = set()
    for i, e in enumerate(named[:-1]):
        nxt = named[i + 1]
        # In Delphi mode the generic's bare name stands between them.
        if nxt["Type"] == "undefined" and i + 2 < len(named):
            nxt = named[i + 2]
        (f, ln), (nf, nln) = line_of(e), line_of(nxt)
        if (e["Type"] == "obj" and "$" not in e["Name"] and ln is not None and nln is not None
                and f == nf and 0 <= nln - ln <= 3
                and re.fullmatch(r"[^$]+\$\d+", nxt["Name"])):
            parameters.add(id(e))
    for e in entries:
        name = e.get("Name")
        t = e["Type"]
        if not name or "SymId" not in e or (builtin and e.get("Pos") == builtin[0]):
            continue
        if id(e) in parameters:
            continue
        if t == "proc":
            k = compiler_routine(name, top_level=True)
            if k:
                decls[("routine", k)] += 1
            continue
        if hidden(name) or (t in ("type", "undefined") and name.lower() in generic):
            continue
        if t == "const":
            decls[("const", key(name))] += 1
        elif t == "var":
            decls[("var", key(name))] += 1
        elif t == "prop":
            decls[("var", key(name))] += 1  # a global property is a variable of ours
        else:
            kind = "class" if t == "obj" else "record" if t == "rec" else "type"
            decls[(kind, key(name))] += 1
            if t in ("obj", "rec"):
                m = collections.Counter()
                for f in e.get("Fields", []):
                    fn, ft = f.get("Name"), f["Type"]
                    if ft == "proc":
                        k = compiler_routine(fn or "")
                        if k:
                            m[("method", k)] += 1
                    elif ft == "prop" and not hidden(fn):
                        m[("property", key(fn))] += 1
                    elif ft in ("field", "var", "const") and not hidden(fn):
                        m[("field", key(fn))] += 1
                if t == "obj" or any(k[0] != "field" for k in m):
                    members[key(name)] = m
    return decls, members


def interface_end(path):
    """The line of the `implementation` keyword, or None; comments and strings skipped."""
    try:
        with open(path, "rb") as f:
            text = f.read().decode("latin-1")
    except OSError:
        return None
    line = 1
    i = 0
    n = len(text)
    while i < n:
        c = text[i]
        if c == "\n":
            line += 1
            i += 1
        elif c == "{":
            e = text.find("}", i)
            e = n if e < 0 else e + 1
            line += text.count("\n", i, e)
            i = e
        elif text.startswith("(*", i):
            e = text.find("*)", i + 2)
            e = n if e < 0 else e + 2
            line += text.count("\n", i, e)
            i = e
        elif text.startswith("//", i):
            e = text.find("\n", i)
            i = n if e < 0 else e
        elif c == "'":
            e = text.find("'", i + 1)
            i = n if e < 0 else e + 1
        elif c.isalpha() or c == "_":
            j = i
            while j < n and (text[j].isalnum() or text[j] == "_"):
                j += 1
            if text[i:j].lower() == "implementation":
                return line
            i = j
        else:
            i += 1
    return None


INCLUDE = re.compile(r"\{\$(?:i|include)\s+([^}%][^}]*)\}", re.IGNORECASE)


def includes_of(path, before_line=None):
    try:
        with open(path, "rb") as f:
            text = f.read().decode("latin-1")
    except OSError:
        return []
    names = []
    for m in INCLUDE.finditer(text):
        if before_line is not None and text.count("\n", 0, m.start()) + 1 >= before_line:
            break
        names.append(m.group(1).strip().strip("'\"").replace("\\", "/"))
    return names


def included_interface_end(main, include_dirs):
    """For a unit whose `implementation` stands in an include file of its own folder or the
    include folders: the line after that directive."""
    try:
        with open(main, "rb") as f:
            text = f.read().decode("latin-1")
    except OSError:
        return None
    for m in INCLUDE.finditer(text):
        name = m.group(1).strip().strip("'\"").replace("\\", "/")
        for d in [os.path.dirname(main)] + include_dirs:
            p = os.path.join(d, name)
            if os.path.isfile(p) and interface_end(p):
                return text.count("\n", 0, m.start()) + 2
    return None


def model_side(model, main, impl_line, include_dirs):
    """The interface declarations of the model, as compiler_side counts them."""
    # Include files read before `implementation`, and the files they include, hold interface.
    iface_files = set()
    todo = [(n, os.path.dirname(main)) for n in includes_of(main, impl_line)]
    while todo:
        name, near = todo.pop()
        for d in [near, os.path.dirname(main)] + include_dirs:
            for cand in (name, name.lower(), name + ".inc", name + ".pp", name + ".pas"):
                p = os.path.normpath(os.path.join(d, cand))
                if os.path.isfile(p):
                    if p not in iface_files:
                        iface_files.add(p)
                        # Only what an include file includes before its own
                        # `implementation` is interface.
                        todo.extend((n, os.path.dirname(p))
                                    for n in includes_of(p, interface_end(p)))
                    break
            else:
                continue
            break

    # An include file may hold both sections of a unit.
    ends = {p: interface_end(p) for p in iface_files}

    def in_interface(d):
        if "file" in d:
            path = os.path.normpath(d["file"])
            return path in ends and (ends[path] is None or d["first"] < ends[path])
        return impl_line is None or d["first"] < impl_line

    decls = collections.Counter()
    members = {}
    for t in model.get("types", []):
        # Nested types are compared as members of their class by neither side.
        if in_interface(t) and "." not in t["name"]:
            text = t.get("text", "").lstrip().lower()
            kind = "record" if re.match(r"(packed\s+|bitpacked\s+)?record\b", text) else "type"
            decls[(kind, key(t["name"]))] += 1
    for c in model.get("classes", []):
        if not in_interface(c) or "." in c["name"]:
            continue
        kind = "record" if c.get("kind", "").startswith("record") and "helper" not in c.get(
            "kind", "") else "class"
        decls[(kind, key(c["name"]))] += 1
        m = collections.Counter()
        for f in c.get("fields", []):
            m[("field", key(f["name"]))] += 1
        for p in c.get("methods", []):
            m[("method", model_routine(p))] += 1
        for p in c.get("props", []):
            m[("property", key(p["name"]))] += 1
        members[key(c["name"])] = m
    for p in model.get("procs", []):
        if in_interface(p) and "." not in p["name"].split("(", 1)[0]:
            decls[("routine", model_routine(p))] += 1
    for c in model.get("consts", []):
        if in_interface(c):
            # A typed constant is a variable to the compiler.
            typed = c.get("type") and c.get("type") != "resourcestring"
            decls[("var" if typed else "const", key(c["name"]))] += 1
    for v in model.get("vars", []):
        if in_interface(v):
            decls[("var", key(v["name"]))] += 1
    return decls, members


def compare(ours, theirs):
    """Differences as (reason, name) and the number of the compiler's declarations matched."""
    diffs = []
    matched = 0
    (od, om), (td, tm) = ours, theirs
    # Records: the compiler's record is our record or, with methods, our class of kind record.
    for (kind, k), n in td.items():
        have = od.get((kind, k), 0)
        if kind == "record" and not have:
            have = od.get(("type", k), 0)
        if kind == "type" and not have:
            have = od.get(("record", k), 0) or od.get(("class", k), 0)
        matched += min(have, n)
        if have < n:
            other = [ok for (ok, kk) in od if kk == k and ok != kind]
            if other:
                diffs.append((f"{kind} read as {other[0]}", k))
            elif have:
                diffs.append((f"{kind}: {have} of {n} overloads", k))
            else:
                diffs.append((f"{kind} missing", k))
    for (kind, k), n in od.items():
        theirs_n = td.get((kind, k), 0)
        if not theirs_n and kind in ("type", "record", "class"):
            theirs_n = sum(td.get((x, k), 0) for x in ("type", "record", "class"))
        if not theirs_n and kind in ("const", "var"):
            theirs_n = td.get(("var" if kind == "const" else "const", k), 0)
        if theirs_n < n and not any(kk == k and ok != kind for (ok, kk) in td):
            diffs.append((f"{kind} not in the compiler's interface", k))
    for cls, members in tm.items():
        if cls not in om:
            continue
        mine = om[cls]
        for (kind, k), n in members.items():
            have = mine.get((kind, k), 0)
            matched += min(have, n)
            if have < n:
                diffs.append((f"{kind} {'overloads short' if have else 'missing'}", f"{cls}.{k}"))
        for (kind, k), n in mine.items():
            if members.get((kind, k), 0) < n and kind != "method":
                diffs.append((f"{kind} not in the compiler's class", f"{cls}.{k}"))
    total = sum(td.values()) + sum(sum(m.values()) for c, m in tm.items())
    # Members of a class we do not have count as missing with it.
    return diffs, matched, total


def run_unit(args, index, ppu):
    package = os.path.basename(os.path.dirname(ppu))
    uname = os.path.basename(ppu)[:-4]
    label = f"{package}/{uname}"
    try:
        data = load_json(ppu_json(ppu, args.cache))
    except (ValueError, OSError) as e:
        return label, None, f"ppudump: {e}"
    unit = data[0]
    files = [f["Name"] for f in unit.get("Files", []) if f.get("Type") == "file"]
    if not files:
        return label, None, "no source named"
    root = package_root(args.source, package)
    main = index.find(files[0], args.source, root)
    if not main:
        return label, None, f"source {files[0]} not installed"
    dirs = []
    for inc in files[1:]:
        p = index.find(inc, args.source, root)
        if p and os.path.dirname(p) not in dirs and os.path.dirname(p) != os.path.dirname(main):
            dirs.append(os.path.dirname(p))
    cmd = [args.quennet, "--model", "--dialect", "fpc", "--target", "fpc-linux-x86_64"]
    for d in dirs:
        cmd += ["-I", d]
    r = subprocess.run(cmd + [main], capture_output=True, check=False)
    if r.returncode != 0:
        return label, None, f"quennet-diff: {r.stderr.decode(errors='replace').strip()[:200]}"
    model = json.loads(r.stdout)
    impl = interface_end(main) or included_interface_end(main, dirs)
    diffs, matched, total = compare(model_side(model, main, impl, dirs), compiler_side(unit))
    notes = r.stderr.decode("utf-8", "replace").strip().splitlines()
    return label, (diffs, matched, total, notes, main), None


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--quennet", default=os.path.join(os.path.dirname(sys.argv[0]), "..",
                                                      "quennet-diff"))
    ap.add_argument("--units", default=UNITS)
    ap.add_argument("--source", default=SOURCE)
    ap.add_argument("--cache", help="keeps ppudump's output here")
    ap.add_argument("--list", type=int, default=40, help="units with differences to list")
    ap.add_argument("--min-units", type=float)
    ap.add_argument("--min-decls", type=float)
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("unit", nargs="*")
    args = ap.parse_args()
    for tool in ("fpc", "ppudump"):
        if not any(os.access(os.path.join(p, tool), os.X_OK)
                   for p in os.environ.get("PATH", "").split(os.pathsep)):
            print(f"{tool} not installed: skipped")
            return 77
    if not os.path.isdir(args.units) or not os.path.isdir(args.source):
        print("the compiled units or fpc-source are not installed: skipped")
        return 77
    ppus = []
    if args.unit:
        for u in args.unit:
            ppus.append(os.path.join(args.units, u + ".ppu"))
    else:
        for d, _, files in sorted(os.walk(args.units)):
            ppus += [os.path.join(d, f) for f in sorted(files) if f.endswith(".ppu")]
    index = Index(args.source)
    with ThreadPoolExecutor(max_workers=args.jobs) as pool:
        results = list(pool.map(lambda p: run_unit(args, index, p), ppus))
    units = agree = 0
    decls = matched = extra = 0
    reasons = collections.Counter()
    listed = []
    for label, res, skip in results:
        if res is None:
            print(f"not compared: {label}: {skip}")
            continue
        diffs, m, total, notes, main_file = res
        units += 1
        decls += total
        matched += m
        extra += sum(1 for r, _ in diffs if "not in the compiler" in r)
        if not diffs:
            agree += 1
            continue
        for r, _ in diffs:
            reasons[r.split(":")[0]] += 1
        listed.append((len(diffs), label, diffs, notes))
    listed.sort(key=lambda x: (-x[0], x[1]))
    for n, label, diffs, notes in listed[: args.list]:
        print(f"{label}: {n} differences: " +
              ", ".join(f"{r} {k}" for r, k in diffs[:6]) + (" ..." if n > 6 else ""))
        for note in notes[:2]:
            print(f"    {note[:160]}")
    print("reasons:", ", ".join(f"{r} {n}" for r, n in reasons.most_common()))
    pu = 100.0 * agree / units if units else 0.0
    pd = 100.0 * matched / (decls + extra) if decls else 0.0
    print(f"units compared {units}, agreeing fully {agree} ({pu:.2f}%)")
    print(f"declarations of the compiler {decls}, matched {matched}, "
          f"ours not the compiler's {extra} ({pd:.2f}% agree)")
    if args.min_units is not None and pu < args.min_units:
        return 1
    if args.min_decls is not None and pd < args.min_decls:
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
