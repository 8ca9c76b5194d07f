#!/usr/bin/env bash
# Installs what building and playing need, builds the program and its data (not the tests:
# ./test.sh does), and starts the valley demo. Arguments go to valley (./run.sh --help lists
# them); it runs in the folder run.sh was started from, so the files and folders they name are
# taken from there, and finds its data beside itself in build/.
set -euo pipefail
repository="$(cd "$(dirname "$0")" && pwd)"
(cd "$repository" && scripts/setup.sh && TARGETS=valley scripts/build.sh -DVALLEY_BUILD_TESTS=OFF)
if [ -z "${DISPLAY:-}" ]; then
  # Xvfb picks a display number no server holds and writes it to the file once it accepts
  # clients: no other user's display is ever opened.
  display_file="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3> "$display_file" > /dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null || true; rm -f "$display_file"' EXIT
  for _ in $(seq 100); do
    grep -q . "$display_file" && break
    kill -0 $xvfb_pid 2>/dev/null || { echo "No display found, and Xvfb could not start." >&2; exit 1; }
    sleep 0.1
  done
  display=":$(head -n 1 "$display_file")"
  [ "$display" != ":" ] || { echo "No display found, and Xvfb did not start in 10 s." >&2; exit 1; }
  echo "No display found: running on the virtual display $display (Xvfb, 1920x1080)."
  export DISPLAY="$display"
fi
"$repository/build/valley" "$@"
