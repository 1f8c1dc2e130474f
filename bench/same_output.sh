#!/usr/bin/env bash
# Checks that a changed quennet-diff writes the same bytes as a reference build: --model of every
# unit under a folder, and the report, --map, --workspace and --merged of pairs of same-named
# units from different folders of it. Prints the counts; exit 1 on any difference.
#   bench/same_output.sh REFERENCE CHANGED [FOLDER] [PAIRS]
# FOLDER defaults to Debian's fpc-source tree; PAIRS (default 200) caps the pairs. Each pair's
# workspace (made by REFERENCE) is also read back by --from-workspace into the new, old (with a
# comment prefix) and merged versions and saved again as RTF. WORKSPACE_ONLY=1 checks only that.
set -uo pipefail
ref=$1 new=$2
root=${3:-/usr/share/fpcsrc}
maxPairs=${4:-200}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
same=0 differ=0

check() { # label, then the arguments after the program; outputs named @OUT@ are compared too
    local label=$1
    shift
    local a=() b=() arg
    for arg in "$@"; do
        a+=("${arg//@OUT@/$tmp/ref.out}")
        b+=("${arg//@OUT@/$tmp/new.out}")
    done
    rm -f "$tmp"/ref.out* "$tmp"/new.out*
    "$ref" "${a[@]}" >"$tmp/ref.txt" 2>&1
    local rc1=$?
    "$new" "${b[@]}" >"$tmp/new.txt" 2>&1
    local rc2=$?
    local outputsSame=1 f
    for f in "$tmp"/ref.out*; do
        [ -e "$f" ] || continue
        cmp -s "$f" "$tmp/new.out${f#"$tmp"/ref.out}" || outputsSame=0
    done
    if [ $rc1 = $rc2 ] && cmp -s "$tmp/ref.txt" "$tmp/new.txt" && [ $outputsSame = 1 ]; then
        same=$((same + 1))
    else
        differ=$((differ + 1))
        echo "differs: $label $*"
    fi
}

mapfile -t units < <(find "$root" -type f \( -name '*.pas' -o -name '*.pp' \) | sort)
for u in "${units[@]}"; do
    [ "${WORKSPACE_ONLY:-0}" = 1 ] || check model --model "$u"
done
echo "--model: $same same, $differ different of ${#units[@]} units"

modelSame=$same modelDiffer=$differ
same=0 differ=0
mapfile -t pairs < <(printf '%s\n' "${units[@]}" | awk -F/ '{n=$NF; if (n in first) { if (!(n in done)) { print first[n] "\t" $0; done[n]=1 } } else first[n]=$0 }' | head -n "$maxPairs")
for p in "${pairs[@]}"; do
    old=${p%%$'\t'*} new_=${p#*$'\t'}
    if [ "${WORKSPACE_ONLY:-0}" != 1 ]; then
        check report "$old" "$new_"
        check map --map "$old" "$new_"
        check workspace --workspace @OUT@ "$old" "$new_"
        check merged --merged @OUT@ "$old" "$new_"
    fi
    rm -f "$tmp/ws.rtf"
    "$ref" --workspace "$tmp/ws.rtf" "$old" "$new_" >/dev/null 2>&1
    if [ -e "$tmp/ws.rtf" ]; then
        check from-new --from-workspace "$tmp/ws.rtf" --new @OUT@
        check from-old --from-workspace "$tmp/ws.rtf" --old @OUT@ --comment " was"
        check from-merged --from-workspace "$tmp/ws.rtf" --merged @OUT@
        check from-saved --from-workspace "$tmp/ws.rtf" --workspace @OUT@.rtf
        check from-saved-text --from-workspace "$tmp/ws.rtf" --workspace @OUT@.txt
    fi
done
echo "pairs: ${#pairs[@]}; report, --map, --workspace, --merged, --from-workspace: $same same, $differ different"
[ $((differ + modelDiffer)) = 0 ]
