#!/usr/bin/env bash
# Configures and builds into build/ (the program, its generated data and the tests). BUILD_DIR
# names another build folder, which then keeps its own build.log.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${BUILD_DIR:-build}"
log=build.log
if [ "$dir" != build ]; then
  mkdir -p "$dir"
  log="$dir/build.log"
fi
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "$@" > "$log" 2>&1 || { cat "$log"; exit 1; }
cmake --build "$dir" -j"$(nproc)" >> "$log" 2>&1 || { tail -n 60 "$log"; exit 1; }
