#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer and AddressSanitizer, and runs them:
#   fuzz/build.sh                         build every target into build-fuzz/
#   fuzz/build.sh run rtf_reader 300      run one target for 300 seconds on its corpus
#   fuzz/build.sh replay [SECONDS]        run every target on its saved inputs only (CI)
#   fuzz/build.sh campaign SECONDS [T..]  run every target (or the named ones) in turn, niced,
#                                         and print each one's executions and findings
# The engine's sources are every .cpp under src/core, as the CMake build takes them. Builds
# are serialised by a lock, so runs started at the same time share one build; each run keeps
# its new inputs in fuzz/corpus-<target>/ (not committed) and its findings in
# build-fuzz/findings/. Keep a finding by copying it into fuzz/corpus/<target>/, where
# core_tests replays it on every build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build-fuzz"
mkdir -p "$out/obj" "$out/findings"
cxx=${CXX_FUZZ:-clang++}
launcher=
if command -v ccache >/dev/null; then launcher=ccache; fi
# No warning flags: the CMake build holds these same sources to GCC's full set, and a fuzz
# run is no place to learn of clang's different opinions.
flags=(-std=c++20 -O1 -g -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
       -DQUENNET_VERSION="\"fuzz\"" -I"$root/src/core")
targets=()
for f in "$root"/fuzz/*_fuzz.cpp; do
  t=$(basename "$f" _fuzz.cpp)
  targets+=("$t")
done

compile_one() { # source: compiled when it or any engine header is newer than its object
  local s=$1 o
  o="$out/obj/$(realpath --relative-to="$root/src/core" "$s" | tr / _).o"
  if [ ! -f "$o" ] || [ "$s" -nt "$o" ] ||
     [ -n "$(find "$root/src/core" -name '*.h' -newer "$o" -print -quit)" ]; then
    $launcher "$cxx" @"$out/flags.rsp" -c "$s" -o "$o.tmp" && mv "$o.tmp" "$o"
  fi
}
export -f compile_one
export root out cxx launcher

build() {
  local sources objs=() s
  mapfile -t sources < <(find "$root/src/core" -name '*.cpp' | sort)
  # The flags reach the parallel compilers as a response file, one quoted flag a line.
  local f
  for f in "${flags[@]}"; do printf '"%s"\n' "${f//\"/\\\"}"; done >"$out/flags.rsp"
  printf '%s\0' "${sources[@]}" | xargs -0 -n1 -P "$(nproc)" bash -c 'compile_one "$0"'
  for s in "${sources[@]}"; do
    objs+=("$out/obj/$(realpath --relative-to="$root/src/core" "$s" | tr / _).o")
  done
  for t in "${targets[@]}"; do
    local bin="$out/${t}_fuzz"
    if [ ! -f "$bin" ] || [ -n "$(find "$root/fuzz" "$out/obj" -newer "$bin" \( -name '*.cpp' -o -name '*.h' -o -name '*.o' \) -print -quit)" ]; then
      "$cxx" "${flags[@]}" -fsanitize=fuzzer "$root/fuzz/${t}_fuzz.cpp" "${objs[@]}" -o "$bin.tmp"
      mv "$bin.tmp" "$bin"
    fi
  done
}

# One build at a time; a second caller waits and then finds everything up to date.
exec 9>"$out/.lock"
flock 9
build
flock -u 9

run() { # target seconds [extra libFuzzer options]
  local t=$1 seconds=$2
  shift 2
  mkdir -p "$root/fuzz/corpus-$t" "$root/fuzz/corpus/$t"
  "$out/${t}_fuzz" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=4096 \
    -print_final_stats=1 -artifact_prefix="$out/findings/$t-" "$@" \
    "$root/fuzz/corpus-$t" "$root/fuzz/corpus/$t"
}

case "${1:-}" in
run)
  run "$2" "${3:-120}"
  ;;
replay)
  for t in "${targets[@]}"; do
    echo "== $t"
    # Saved inputs only, once each; then a short run from them.
    "$out/${t}_fuzz" -runs=0 "$root/fuzz/corpus/$t" >"$out/replay-$t.log" 2>&1 ||
      { cat "$out/replay-$t.log"; exit 1; }
    tmp=$(mktemp -d)
    "$out/${t}_fuzz" -max_total_time="${2:-3}" -max_len=4096 -timeout=10 \
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
  for t in "${targets[@]}"; do
    log="$out/campaign-$t.log"
    status=ok
    nice -n 19 "$0" run "$t" "$seconds" >"$log" 2>&1 || status=FINDING
    execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
    echo "$t: ${execs:-0} executions in ${seconds} s, $status"
  done
  ;;
esac
