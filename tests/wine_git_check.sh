#!/usr/bin/env bash
# The Git for Windows recipes of the README, run under Wine with the arguments Git for Windows
# gives the program: its temporary copies in %TEMP% named by Windows paths (with / as git
# writes them, and with \), "nul" for a missing side, the merge driver's .merge_file_* names.
# Each run is compared with the Linux build on the same files. Exit 77 (skipped) without Wine
# or without a Windows build.
# Arguments: quennet-diff.exe, the Linux quennet-diff, the project folder.
set -uo pipefail
exe=$1 linux=$2 root=$(cd "$3" && pwd)

wine=$(command -v wine64 || true)
[ -n "$wine" ] || [ ! -x /usr/lib/wine/wine64 ] || wine=/usr/lib/wine/wine64
[ -n "$wine" ] || { echo "skipped: wine not installed"; exit 77; }
[ -f "$exe" ] || { echo "skipped: no Windows build at $exe (bash tools/build-windows.sh)"; exit 77; }
exe=$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")
linux=$(cd "$(dirname "$linux")" && pwd)/$(basename "$linux")
export WINEPREFIX=${QUENNET_WINEPREFIX:-$HOME/.cache/quennet-wine} WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
"$wine" cmd /c exit 0 >/dev/null 2>&1 </dev/null

fail() { echo "wine git recipes: $*" >&2; exit 1; }
# %TEMP% as Windows names it, and where that is on this machine.
wintemp=$("$wine" cmd /c echo %TEMP% 2>/dev/null </dev/null | tr -d '\r')
[[ $wintemp == [A-Za-z]:\\* ]] || fail "no %TEMP% in the Wine prefix (got '$wintemp')"
drive=$(echo "${wintemp:0:1}" | tr 'A-Z' 'a-z')
unixtemp=$WINEPREFIX/drive_$drive/$(echo "${wintemp:3}" | tr '\\' '/')
[ -d "$unixtemp" ] || fail "%TEMP% ($wintemp) is not at $unixtemp"
slashed=$(echo "$wintemp" | tr '\\' '/')

work=$(mktemp -d "$unixtemp/git-check.XXXXXX")
trap 'rm -rf "$work"' EXIT
tag=$(basename "$work")
repo=$(mktemp -d)
trap 'rm -rf "$work" "$repo"' EXIT

# Both builds on the same arguments: same output, same status.
same() { # description, expected status, arguments... (run in $repo)
  local what=$1 status=$2
  shift 2
  (cd "$repo" && "$wine" "$exe" "$@" >"$work/win.out" 2>"$work/win.err" </dev/null)
  local ws=$?
  local linuxArgs=()
  for a in "$@"; do
    a=${a//\\//}
    [[ $a == "$slashed"/* ]] && a=$unixtemp/${a#"$slashed"/}
    [ "$a" = nul ] && a=/dev/null
    linuxArgs+=("$a")
  done
  (cd "$repo" && "$linux" "${linuxArgs[@]}" >"$work/linux.out" 2>/dev/null </dev/null)
  local ls=$?
  [ "$ws" = "$status" ] || { cat "$work/win.err"; fail "$what: exit $ws, not $status"; }
  [ "$ls" = "$status" ] || fail "$what: the Linux build exits $ls, not $status"
  cmp -s "$work/win.out" "$work/linux.out" ||
    { diff "$work/linux.out" "$work/win.out" | head -20; fail "$what: output differs from Linux"; }
}

mkdir -p "$repo/src" "$work/left/src" "$work/right/src"
cp "$root/examples/new/Shapes.pas" "$repo/src/Shapes.pas"
cp "$root/examples/old/Shapes.pas" "$work/Ab3xYz_Shapes.pas"
cp "$root/examples/old/Shapes.pas" "$work/left/src/Shapes.pas"
cp "$root/examples/new/Shapes.pas" "$work/right/src/Shapes.pas"
hash=0123456789abcdef0123456789abcdef01234567 zero=0000000000000000000000000000000000000000

# diff.pascal.command and GIT_EXTERNAL_DIFF: path, old file, old hash, old mode, new file, ...
same "external diff" 0 src/Shapes.pas "$slashed/$tag/Ab3xYz_Shapes.pas" $hash 100644 \
  src/Shapes.pas $hash 100644
same "external diff, backslashes" 0 src/Shapes.pas "$wintemp\\$tag\\Ab3xYz_Shapes.pas" $hash \
  100644 src/Shapes.pas $hash 100644
same "external diff, added file" 0 src/Shapes.pas nul $zero . src/Shapes.pas $hash 100644
grep -q "^  src/Shapes.pas$" "$work/win.out" || fail "added file: no report labelled by its path"

# difftool: git's copies of both sides in a folder under %TEMP%.
same "difftool" 1 -L src/Shapes.pas -L src/Shapes.pas "$slashed/$tag/left/src/Shapes.pas" \
  "$slashed/$tag/right/src/Shapes.pas"
[ "$(head -n 3 "$work/win.out")" = "$(printf 'Diff report for\n  src/Shapes.pas\n  src/Shapes.pas')" ] ||
  fail "difftool: report not labelled by the path"

# mergetool: BASE, LOCAL and REMOTE beside the file in the work tree, the result over it.
cases=$root/tests/cases/merge3-08-move-and-edit
for side in BASE LOCAL REMOTE; do
  lower=$(echo $side | tr 'A-Z' 'a-z')
  cp "$cases/$lower.pas" "$repo/src/Moved_${side}_1234.pas"
done
same "mergetool" "$(cat "$cases/expected-exit.txt")" --merge ./src/Moved_BASE_1234.pas \
  ./src/Moved_LOCAL_1234.pas ./src/Moved_REMOTE_1234.pas -o src/Moved.pas
cmp -s "$repo/src/Moved.pas" "$cases/expected.pas" || fail "mergetool: merged file differs"

# The merge driver: %O %A %B are temporary files in the work tree; the result replaces %A.
cp "$cases/base.pas" "$repo/.merge_file_a01234"
cp "$cases/local.pas" "$repo/.merge_file_b01234"
cp "$cases/remote.pas" "$repo/.merge_file_c01234"
(cd "$repo" && "$wine" "$exe" --merge .merge_file_a01234 .merge_file_b01234 .merge_file_c01234 \
  -o .merge_file_b01234 >/dev/null 2>&1 </dev/null)
[ "$?" = "$(cat "$cases/expected-exit.txt")" ] || fail "merge driver: wrong exit status"
cmp -s "$repo/.merge_file_b01234" "$cases/expected.pas" || fail "merge driver: merged file differs"
# Only %A may be the output.
(cd "$repo" && "$wine" "$exe" --merge .merge_file_a01234 .merge_file_b01234 .merge_file_c01234 \
  -o .merge_file_a01234 >/dev/null 2>"$work/err" </dev/null)
[ "$?" = 2 ] || fail "merge driver: wrote over BASE"
cmp -s "$repo/.merge_file_a01234" "$cases/base.pas" || fail "merge driver: BASE changed"

echo "wine git recipes: external diff, difftool, mergetool and merge driver as on Linux"
