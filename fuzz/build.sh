#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer, AddressSanitizer and UBSan, and runs them:
#   fuzz/build.sh                         build every target into build-fuzz/
#   fuzz/build.sh run rtf_reader 300      run one target for 300 seconds on its corpus
#   fuzz/build.sh replay [SECONDS]        run every target on its saved inputs only (CI)
#   fuzz/build.sh campaign SECONDS [T..]  run every target (or the named ones) for SECONDS each,
#                                         niced, two at once when the machine is idle, and add
#                                         each run's executions and findings to the log
#   fuzz/build.sh minimize [T..]          shrink the persistent corpora to the inputs that
#                                         keep their coverage (not while a campaign runs)
#   fuzz/build.sh totals                  the log summed per target, as README's table
# The engine's sources are every .cpp under src/core, as the CMake build takes them. Builds
# are serialised by a lock, so runs started at the same time share one build.
#
# Campaigns keep their growing corpora and findings in $QUENNET_FUZZ_WORK (default fuzz-work
# beside the checkout), and log each run in fuzz/campaign.log, which is committed: the count
# of executions must outlast the machine it ran on. Keep a finding by copying it
# into fuzz/corpus/<target>/, where core_tests replays it on every build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=${QUENNET_FUZZ_WORK:-$(dirname "$root")/fuzz-work}
runlog=$root/fuzz/campaign.log
mode=${1:-build}
out="$root/build-fuzz"
mkdir -p "$out"
cxx=${CXX_FUZZ:-clang++}
launcher=
if command -v ccache >/dev/null; then launcher=ccache; fi
# No warning flags: the CMake build holds these same sources to GCC's full set, and a fuzz
# run is no place to learn of clang's different opinions. -O2 ran the same inputs within 7%
# of -O1's time, not worth a second build.
flags_head=(-std=c++20 -O1 -g -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
flags_tail=(-DQUENNET_VERSION="\"fuzz\"" -I"$root/src/core")
targets=()
for f in "$root"/fuzz/*_fuzz.cpp; do
  t=$(basename "$f" _fuzz.cpp)
  targets+=("$t")
done

# Input size bound per target, in bytes. Every check a target makes shows up on inputs of a
# few KB; larger ones only make each execution slower (a parse, a conversion or the literal
# line matcher grows with the input, some of them faster than linearly).
max_len() {
  case "$1" in
    line_matcher) echo 600 ;;        # at most 200 lines a side are used
    folder_read) echo 16384 ;;       # a few of the reader's 64 KB blocks are not needed
    comparison | workspace | merge3) echo 4096 ;;
    *) echo 8192 ;;
  esac
}

# Extra libFuzzer options per target. The entropic schedule's bookkeeping grows with the
# coverage features of an execution: a third to a half of these targets' time (perf).
target_options() {
  case "$1" in
    comparison | line_matcher | merge3 | parser | pas_conversion | rtf_reader | workspace)
      echo -entropic=0 ;;
  esac
}

# Comparison tracing (trace-cmp, part of libFuzzer's default instrumentation) calls a hook on
# every compare: about half of an execution's time, and 60% of pas_conversion's, most of it in
# the line matcher. It pays where the input must match words the code compares against: the
# scanner, the parser and its directives, and the highlighter's keywords. Those sources are
# traced (variant obj) for the targets that read Pascal; everything else, and every source of
# the targets below, is built without it (obj-nocmp). These targets found as much coverage or
# more without it in the same CPU time, at 1.2 to 3.1 times the executions.
without_cmp_tracing() {
  case "$1" in
    line_matcher | merge3 | rtf_reader | workspace) return 0 ;;
  esac
  return 1
}

traced_source() { # a source whose compares are worth tracing
  case "$(realpath --relative-to="$root/src/core" "$1")" in
    pascal/* | workspace/pas_conversion.cpp) return 0 ;;
  esac
  return 1
}

variant_flags() { # obj or obj-nocmp: the compiler flags, one a line
  printf '%s\n' "${flags_head[@]}"
  if [ "$1" = obj-nocmp ]; then echo -fno-sanitize-coverage=trace-cmp; fi
  printf '%s\n' "${flags_tail[@]}"
}

compile_one() { # source variant: compiled when it or any engine header is newer than its object
  local s=$1 v=$2 o
  o="$out/$v/$(realpath --relative-to="$root/src/core" "$s" | tr / _).o"
  if [ ! -f "$o" ] || [ "$s" -nt "$o" ] ||
     [ -n "$(find "$root/src/core" -name '*.h' -newer "$o" -print -quit)" ]; then
    $launcher "$cxx" @"$out/$v.rsp" -c "$s" -o "$o.tmp" && mv "$o.tmp" "$o"
  fi
}
export -f compile_one
export root out cxx launcher

object_of() { # source variant
  echo "$out/$2/$(realpath --relative-to="$root/src/core" "$1" | tr / _).o"
}

build() {
  local sources s t v f traced=()
  mapfile -t sources < <(find "$root/src/core" -name '*.cpp' | sort)
  for s in "${sources[@]}"; do
    if traced_source "$s"; then traced+=("$s"); fi
  done
  for v in obj-nocmp obj; do
    mkdir -p "$out/$v"
    # The flags reach the parallel compilers as a response file, one quoted flag a line.
    variant_flags "$v" | while IFS= read -r f; do printf '"%s"\n' "${f//\"/\\\"}"; done >"$out/$v.rsp"
  done
  printf '%s\0' "${sources[@]}" | xargs -0 -n1 -P "$(nproc)" bash -c 'compile_one "$0" obj-nocmp'
  printf '%s\0' "${traced[@]}" | xargs -0 -n1 -P "$(nproc)" bash -c 'compile_one "$0" obj'
  for t in "${targets[@]}"; do
    local bin="$out/${t}_fuzz" objs=()
    v=obj
    without_cmp_tracing "$t" && v=obj-nocmp
    for s in "${sources[@]}"; do
      if [ "$v" = obj ] && traced_source "$s"; then objs+=("$(object_of "$s" obj)"); else objs+=("$(object_of "$s" obj-nocmp)"); fi
    done
    # Linked again when anything is newer, or when the objects it takes are others.
    if [ ! -f "$bin" ] || ! printf '%s\n' "${objs[@]}" | cmp -s - "$bin.objects" ||
       [ -n "$(find "$root/fuzz" "${objs[@]}" -newer "$bin" \( -name '*.cpp' -o -name '*.h' -o -name '*.o' \) -print -quit)" ]; then
      mapfile -t f < <(variant_flags "$v")
      "$cxx" "${f[@]}" -fsanitize=fuzzer "$root/fuzz/${t}_fuzz.cpp" "${objs[@]}" -o "$bin.tmp"
      mv "$bin.tmp" "$bin"
      printf '%s\n' "${objs[@]}" >"$bin.objects"
    fi
  done
}

# One build at a time; a second caller waits and then finds everything up to date.
if [ "$mode" != totals ]; then
  exec 9>"$out/.lock"
  flock 9
  build
  # The code the targets were built from, for the log: the commit, with "+" when the engine or
  # the targets had changes not yet committed.
  built=$(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo -)
  if [ -n "$(git -C "$root" status --porcelain -- src/core fuzz 2>/dev/null | grep -v 'campaign.log\|README' || true)" ]; then
    built+=+
  fi
  flock -u 9
fi

# Scratch files (folder_read) go to memory when there is a tmpfs for them.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi

run() { # target seconds [extra libFuzzer options]
  local t=$1 seconds=$2
  shift 2
  mkdir -p "$work/corpus/$t" "$work/findings"
  # The timeout is wall time: a run at nice 19 on a loaded machine gets a few per cent of a
  # core, and 10 s there flagged an input that takes under 3 CPU seconds.
  # Five frames of where each block was allocated and freed, not thirty: unwinding on every
  # malloc was a tenth of merge3's time. A finding replays with the full stacks.
  # shellcheck disable=SC2046
  ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=5} \
  "$out/${t}_fuzz" -max_total_time="$seconds" -max_len="$(max_len "$t")" -timeout=60 \
    $(target_options "$t") -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$work/findings/$t-" "$@" "$work/corpus/$t" "$root/fuzz/corpus/$t"
}

# Runs one target and appends "date target seconds executions findings built" to the log;
# findings is "none" or the name of the input that failed, kept in $work/findings/.
campaign_one() {
  local t=$1 seconds=$2 log status=none execs start=$SECONDS
  log=$(mktemp "$work/run-$t.XXXXXX")
  if ! (renice -n 19 -p "$BASHPID" >/dev/null && run "$t" "$seconds") >"$log" 2>&1; then
    # An interrupted run is no finding; any other failure is one, with or without an input.
    grep -q 'libFuzzer: run interrupted' "$log" ||
      status=$(grep -o 'Test unit written to [^ ]*' "$log" | tail -1 | sed 's/.*\///' || true)
    [ -n "$status" ] || status=failed
  fi
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
  printf '%s %s %s %s %s %s\n' "$(date -u +%F)" "$t" "$((SECONDS - start))" "${execs:-0}" \
    "$status" "$built" >>"$runlog"
  echo "$t: ${execs:-0} executions in $((SECONDS - start)) s, findings: $status"
  if [ "$status" = none ]; then rm -f "$log"; else mv "$log" "$work/findings/$t-$(date +%s).log"; fi
}

# Read whole before it runs, so that editing this file under a long campaign cannot change
# what the campaign does next.
{
case "$mode" in
build) ;;
run)
  run "$2" "${3:-120}"
  ;;
replay)
  mkdir -p "$out/findings"
  for t in "${targets[@]}"; do
    echo "== $t"
    # Saved inputs only, once each; then a short run from them.
    "$out/${t}_fuzz" -runs=0 "$root/fuzz/corpus/$t" >"$out/replay-$t.log" 2>&1 ||
      { cat "$out/replay-$t.log"; exit 1; }
    tmp=$(mktemp -d)
    "$out/${t}_fuzz" -max_total_time="${2:-3}" -max_len="$(max_len "$t")" -timeout=10 \
      -artifact_prefix="$out/findings/$t-" "$tmp" "$root/fuzz/corpus/$t" >"$out/replay-$t.log" 2>&1 ||
      { rm -rf "$tmp"; tail -40 "$out/replay-$t.log"; exit 1; }
    rm -rf "$tmp"
    grep -h "stat::number_of_executed_units\|^Done\|#[0-9]*.*DONE" "$out/replay-$t.log" | tail -1 || true
  done
  ;;
campaign)
  seconds=$2
  shift 2
  [ $# -gt 0 ] && targets=("$@")
  mkdir -p "$work/findings"
  for t in "${targets[@]}"; do mkdir -p "$work/corpus/$t"; done
  # A second run starts beside the first only while the cores are otherwise idle.
  for t in "${targets[@]}"; do
    while running=$(jobs -rp | wc -l) && [ "$running" -ge 1 ] &&
          { [ "$running" -ge 2 ] ||
            awk -v n="$(nproc)" -v r="$running" '{ exit !($1 - r > n - 1.5) }' /proc/loadavg; }; do
      wait -n || true
    done
    campaign_one "$t" "$seconds" &
  done
  wait
  ;;
minimize)
  # Every campaign run starts by running its whole corpus once; libFuzzer's merge keeps the
  # inputs that give all of its coverage, a quarter to a half of them after a few rounds.
  shift
  [ $# -gt 0 ] && targets=("$@")
  for t in "${targets[@]}"; do
    [ -d "$work/corpus/$t" ] || continue
    rm -rf "$work/corpus/$t.min"
    mkdir -p "$work/corpus/$t.min"
    "$out/${t}_fuzz" -merge=1 -max_len="$(max_len "$t")" -timeout=60 -rss_limit_mb=2048 \
      "$work/corpus/$t.min" "$work/corpus/$t" >"$out/minimize-$t.log" 2>&1 ||
      { tail -20 "$out/minimize-$t.log"; exit 1; }
    echo "$t: $(find "$work/corpus/$t" -type f | wc -l) inputs, $(find "$work/corpus/$t.min" -type f | wc -l) kept"
    rm -rf "$work/corpus/$t"
    mv "$work/corpus/$t.min" "$work/corpus/$t"
  done
  ;;
totals)
  # Per target: runs, seconds, executions and findings summed over the whole log. A line that
  # ends in runs=N stands for N runs whose own lines were lost.
  echo "| target | runs | seconds | executions | findings | last run |"
  echo "|---|---|---|---|---|---|"
  grep -v '^#' "$runlog" | sort -k2,2 -k1,1 | awk '
    { runs[$2] += $7 ~ /^runs=/ ? substr($7, 6) : 1
      secs[$2] += $3; execs[$2] += $4; last[$2] = $1
      if ($5 != "none") found[$2]++ }
    END { for (t in runs)
            printf "| %s | %d | %d | %d | %d | %s |\n", t, runs[t], secs[t], execs[t], found[t], last[t] }' |
    sort
  ;;
*)
  echo "usage: fuzz/build.sh [run T SECONDS | replay [SECONDS] | campaign SECONDS [T..] | minimize [T..] | totals]" >&2
  exit 2
  ;;
esac
exit
}
