#!/usr/bin/env bash
# Holds the engine's libraries to the layers of doc/ARCHITECTURE.md: every link between two
# quennet_* libraries that CMake knows must be listed there, and no engine source may reach
# another library's folder by a relative include.
# usage: tools/check_layers.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The allowed edges, "from to" per line.
sed -n '/<!-- layers:/,/<!-- end of layers -->/p' "$root/doc/ARCHITECTURE.md" |
  awk '$2 == "->" { for (i = 3; i <= NF; ++i) print "quennet_" $1, "quennet_" $i }' |
  sort >"$work/allowed"
[ -s "$work/allowed" ] || { echo "check_layers: no layers found in doc/ARCHITECTURE.md" >&2; exit 1; }

# The actual edges from CMake's own graph of a configuration of the engine alone.
cmake -S "$root" -B "$work/build" -G Ninja -DQUENNET_GUI=OFF -DQUENNET_TESTS=OFF \
  --graphviz="$work/graph.dot" >"$work/configure.log" 2>&1 ||
  { cat "$work/configure.log" >&2; exit 1; }
awk -F'"' '/\[ label = / { name[$2] = $4 } / -> / { print $2, $4 }
  END { }' "$work/graph.dot" >"$work/raw"
awk -F'"' '/\[ label = / { print $2, $4 }' "$work/graph.dot" >"$work/names"
awk 'NR == FNR { n[$1] = $2; next } { print n[$1], n[$2] }' "$work/names" "$work/raw" |
  awk '$1 ~ /^quennet_/ && $2 ~ /^quennet_/ && $1 != "quennet_core" && $1 != "quennet_gui" && $2 != "quennet_warnings"' |
  sort -u >"$work/actual"
[ -s "$work/actual" ] || { echo "check_layers: CMake's graph shows no engine library" >&2; exit 1; }

status=0
if ! comm -23 "$work/actual" "$work/allowed" >"$work/wrong" || [ -s "$work/wrong" ]; then
  echo "Links between engine libraries that doc/ARCHITECTURE.md does not allow:" >&2
  sed 's/^/  /' "$work/wrong" >&2
  status=1
fi
if grep -rn --include='*.cpp' --include='*.h' '#include "\.\./' "$root/src/core" >&2; then
  echo "Engine sources must include other libraries' headers as \"library/header.h\"." >&2
  status=1
fi
[ $status -eq 0 ] && echo "layers: $(wc -l <"$work/actual") links, all allowed"
exit $status
