#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit, OpenGL and end-to-end) on a
# virtual 1920x1080 display.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
scripts/build.sh
cd build
xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" \
  ctest --output-on-failure -j"$(nproc)" --timeout 600
