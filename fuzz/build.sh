#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer and AddressSanitizer, and runs one for a while:
#   fuzz/build.sh                       build both into build-fuzz/
#   fuzz/build.sh run rtf_reader 300    run a target for 300 seconds on its corpus
# New inputs go to fuzz/corpus-<target>/ (not committed); keep a finding by copying it into
# fuzz/corpus/<target>/, where core_tests replays it on every build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build-fuzz"
mkdir -p "$out/obj"
cxx=${CXX_FUZZ:-clang++}
flags=(-std=c++20 -O1 -g -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
       -DQUENNET_VERSION="\"fuzz\"" -I"$root/src/core")

sources=("$root"/src/core/merge/*.cpp "$root/src/core/model/crc32.cpp"
         "$root/src/core/model/line_matcher.cpp" "$root/src/core/model/source_file.cpp"
         "$root"/src/core/analysis/*.cpp "$root/src/core/model/source_model.cpp")
objs=()
for s in "${sources[@]}"; do
  o="$out/obj/$(basename "$s" .cpp).o"
  if [ ! -f "$o" ] || [ "$s" -nt "$o" ]; then "$cxx" "${flags[@]}" -c "$s" -o "$o"; fi
  objs+=("$o")
done
for target in rtf_reader pas_conversion parser merge3; do
  "$cxx" "${flags[@]}" -fsanitize=fuzzer "$root/fuzz/${target}_fuzz.cpp" "${objs[@]}" \
    -o "$out/${target}_fuzz"
done

if [ "${1:-}" = run ]; then
  target=$2
  seconds=${3:-120}
  mkdir -p "$root/fuzz/corpus-$target"
  "$out/${target}_fuzz" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
    -print_final_stats=1 "$root/fuzz/corpus-$target" "$root/fuzz/corpus/$target"
fi
