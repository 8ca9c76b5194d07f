#!/usr/bin/env bash
# Installs what is missing (the tests' tooling too), checks that every C++ file is laid out as
# .clang-format says (scripts/format_check.sh), builds, checks the layer fence
# (scripts/check_layers.sh) and where the run's state lives (scripts/check_state.sh), and runs
# every test (unit, OpenGL and end-to-end) on a virtual 1920x1080 display; also the browser
# build's pure suites under node and its page in headless Chromium.
#
# ./test.sh --sanitize [ctest arguments] builds into build-sanitize/ with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs the same tests there: any memory error, undefined
# behaviour or leak at exit fails the test that caused it (the valley program included).
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh test
scripts/format_check.sh
if [ "${1:-}" != --sanitize ]; then
  # The browser build with its pure suites under node; its page is tested from build/.
  scripts/web.sh --tests
  scripts/build.sh -DVALLEY_BUILD_TESTS=ON -DVALLEY_WEB_DIR="$PWD/build-web"
  scripts/check_layers.sh build
  scripts/check_state.sh build
  cd build
  # -noreset: the X server otherwise resets whenever its last client leaves, and a test
  # connecting meanwhile finds no display.
  xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp -noreset" \
    ctest --output-on-failure -j"$(nproc)" --timeout 600
  exit
fi

shift
# scripts/lsan.supp ignores leaked calloc and realloc blocks (Mesa's): our code must not use them.
if grep -rnwE 'calloc|realloc' --include='*.cpp' --include='*.h' app assets core game physics platform render tools tests; then
  echo "calloc or realloc in our code: its leaks would be suppressed (scripts/lsan.supp)" >&2
  exit 1
fi
# Set before the build: test discovery runs the sanitized test programs too.
export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
# -O1 keeps the reports' stacks readable at a bearable speed.
BUILD_DIR=build-sanitize scripts/build.sh -DVALLEY_SANITIZE=ON -DVALLEY_BUILD_TESTS=ON \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g"
scripts/check_layers.sh build-sanitize
scripts/check_state.sh build-sanitize
cd build-sanitize
# -noreset: the X server otherwise resets whenever its last client leaves, and a test connecting
# meanwhile finds no display.
xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp -noreset" \
  ctest --output-on-failure -j"$(nproc)" --timeout 600 "$@"
