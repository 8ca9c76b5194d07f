#!/usr/bin/env bash
# Builds a release build in build-bench/ and runs every benchmark: our loaders and physics
# against their peer libraries (medians of 5 repetitions), then the standard session (generated,
# the same bytes everywhere) replayed by the real program with --benchmark, on a virtual display
# when there is none.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh bench
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVALLEY_BUILD_BENCHMARKS=ON -DVALLEY_BUILD_TESTS=OFF > /dev/null
cmake --build build-bench -j"$(nproc)" > build-bench.log 2>&1 || { tail -n 40 build-bench.log; exit 1; }
cd build-bench
repeat=(--benchmark_repetitions=5 --benchmark_report_aggregates_only=true)
for suite in bench/assets/asset_benchmarks bench/physics/physics_benchmarks; do
  [ -x "$suite" ] && "$suite" "${repeat[@]}"
done
on_display=()
[ -z "${DISPLAY:-}" ] && on_display=(xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp")
bench/engine/valley_standard_session standard_session.vrec
"${on_display[@]}" ./valley --replay standard_session.vrec --benchmark | grep -E '^(Replayed|Benchmark)'
