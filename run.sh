#!/usr/bin/env bash
# Installs what is missing, builds, and starts the valley demo. Arguments go to valley
# (./run.sh --help lists them); the files and folders they name are taken relative to the
# directory run.sh was started from, though valley itself runs in build/.
set -euo pipefail
started_in="$PWD"
arguments=()
takes_path=0
for argument in "$@"; do
  if [ "$takes_path" = 1 ] && [ "${argument:0:1}" != / ]; then
    argument="$started_in/$argument"
  fi
  takes_path=0
  case "$argument" in --record | --replay | --capture) takes_path=1 ;; esac
  arguments+=("$argument")
done
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
./valley ${arguments[@]+"${arguments[@]}"}
