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
bench/engine/valley_standard_session standard_session_0.vrec 0
"${on_display[@]}" ./valley --replay standard_session.vrec --benchmark | grep -E '^(Replayed|Benchmark)'

# The flat-shaded reference: the same program and geometry built with flat-colour fragment
# shaders (build-bench-flat/, which copies them into its data folder), replayed from here.
mkdir -p flat_shaders
cp ../shaders/*Vert.txt ../bench/engine/flat_shaders/*.txt flat_shaders/
cmake -S .. -B ../build-bench-flat -DCMAKE_BUILD_TYPE=Release -DVALLEY_BUILD_TESTS=OFF \
  -DVALLEY_SHADER_DIR="$PWD/flat_shaders" > /dev/null
cmake --build ../build-bench-flat -j"$(nproc)" --target valley valley_data >> ../build-bench.log 2>&1 ||
  { tail -n 40 ../build-bench.log; exit 1; }
fps() {
  "${on_display[@]}" "$1" --replay "$2" --benchmark | sed -n 's/.* \([0-9.]*\) frames drawn per second.*/\1/p'
}
echo "Load average before the frame rates: $(cut -d' ' -f1-3 /proc/loadavg)"
for session in standard_session_0 standard_session; do
  shaded=$(fps ./valley "$session.vrec")
  flat=$(fps ../build-bench-flat/valley "$session.vrec")
  rocks=$([ "$session" = standard_session ] && echo 200 || echo 0)
  awk -v r="$rocks" -v s="$shaded" -v f="$flat" 'BEGIN {
    printf "Standard session, %d rocks: %.1f frames per second, flat-shaded %.1f: %.2f of the flat-shaded rate\n", r, s, f, s / f }'
done
