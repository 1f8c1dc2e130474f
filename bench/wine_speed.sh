#!/usr/bin/env bash
# Speed sanity of the Windows build: quennet-diff.exe under Wine against the Linux binary on the
# same pairs, whole process (start to exit), taken in turn, medians of RUNS runs.
#   bash bench/wine_speed.sh build-windows/quennet-diff.exe build/quennet-diff [RUNS]
# Pairs: the example pair, and a large pair made from the largest fpc-source unit with an edit
# every 400 lines (skipped without fpc-source). The goal is the .exe within 2x on the large pair.
# Exit 77 without Wine or without the Windows build; 1 when the large pair misses the goal.
set -uo pipefail
exe=$1 linux=$2 runs=${3:-7}
root=$(cd "$(dirname "$0")/.." && pwd)

wine=$(command -v wine64 || true)
[ -n "$wine" ] || [ ! -x /usr/lib/wine/wine64 ] || wine=/usr/lib/wine/wine64
[ -n "$wine" ] || { echo "skipped: wine not installed"; exit 77; }
[ -f "$exe" ] || { echo "skipped: no Windows build at $exe"; exit 77; }
exe=$(readlink -f "$exe") linux=$(readlink -f "$linux")
export WINEPREFIX=${QUENNET_WINEPREFIX:-$HOME/.cache/quennet-wine} WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
"$wine" cmd /c exit 0 >/dev/null 2>&1 </dev/null
wineserver=$(dirname "$(readlink -f "$wine")")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver || true)
# A running server, as on a desktop where Wine is already up: a run costs a process start.
[ -z "$wineserver" ] || "$wineserver" -p 600 >/dev/null 2>&1 </dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"; [ -z "$wineserver" ] || "$wineserver" -k 2>/dev/null' EXIT

# Milliseconds of one run of the arguments, output thrown away.
elapsed() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null 2>&1 </dev/null
  local end=$EPOCHREALTIME
  echo $(((${end/./} - ${start/./}) / 1000))
}
median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR + 1) / 2)]}'; }

# Both must give the same report: a program that fails at once is not fast.
same_output() {
  cmp -s <("$linux" "$@" 2>&1) <("$wine" "$exe" "$@" 2>&1) && return
  echo "wine speed: the two programs give different outputs on $*" >&2
  exit 2
}

# Prints "linux-ms wine-ms" for one pair, runs taken in turn.
compare_pair() {
  local a=$1 b=$2 i
  : >"$scratch/l" && : >"$scratch/w"
  for ((i = 0; i < runs; ++i)); do
    elapsed "$linux" "$a" "$b" >>"$scratch/l"
    elapsed "$wine" "$exe" "$a" "$b" >>"$scratch/w"
  done
  echo "$(median <"$scratch/l") $(median <"$scratch/w")"
}

report() { # name, bytes, linux ms, wine ms
  awk -v n="$1" -v kb="$2" -v l="$3" -v w="$4" 'BEGIN {
    printf "%-34s %8d KB  linux %6d ms  wine %6d ms  ratio %.2fx\n", n, kb / 1024, l, w,
      (l > 0 ? w / l : 0) }'
}

cd "$scratch" || exit 2
cp "$root/examples/old/Shapes.pas" old.pas && cp "$root/examples/new/Shapes.pas" new.pas
same_output old.pas new.pas
read -r l w < <(compare_pair old.pas new.pas)
echo "quennet-diff.exe under $("$wine" --version 2>/dev/null) against the Linux binary;" \
  "medians of $runs runs; load average $(cut -d' ' -f1 /proc/loadavg)"
report "example pair (start-up)" $(($(wc -c <old.pas) + $(wc -c <new.pas))) "$l" "$w"

large=$(find /usr/share/fpcsrc -name '*.pp' -size +1M -printf '%s %p\n' 2>/dev/null |
  sort -rn | head -n1 | cut -d' ' -f2-)
if [ -z "$large" ]; then
  echo "large pair skipped: fpc-source not installed"
  exit 0
fi
cp "$large" big-old.pp
awk 'NR % 400 == 0 && /:=/ { sub(/:=/, ":= 1 + 0 +") } { print }' "$large" >big-new.pp
same_output big-old.pp big-new.pp
read -r l w < <(compare_pair big-old.pp big-new.pp)
report "$(basename "$large"), edited" $(($(wc -c <big-old.pp) + $(wc -c <big-new.pp))) "$l" "$w"
if ((w > 2 * l)); then
  echo "wine speed: the .exe takes more than 2x the Linux binary's time on the large pair"
  exit 1
fi
echo "wine speed: within 2x on the large pair"
