#!/usr/bin/env bash
# Checks that a change kept the picture: captures every 30th frame of the standard session, with
# 0 and with 200 rocks, from this tree's release build (build-bench/, made by scripts/bench.sh)
# and from REVISION's (default main), exported with git archive and built in build-picture/,
# then compares them frame by frame with valley_picture_diff. Exit status 0: the same picture
# (every channel's mean absolute difference at most 1/255 and no pixel off by more than 8/255).
#
#   scripts/picture_check.sh [REVISION]
set -euo pipefail
cd "$(dirname "$0")/.."
revision="${1:-main}"
[ -x build-bench/valley ] && [ -x build-bench/bench/engine/valley_picture_diff ] ||
  { echo "run scripts/bench.sh first: it makes build-bench/"; exit 1; }
rm -rf build-picture
mkdir -p build-picture/source
git archive "$revision" | tar -x -C build-picture/source
cmake -S build-picture/source -B build-picture/build -DCMAKE_BUILD_TYPE=Release -DVALLEY_BUILD_TESTS=OFF > /dev/null
cmake --build build-picture/build -j"$(nproc)" --target valley valley_data > build-picture/build.log 2>&1 ||
  { tail -n 40 build-picture/build.log; exit 1; }
on_display=()
[ -z "${DISPLAY:-}" ] && on_display=(xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp")
status=0
for rocks in 0 200; do
  session="$PWD/build-picture/session_$rocks.vrec"
  build-bench/bench/engine/valley_standard_session "$session" "$rocks"
  for side in build-picture/build build-bench; do
    rm -rf "$side/frames_$rocks"
    (cd "$side" && "${on_display[@]}" ./valley --replay "$session" --capture "$PWD/frames_$rocks" --every 30 > /dev/null)
  done
  echo -n "$rocks rocks, $revision against this tree: "
  build-bench/bench/engine/valley_picture_diff build-picture/build/frames_$rocks build-bench/frames_$rocks || status=1
done
exit $status
