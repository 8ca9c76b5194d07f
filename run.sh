#!/usr/bin/env bash
# Installs what is missing, builds, and starts the valley demo. Arguments go to valley
# (./run.sh --help lists them); it runs in the folder run.sh was started from, so the files and
# folders they name are taken from there, and finds its data beside itself in build/.
set -euo pipefail
repository="$(cd "$(dirname "$0")" && pwd)"
(cd "$repository" && scripts/setup.sh && scripts/build.sh)
if [ -z "${DISPLAY:-}" ]; then
  display=":$(( 90 + RANDOM % 100 ))"
  echo "No display found: running on the virtual display $display (Xvfb, 1920x1080)."
  Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp > /dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
  sleep 1
  export DISPLAY="$display"
fi
"$repository/build/valley" "$@"
