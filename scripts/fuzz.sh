#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for the given number of
# seconds (600 by default), starting from the seeds in fuzz/corpus/<target>/ (for dds, the
# files valley_dds_seeds makes into build-fuzz/seeds/dds/).
#
#   scripts/fuzz.sh [seconds] [target ...]     targets: collada bmp shader_text recording dds (all by default)
#   FUZZ_PARALLEL=1 scripts/fuzz.sh ...        runs the targets side by side instead of in turn
#
# Inputs that reach new code are kept in build-fuzz/corpus/<target>/; an input that crashes,
# leaks, breaks a checked property or runs over 10 s is written to build-fuzz/findings/ and the
# script fails. Each run's log is build-fuzz/<target>.log.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(collada bmp shader_text recording dds)

mkdir -p build-fuzz/findings
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang-14 \
  -DCMAKE_CXX_COMPILER=clang++-14 -DVALLEY_FUZZ=ON -DVALLEY_BUILD_TESTS=OFF \
  > build-fuzz/build.log 2>&1 || { cat build-fuzz/build.log; exit 1; }
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]/#/fuzz_}" valley_dds_seeds \
  >> build-fuzz/build.log 2>&1 || { tail -n 60 build-fuzz/build.log; exit 1; }
build-fuzz/tools/valley_dds_seeds build-fuzz/seeds/dds

# Longest input tried: a 128 x 128 BMP, shader files, a few dozen frames of a recording, and for
# COLLADA 256 KB, enough for a few small meshes and for documents nested tens of thousands of
# elements deep (a seed nests 60,000).
# DDS: a 64 x 64 plain BGRA picture with its mipmaps.
declare -A max_len=([collada]=262144 [bmp]=65536 [shader_text]=16384 [recording]=4096 [dds]=32768)

fuzz() {
  local target=$1
  local options=(-max_total_time="$seconds" -max_len="${max_len[$target]}" -timeout=10
                 -rss_limit_mb=2048 -print_final_stats=1
                 -artifact_prefix="build-fuzz/findings/$target-")
  [ -f "fuzz/$target.dict" ] && options+=(-dict="fuzz/$target.dict")
  mkdir -p "build-fuzz/corpus/$target"
  local seeds=()
  for folder in "fuzz/corpus/$target" "build-fuzz/seeds/$target"; do
    [ -d "$folder" ] && seeds+=("$folder")
  done
  if "build-fuzz/fuzz/fuzz_$target" "${options[@]}" "build-fuzz/corpus/$target" "${seeds[@]}" \
       > "build-fuzz/$target.log" 2>&1; then
    echo "$target: $(grep -E '^#[0-9]+' "build-fuzz/$target.log" | tail -n 1)"
    grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "build-fuzz/$target.log" | sed "s/^/$target: /"
  else
    echo "$target: FAILED"
    tail -n 40 "build-fuzz/$target.log"
    return 1
  fi
}

failed=0
if [ "${FUZZ_PARALLEL:-0}" = 1 ]; then
  pids=()
  for target in "${targets[@]}"; do fuzz "$target" & pids+=($!); done
  for pid in "${pids[@]}"; do wait "$pid" || failed=$((failed + 1)); done
else
  for target in "${targets[@]}"; do fuzz "$target" || failed=$((failed + 1)); done
fi
echo "fuzz: $((${#targets[@]} - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
