#!/usr/bin/env bash
# Builds the speed peer for bench/parse_bench and bench/whole_process.py: tree-sitter's Pascal
# grammar, fetched from the npm registry into bench/peer/ (not committed), linked with Debian's
# libtree-sitter (libtree-sitter-dev).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$here/peer"
cd "$here/peer"
if [ ! -f package/src/parser.c ]; then
  npm pack tree-sitter-pascal >/dev/null
  tar xzf tree-sitter-pascal-*.tgz
fi
gcc -O2 -I package/src -c package/src/parser.c -o parser.o
gcc -O2 "$here/peer_timer.c" parser.o -ltree-sitter -o peer_timer
echo "$here/peer/peer_timer"
