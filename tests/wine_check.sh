#!/usr/bin/env bash
# The golden cases of the command line run by the Windows build under Wine: every run must
# give the Linux build's standard output, standard error, exit status and written files, byte
# for byte, apart from the differences listed below. Exit 77 (skipped) without Wine or without
# a Windows build.
# Arguments: quennet-diff.exe, the Linux quennet-diff, the tests/cases folder.
#
# Intended differences from Linux:
# - an include file found through a project file's search path, or in the folder of a unit a
#   program names, is printed with its absolute path, which Windows spells with its drive and
#   backslashes: model-28, model-31 (found through fpmake.pp) and model-34 are left out;
# - otherwise none in these cases: paths are printed as they were given, messages use the same
#   texts (Windows errors are mapped to the C library's), and standard input and output are
#   binary.
# Outside these cases Windows rules differ where the platform tests say so: device names (CON,
# NUL, ...) are refused, a read-only target is not replaced, a target held open without
# shared deletion is not replaced, file names are paired without letter case.
set -uo pipefail
exe=$1 linux=$2 cases=$3

wine=$(command -v wine64 || true)
[ -n "$wine" ] || [ ! -x /usr/lib/wine/wine64 ] || wine=/usr/lib/wine/wine64
if [ -z "$wine" ]; then
  echo "skipped: wine not installed"
  exit 77
fi
if [ ! -f "$exe" ]; then
  echo "skipped: no Windows build at $exe (bash tools/build-windows.sh)"
  exit 77
fi
exe=$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")
linux=$(cd "$(dirname "$linux")" && pwd)/$(basename "$linux")

# One prefix for every run: its first start takes most of a minute.
export WINEPREFIX=${QUENNET_WINEPREFIX:-$HOME/.cache/quennet-wine} WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
wineserver=$(dirname "$(readlink -f "$wine")")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver || true)
# A server kept for the whole check: a run then costs a process start, not a Wine start.
"$wine" cmd /c exit 0 >/dev/null 2>&1 </dev/null
[ -z "$wineserver" ] || "$wineserver" -p 600 >/dev/null 2>&1 </dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"; [ -z "$wineserver" ] || "$wineserver" -k 2>/dev/null' EXIT
cp -r "$cases" "$scratch/linux"
cp -r "$cases" "$scratch/windows"

# One run a line: case folder, then the arguments, tab-separated.
runs=$scratch/runs
: >"$runs"
add() { local IFS=$'\t'; echo "$*" >>"$runs"; }
words() { [ -f "$1" ] && tr -s ' \n' '\t\t' <"$1" | sed 's/\t$//'; }

# QUENNET_WINE_CASES narrows the check to some folders (a pattern: 'merge3-2*').
for dir in "$cases"/${QUENNET_WINE_CASES:-*}/; do
  name=$(basename "$dir")
  case $name in
  diff-*)
    a="--dialect classic"
    [ -f "$dir/args" ] && a="$a $(tr '\n' ' ' <"$dir/args")"
    # shellcheck disable=SC2086
    add "$name" $a --workspace out-ws.rtf --merged out-merged.pas old.pas new.pas
    # shellcheck disable=SC2086
    add "$name" $a --tree old.pas new.pas
    # shellcheck disable=SC2086
    add "$name" $a --json old.pas new.pas
    ;;
  model-28-* | model-31-* | model-34-*) ;;
  model-*)
    d=""
    [ -f "$dir/dialect.txt" ] && d="--dialect $(head -n1 "$dir/dialect.txt")"
    # shellcheck disable=SC2086
    add "$name" $d --model input.pas
    ;;
  merge3-*) add "$name" --merge base.pas local.pas remote.pas -o out.pas ;;
  merge-ws-*)
    add "$name" --workspace out-ws.rtf old.pas new.pas
    add "$name" --from-workspace expected.rtf --merged out-merged.pas --comment OLD
    ;;
  esac
  for args in "$dir"/args*.txt; do
    [ -f "$args" ] || continue
    IFS=$'\n' read -r -d '' -a list <"$args"
    add "$name" "${list[@]}"
  done
done
# Names outside ASCII, in folders and files given on the command line and written by the
# program: the .exe must read its arguments as UTF-16 and open and write the same names.
# shellcheck disable=SC2053
if [[ -z ${QUENNET_WINE_CASES:-} || unicode-Grüße == ${QUENNET_WINE_CASES} ]]; then
  for side in linux windows; do
    u="$scratch/$side/unicode-Grüße"
    mkdir -p "$u/Ωmega dir" "$u/Ausgabe-ü"
    cp "$cases/diff-02-worked-example/old.pas" "$u/Ωmega dir/alt-Übung.pas"
    cp "$cases/diff-02-worked-example/new.pas" "$u/Ωmega dir/neu-日本.pas"
    cp "$cases/merge3-01-each-side-edits-a-neighbour/base.pas" "$u/básico.pas"
    cp "$cases/merge3-01-each-side-edits-a-neighbour/local.pas" "$u/lokal-ä.pas"
    cp "$cases/merge3-01-each-side-edits-a-neighbour/remote.pas" "$u/fern-ö.pas"
  done
  add unicode-Grüße "Ωmega dir/alt-Übung.pas" "Ωmega dir/neu-日本.pas"
  add unicode-Grüße --json "Ωmega dir/alt-Übung.pas" "Ωmega dir/neu-日本.pas"
  add unicode-Grüße --workspace "Ausgabe-ü/ws-Ü.rtf" --merged "Ausgabe-ü/zusammen-ß.pas" \
    "Ωmega dir/alt-Übung.pas" "Ωmega dir/neu-日本.pas"
  add unicode-Grüße --merge básico.pas lokal-ä.pas fern-ö.pas -o "Ausgabe-ü/ergebnis-€.pas"
  # Runs go two at a time: the folders compared are not the ones written to.
  add unicode-Grüße --dirs "Ωmega dir" "Ωmega dir"
fi
# The standard input, and line ends that must pass through untranslated.
[ -n "${QUENNET_WINE_CASES:-}" ] || add diff-02-worked-example - new.pas '<old.pas'
[ -n "${QUENNET_WINE_CASES:-}" ] || add merge3-12-bom-and-line-ends --map base.pas - '<local.pas'
[ -n "${QUENNET_WINE_CASES:-}" ] || add merge3-20-utf16-le --model - '<local.pas'

run() { # side, program, line number
  local side=$1 program=$2 n=$3 line
  line=$(sed -n "${n}p" "$runs")
  IFS=$'\t' read -r -a f <<<"$line"
  local dir=$scratch/$side/${f[0]} input=/dev/null args=()
  for a in "${f[@]:1}"; do
    if [[ $a == '<'* ]]; then input=${a#<}; else args+=("$a"); fi
  done
  (
    cd "$dir" || exit 2
    if [ "$side" = windows ]; then
      LC_ALL=C.UTF-8 "$wine" "$program" "${args[@]}" <"$input" >".out-$n" 2>".err-$n"
    else
      "$program" "${args[@]}" <"$input" >".out-$n" 2>".err-$n"
    fi
    echo $? >".exit-$n"
  )
}
export -f run
export scratch runs wine

total=$(wc -l <"$runs")
start=$SECONDS
seq "$total" | xargs -P 2 -I{} bash -c "run linux '$linux' {}"
seq "$total" | xargs -P 2 -I{} bash -c "run windows '$exe' {}"

# A run that differs is taken once more, alone: under heavy load a Wine start has failed with
# exit 1 and no output. A real difference gives the same result again and fails below.
for ((n = 1; n <= total; ++n)); do
  dir=$(sed -n "${n}p" "$runs" | cut -f1)
  for f in exit out err; do
    if ! cmp -s "$scratch/linux/$dir/.$f-$n" "$scratch/windows/$dir/.$f-$n"; then
      echo "wine check: run $n ($dir) differs; taken again"
      run windows "$exe" "$n"
      break
    fi
  done
done

if ! diff -r "$scratch/linux" "$scratch/windows" >"$scratch/differences"; then
  head -n 60 "$scratch/differences"
  grep -n '' "$runs" | head -n "$total" | sed 's/\t/ /g' >&2
  echo "wine check: the Windows build differs from the Linux build (above)" >&2
  exit 1
fi
echo "wine check: $total runs identical to Linux in $((SECONDS - start)) s"
