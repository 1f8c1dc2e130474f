#!/usr/bin/env bash
# Comparing the largest real form pairs (../shared/forms/pairs) as a user times it: the whole
# quennet-diff process against `git diff --no-index` on the same files, in one run, and the
# peak memory of each comparison above the process's baseline (quennet-diff --version).
#   bench/form_diff_bench.sh BUILD_DIR [PAIRS] [ROUNDS]   (defaults: 20 pairs, 10 rounds)
set -uo pipefail
cli="$1/quennet-diff"
count=${2:-20}
rounds=${3:-10}
root=$(cd "$(dirname "$0")/.." && pwd)
pairs="$root/../shared/forms/pairs"
[ -d "$pairs" ] || { echo "no pairs in $pairs"; exit 2; }
mapfile -t dirs < <(for d in "$pairs"/*/; do
    n=$(ls "$d" | grep '^new\.'); printf '%s %s\n' "$(stat -c %s "$d$n")" "$d"; done |
    sort -rn | head -n "$count" | cut -d' ' -f2)
run_all() { # the command before OLD NEW
    for ((r = 0; r < rounds; ++r)); do
        for d in "${dirs[@]}"; do
            "$@" "$d"old.* "$d"new.* >/dev/null 2>&1
        done
    done
}
now() { date +%s.%N; }
t0=$(now); run_all "$cli"; t1=$(now)
run_all git diff --no-index --no-color; t2=$(now)
ours=$(echo "$t1 - $t0" | bc); git=$(echo "$t2 - $t1" | bc)
printf '%d pairs x %d rounds: quennet-diff %.3f s, git diff --no-index %.3f s, ratio %.2f\n' \
    "${#dirs[@]}" "$rounds" "$ours" "$git" "$(echo "$ours / $git" | bc -l)"
peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
base=$(peak "$cli" --version)
git_base=$(peak git --version)
worst=0 worst_git=0
for d in "${dirs[@]}"; do
    inputs=$(( ($(stat -c %s "$d"old.*) + $(stat -c %s "$d"new.*)) / 1024 ))
    ratio=$(echo "($(peak "$cli" "$d"old.* "$d"new.*) - $base) / $inputs" | bc -l)
    (( $(echo "$ratio > $worst" | bc) )) && worst=$ratio
    ratio=$(echo "($(peak git diff --no-index --no-color "$d"old.* "$d"new.*) - $git_base) / $inputs" | bc -l)
    (( $(echo "$ratio > $worst_git" | bc) )) && worst_git=$ratio
done
printf 'peak memory above the baseline (%d KB): at most %.2f x the two inputs' "$base" "$worst"
printf ' (git diff: at most %.2f x above its own baseline of %d KB)\n' "$worst_git" "$git_base"
