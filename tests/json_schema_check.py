#!/usr/bin/env python3
"""Validates the --json and --model outputs of every golden case against doc/schema."""
import json
import pathlib
import subprocess
import sys

import jsonschema


def load_schema(folder, name):
    schema = json.loads((folder / name).read_text())
    jsonschema.Draft202012Validator.check_schema(schema)
    return jsonschema.Draft202012Validator(schema)


def run(cli, args, cwd):
    r = subprocess.run([cli] + args, cwd=cwd, capture_output=True)
    if r.returncode not in (0, 1):
        sys.exit(f"{' '.join(args)} in {cwd}: exit {r.returncode}: {r.stderr.decode()}")
    return json.loads(r.stdout)


def main():
    cli, cases, schemas = str(pathlib.Path(sys.argv[1]).resolve()), pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
    diff_schema = load_schema(schemas, "diff.schema.json")
    model_schema = load_schema(schemas, "model.schema.json")
    form_schema = load_schema(schemas, "form.schema.json")
    form_diff_schema = load_schema(schemas, "form-diff.schema.json")
    checked = 0
    kinds = set()
    form_kinds = set()
    for case in sorted(cases.iterdir()):
        if case.name.startswith("diff-"):
            extra = (case / "args").read_text().split() if (case / "args").exists() else []
            doc = run(cli, extra + ["--json", "old.pas", "new.pas"], case)
            diff_schema.validate(doc)
            stack = list(doc["tree"])
            while stack:
                node = stack.pop()
                kinds.add(node["kind"])
                stack.extend(node["children"])
        elif case.name.startswith("model-"):
            defines = case / "defines.txt"
            extra = []
            if defines.exists():
                extra = ["--no-default-defines"]
                for sym in defines.read_text().split():
                    extra += ["-D", sym]
            model_schema.validate(run(cli, extra + ["--model", "input.pas"], case))
        elif case.name.startswith("form-"):
            forms = sorted(p.name for p in case.iterdir()
                           if p.suffix.lower() in (".dfm", ".lfm", ".fmx", ".xfm"))
            for name in forms:
                form_schema.validate(run(cli, ["--model", name], case))
            olds = [n for n in forms if n.startswith("old.")]
            news = [n for n in forms if n.startswith("new.")]
            if olds and news:
                doc = run(cli, ["--json", olds[0], news[0]], case)
                form_diff_schema.validate(doc)
                stack = list(doc["tree"])
                while stack:
                    node = stack.pop()
                    form_kinds.add(node["kind"])
                    stack.extend(node["children"])
        else:
            continue
        checked += 1
    # The validator must be able to fail: an output without its format number is refused.
    try:
        diff_schema.validate({"old": "a", "new": "b", "equivalent": True, "stopped": [], "tree": []})
        sys.exit("a document without \"format\" passed the schema")
    except jsonschema.ValidationError:
        pass
    expected = {"type", "class", "field", "method", "property", "routine", "variable",
                "constant", "section", "uses", "text"}
    if not expected <= kinds:
        sys.exit(f"golden cases gave node kinds {sorted(kinds)}; missing {sorted(expected - kinds)}")
    if not {"object", "property", "item", "value"} <= form_kinds:
        sys.exit(f"form cases gave node kinds {sorted(form_kinds)}")
    print(f"{checked} golden cases valid")


if __name__ == "__main__":
    main()
