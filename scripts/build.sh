#!/usr/bin/env bash
# Configures and builds into build/ (the program, its generated data and, unless
# -DVALLEY_BUILD_TESTS=OFF is given, the tests), showing the build's progress lines; the whole
# output goes to build.log. BUILD_DIR names another build folder, which then keeps its own
# build.log; TARGETS="valley ..." builds only those targets.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${BUILD_DIR:-build}"
log=build.log
if [ "$dir" != build ]; then
  mkdir -p "$dir"
  log="$dir/build.log"
fi
targets=()
for target in ${TARGETS:-}; do
  targets+=(--target "$target")
done
echo "Configuring $dir/ ..."
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "$@" > "$log" 2>&1 || { cat "$log"; exit 1; }
echo "Building $dir/ (full output in $log) ..."
# Only the progress lines ("[ 42%] Building CXX object ...") reach the terminal.
cmake --build "$dir" -j"$(nproc)" "${targets[@]}" 2>&1 | tee -a "$log" | { grep --line-buffered '^\[' || true; } ||
  { tail -n 60 "$log"; exit 1; }
