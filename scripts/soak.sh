#!/usr/bin/env bash
# The 30,000-frame soak run of the real engine in a release build (build-bench/), on a virtual
# display when there is none. Prints peak memory and the engine's own time per frame (mean and
# lower decile) at frames 5,000 and 30,000; exits non-zero when the memory or the time's lower
# decile grew or shrank by 10 % or more. Run it on a quiet machine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh bench
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVALLEY_BUILD_BENCHMARKS=ON -DVALLEY_BUILD_TESTS=OFF > /dev/null
cmake --build build-bench -j"$(nproc)" --target valley_soak > build-bench.log 2>&1 || { tail -n 40 build-bench.log; exit 1; }
cd build-bench
on_display=()
[ -z "${DISPLAY:-}" ] && on_display=(xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp")
"${on_display[@]}" bench/engine/valley_soak > /dev/null
