#!/usr/bin/env bash
# Checks that two builds of quennet-diff give the same bytes on real code, for changes that
# must change no output. For every unit under FOLDER: its model, and against the next unit in
# name order the report, the tree, the JSON tree, the line map and the merge workspace, each
# with its exit status. Prints the units that differ and a count; exits 1 if any differ.
#   tools/same_outputs.sh BEFORE AFTER [FOLDER [EVERY]]
# FOLDER defaults to /usr/share/fpcsrc; EVERY N takes every Nth unit in name order (default 1).
set -euo pipefail
if [ $# -lt 2 ]; then
  echo "usage: tools/same_outputs.sh BEFORE-BINARY AFTER-BINARY [FOLDER [EVERY]]" >&2
  exit 2
fi
before=$(realpath "$1") after=$(realpath "$2") folder=${3:-/usr/share/fpcsrc} every=${4:-1}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

outputs() { # binary old new dir: every output of one pair into dir
  local bin=$1 old=$2 new=$3 dir=$4
  mkdir -p "$dir"
  run() { local name=$1; shift; { timeout 120 "$bin" "$@" >"$dir/$name" 2>&1; echo "exit $?" >>"$dir/$name"; } || true; }
  run model --model "$old"
  run report "$old" "$new"
  run tree --tree "$old" "$new"
  run json --json "$old" "$new"
  run map --map "$old" "$new"
  run workspace-run --workspace "$dir/workspace.rtf" "$old" "$new"
}
one_pair() { # index old new
  local d="$scratch/$1"
  outputs "$before" "$2" "$3" "$d/before"
  outputs "$after" "$2" "$3" "$d/after"
  # The workspace run names its output file, which differs between the two folders.
  sed -i "s|$d/before/|OUT/|g" "$d/before/workspace-run"
  sed -i "s|$d/after/|OUT/|g" "$d/after/workspace-run"
  if ! diff -r -q "$d/before" "$d/after" >/dev/null; then echo "differs: $2"; fi
  rm -rf "$d"
}
export -f outputs one_pair
export before after scratch

mapfile -t units < <(find "$folder" -type f \( -name '*.pas' -o -name '*.pp' \) | LC_ALL=C sort |
  awk -v every="$every" '(NR - 1) % every == 0')
n=${#units[@]}
[ "$n" -ge 2 ] || { echo "fewer than two units under $folder" >&2; exit 2; }
for ((i = 0; i < n; i++)); do
  printf '%s\0%s\0%s\0' "$i" "${units[i]}" "${units[(i + 1) % n]}"
done | xargs -0 -n3 -P "$(nproc)" bash -c 'one_pair "$0" "$1" "$2"' >"$scratch/differs.txt"
differing=$(wc -l <"$scratch/differs.txt")
cat "$scratch/differs.txt"
echo "$n units, $differing with different outputs"
[ "$differing" -eq 0 ]
