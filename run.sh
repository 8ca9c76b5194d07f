#!/usr/bin/env bash
# Installs what is missing, builds, and starts the valley demo.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
scripts/build.sh
cd build
if [ -z "${DISPLAY:-}" ]; then
  display=":$(( 90 + RANDOM % 100 ))"
  echo "No display found: running on the virtual display $display (Xvfb, 1920x1080)."
  Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp > /dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
  sleep 1
  export DISPLAY="$display"
fi
./valley
