#!/usr/bin/env bash
# Builds the valley for the browser (Emscripten, release) into build-web/: valley.html, valley.js,
# valley.wasm and valley.data (the data folder), which any static web server can serve.
#
#   scripts/web.sh           build
#   scripts/web.sh --tests   build with the pure test suites, and run them under node
#   scripts/web.sh --serve   build, then serve build-web/ on http://127.0.0.1:PORT/valley.html
#                            (PORT: VALLEY_WEB_PORT, default 8080)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh web
# Debian's Emscripten finds its node modules (acorn) only through NODE_PATH; this node refuses
# the emulator flag emcmake passes, and runs this Emscripten's output only without its own fetch.
export NODE_PATH=/usr/share/nodejs
launcher=()
command -v ccache > /dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
tests=OFF
[ "${1:-}" = --tests ] && tests=ON
mkdir -p build-web
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" -DVALLEY_NODE_TESTS=$tests \
  -DCMAKE_CROSSCOMPILING_EMULATOR="/usr/bin/node;--no-experimental-fetch" > build-web/build.log 2>&1 ||
  { cat build-web/build.log; exit 1; }
cmake --build build-web -j"$(nproc)" >> build-web/build.log 2>&1 || { tail -n 60 build-web/build.log; exit 1; }
if [ $tests = ON ]; then
  (cd build-web && ctest --output-on-failure -j"$(nproc)")
fi
if [ "${1:-}" = --serve ]; then
  port="${VALLEY_WEB_PORT:-8080}"
  echo "The valley: http://127.0.0.1:$port/valley.html"
  exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web
fi
