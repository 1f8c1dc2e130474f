#!/bin/bash
# Conditional compilation as quennet-diff reads it (fpc dialect, target fpc-linux-x86_64) against
# the Free Pascal compiler itself: each program holds one conditional whose branches declare
# a routine printing A, B or C; a unit with the same conditional declares BranchA, BranchB or
# BranchC, and the routine quennet-diff finds must be the one whose letter the program prints. Exit 77 (skipped) without fpc.
set -u
cli="$1/quennet-diff"
command -v fpc >/dev/null || { echo "fpc not installed: skipped"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One case per line: the mode line, then the conditional with A/B/C marking the branches.
cases=$(cat <<'CASES'
{$mode objfpc}|{$IF FPC_FULLVERSION >= 30202}A{$ELSE}B{$ENDIF}
{$mode objfpc}|{$IF FPC_FULLVERSION > 30202}A{$ELSEIF FPC_VERSION = 3}B{$ELSE}C{$ENDIF}
{$mode objfpc}|{$IF defined(UNIX) and not defined(WINDOWS)}A{$ELSE}B{$ENDIF}
{$mode objfpc}|{$IF defined(CPU386) or defined(CPUX86_64)}A{$ELSE}B{$IFEND}
{$mode objfpc}|{$IFDEF FPC_HAS_TYPE_EXTENDED}A{$ELSE}B{$ENDIF}
{$mode objfpc}|{$IFNDEF ENDIAN_LITTLE}A{$ELSE}B{$ENDIF}
{$mode objfpc}|{$IFDEF VER3_2}A{$ELSE}B{$ENDIF}
{$mode objfpc}|{$IF FPC_RELEASE + FPC_PATCH = 4}A{$ELSE}B{$ENDIF}
{$mode objfpc}|{$IF (FPC_VERSION shl 8) or FPC_RELEASE = $302}A{$ELSE}B{$ENDIF}
{$mode objfpc}|{$IF defined(FPC_LITTLE_ENDIAN) xor defined(ENDIAN_BIG)}A{$ELSE}B{$ENDIF}
{$mode objfpc}|{$IFDEF NOTDEFINED}{$IF 1 = 1}A{$ENDIF}B{$ELSE}C{$ENDIF}
{$mode objfpc}{$macro on}|{$DEFINE LEVEL := 5}{$IF LEVEL > 3}A{$ELSE}B{$ENDIF}
{$mode objfpc}|{$IF FPC_FULLVERSION div 10000 = 3}A{$ELSE}B{$ENDIF}
{$mode objfpc}|{$IF not (FPC_PATCH < 2)}A{$ELSE}B{$ENDIF}
{$mode macpas}|{$IFC FPC_VERSION = 3}A{$ELSEC}B{$ENDC}
{$mode macpas}|{$SETC FLAG := 2}{$IFC FLAG = 1}A{$ELSEC}B{$ENDC}
{$mode delphi}|{$IF defined(LINUX)}A{$ELSEIF defined(MSWINDOWS)}B{$ELSE}C{$IFEND}
CASES
)

fail=0
n=0
while IFS='|' read -r mode cond; do
    n=$((n + 1))
    dir="$work/c$n"
    mkdir -p "$dir"
    body=$cond
    decl=$cond
    for b in A B C; do
        body=${body//\}$b/\}procedure Run; begin Writeln(\'$b\') end;}
        decl=${decl//\}$b/\}procedure Branch$b;}
    done
    printf 'program c%d;\n%s\n%s\nbegin\n  Run;\nend.\n' "$n" "$mode" "$body" >"$dir/c.pp"
    # The same conditional read by quennet-diff, in a unit whose interface names the branch.
    printf 'unit u;\n%s\ninterface\n%s\nimplementation\nend.\n' "$mode" "$decl" >"$dir/u.pp"
    if ! (cd "$dir" && fpc -Tlinux -Px86_64 c.pp >fpc.log 2>&1); then
        echo "case $n: fpc does not compile it: $cond"
        fail=1
        continue
    fi
    compiled=$("$dir/c")
    ours=$("$cli" --model --dialect fpc --target fpc-linux-x86_64 "$dir/u.pp" 2>/dev/null |
        grep -o '"name":"Branch[ABC]"' | tr -d '"' | sed 's/name:Branch//' | tr -d '\n')
    if [ "$ours" != "$compiled" ]; then
        echo "case $n: fpc takes '$compiled', quennet-diff reads '$ours': $cond"
        fail=1
    fi
done <<<"$cases"
echo "$n conditionals compared with fpc"
exit $fail
