#!/bin/bash
# Form reading against the Free Pascal run-time library: every form of the corpora is turned
# into a binary form by ObjectTextToBinary, and --model must give the same objects, properties
# and values for the text and for that binary; the binary forms quennet-diff writes (a merge of
# a binary form with itself) must read back in ObjectBinaryToText to the same model again.
# Exit 77 (skipped) without fpc. Arguments: the folder of quennet-diff, the project root,
# then optional form folders (default: ../shared/forms/corpus and Lazarus's forms).
set -u
cli="$1/quennet-diff"
root="$2"
shift 2
command -v fpc >/dev/null || { echo "fpc not installed: skipped"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$root/tests/fpc/formconv.pas" "$work/"
(cd "$work" && fpc -O1 -v0 formconv.pas >/dev/null) || { echo "formconv does not compile"; exit 1; }

folders=("$@")
if [ ${#folders[@]} -eq 0 ]; then
    folders=("$root/../shared/forms/corpus")
    [ -d /usr/lib/lazarus ] && folders+=(/usr/lib/lazarus)
fi
list="$work/list"
for f in "${folders[@]}"; do
    [ -d "$f" ] && find "$f" -type f \( -iname '*.dfm' -o -iname '*.lfm' -o -iname '*.fmx' \)
done | sort >"$list"
[ -s "$list" ] || { echo "no forms to check: skipped"; exit 77; }

python3 - "$cli" "$work" "$list" <<'PY'
import json, math, subprocess, sys
cli, work, listing = sys.argv[1:4]

def model(path):
    r = subprocess.run([cli, "--model", path], capture_output=True)
    if r.returncode != 0:
        return None, r.stderr.decode(errors="replace").strip()
    return json.loads(r.stdout), ""

def fpc_text(s):
    # The RTL's text parser takes each byte between quotes as one character: text that was
    # UTF-8 in the file comes back as its bytes.
    if all(ord(c) < 256 for c in s):
        b = bytes(ord(c) for c in s)
        try:
            return b.decode("utf-8")
        except UnicodeDecodeError:
            return s
    return s

def norm_value(t, v, from_fpc):
    if t == "string":
        return fpc_text(v) if from_fpc else v
    if t == "identifier":
        return v.lower()
    if t == "set":
        return [e.lower() for e in v]
    if t == "float":
        return None if v is None else float("%.14g" % v)
    if t == "list":
        return [(e["type"], norm_value(e["type"], e["value"], from_fpc)) for e in v]
    if t == "collection":
        return [norm_props(i["properties"], from_fpc) for i in v]
    return v

def norm_props(props, from_fpc):
    return [(p["name"].lower(), p["type"], norm_value(p["type"], p["value"], from_fpc)) for p in props]

def norm_obj(o, from_fpc):
    return (o["name"].lower(), o["class"].lower(), o["kind"], o.get("index"),
            norm_props(o["properties"], from_fpc), [norm_obj(c, from_fpc) for c in o["objects"]])

checked = same = rejected = 0
failures = []
for i, path in enumerate(open(listing).read().split("\n")):
    if not path:
        continue
    text_model, err = model(path)
    if text_model is None:
        failures.append(f"{path}: not read: {err}")
        continue
    binary = f"{work}/f{i}.bin"
    r = subprocess.run([f"{work}/formconv", "tobin", path, binary], capture_output=True)
    if r.returncode != 0:
        rejected += 1  # a form the RTL's parser refuses (item[n], UTF-16, ...)
        continue
    checked += 1
    bin_model, err = model(binary)
    if bin_model is None:
        failures.append(f"{path}: the RTL's binary form not read: {err}")
        continue
    if norm_obj(text_model["root"], False) != norm_obj(bin_model["root"], True):
        failures.append(f"{path}: the RTL's reading differs")
        continue
    # Our binary writer, read back by the RTL.
    ours = f"{work}/o{i}.bin"
    r = subprocess.run([cli, "--merge", binary, binary, binary, "-o", ours], capture_output=True)
    back = f"{work}/o{i}.txt"
    if r.returncode != 0 or subprocess.run([f"{work}/formconv", "totext", ours, back],
                                           capture_output=True).returncode != 0:
        failures.append(f"{path}: our binary form not read by the RTL")
        continue
    back_model, err = model(back)
    if back_model is None or norm_obj(back_model["root"], True) != norm_obj(bin_model["root"], True):
        failures.append(f"{path}: our binary form reads back differently in the RTL {err}")
        continue
    same += 1
for f in failures[:20]:
    print(f)
print(f"{checked} forms through the RTL, {same} the same both ways, {rejected} refused by its parser, {len(failures)} failures")
sys.exit(1 if failures or checked == 0 else 0)
PY
