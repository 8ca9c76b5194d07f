#!/usr/bin/env bash
# scripts/check_layers.sh and scripts/check_state.sh against a small tree of their own: one file
# a layer, each calling the layers below it, built into one library a layer, and one test file a
# layer (not built). The clean tree passes both; each breach, made alone on a fresh copy, fails
# one of them.
#
#   check_layers_test.sh SOURCE_DIR CXX AR
set -euo pipefail
source_dir=$1
cxx=$2
ar=$3
scripts=("$source_dir/scripts/check_layers.sh" "$source_dir/scripts/check_state.sh")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The clean tree: the layer lists as the project sets them; layer L defines valley::L_value()
# and calls the value of every layer it sees.
base="$work/base"
mkdir -p "$base"
grep -E '^set\(VALLEY_BELOW_' "$source_dir/CMakeLists.txt" > "$base/CMakeLists.txt"
layers=$(sed -nE 's/^set\(VALLEY_BELOW_([a-z]+).*/\1/p' "$base/CMakeLists.txt")
for layer in $layers; do
  mkdir -p "$base/$layer" "$base/tests/$layer"
  below=$(sed -nE "s/^set\\(VALLEY_BELOW_$layer[[:space:]]*\"?([a-z ]*)\"?\\)$/\\1/p" "$base/CMakeLists.txt")
  echo "namespace valley { int ${layer}_value(); }" > "$base/$layer/$layer.h"
  {
    echo "#include \"$layer/$layer.h\""
    for seen in $below; do
      echo "#include \"$seen/$seen.h\""
    done
    echo "namespace valley {"
    echo "int ${layer}_value() { return 1$(for seen in $below; do printf ' + %s_value()' "$seen"; done); }"
    echo "}"
  } > "$base/$layer/$layer.cpp"
  echo "#include \"$layer/$layer.h\"" > "$base/tests/$layer/${layer}_test.cpp"
done
touch "$base/platform/input.h"

# check CASE EXPECTED EDIT...: a fresh copy with EDIT run in it, built and checked; EXPECTED is
# "passes" or the breach the check must report (and fail on).
failures=0
check() {
  local name=$1 expected=$2
  shift 2
  local tree="$work/$name"
  cp -r "$base" "$tree"
  (cd "$tree" && eval "$@")
  for layer in $layers; do
    mkdir -p "$tree/build/$layer"
    "$cxx" -c -I"$tree" "$tree/$layer/$layer.cpp" -o "$tree/build/$layer/$layer.o"
    "$ar" rcs "$tree/build/$layer/libvalley_$layer.a" "$tree/build/$layer/$layer.o"
  done
  local status=0 script
  for script in "${scripts[@]}"; do
    "$script" "$tree/build" "$tree" >> "$tree/output" 2>&1 || status=$?
  done
  if { [ "$expected" = passes ] && [ $status -ne 0 ]; } ||
     { [ "$expected" != passes ] && { [ $status -ne 1 ] || ! grep -qF -- "$expected" "$tree/output"; }; }; then
    echo "FAIL $name: expected $expected, exit status $status:"
    cat "$tree/output"
    failures=$((failures + 1))
  else
    echo "ok   $name: $expected"
  fi
}

check clean passes true
check upward_include "physics/physics.cpp:8: physics includes game/" "echo '#include \"game/game.h\"' >> physics/physics.cpp"
check render_includes_physics "render includes physics/" "echo '#include \"physics/physics.h\"' >> render/render.cpp"
check physics_includes_render "physics includes render/" "echo '#include \"render/render.h\"' >> physics/physics.cpp"
check test_includes_above_its_layer "tests/core/core_test.cpp:2: core includes app/" "echo '#include \"app/app.h\"' >> tests/core/core_test.cpp"
check render_includes_input "render includes platform/input.h" "echo '#include \"platform/input.h\"' >> render/render.cpp"
check glfw_outside_platform "tests/assets/assets_test.cpp:2: GLFW outside platform/" "echo '#include <GLFW/glfw3.h>' >> tests/assets/assets_test.cpp"
check hand_declared_upward_call "libvalley_assets.a calls valley::game_value() of game" \
  "echo 'namespace valley { int game_value(); int fromBelow() { return game_value(); } }' >> assets/assets.cpp"
check hand_declared_call_across "libvalley_physics.a calls valley::render_value() of render" \
  "echo 'namespace valley { int render_value(); int across() { return render_value(); } }' >> physics/physics.cpp"
check hand_declared_downward_call passes \
  "echo 'namespace valley { int core_value(); int fromAbove() { return core_value(); } }' >> app/app.cpp"
check writable_global "writable state outside the run and platform objects: valley::counter (game/)" \
  "echo 'namespace valley { int counter; int bump() { return ++counter; } }' >> game/game.cpp"
check function_static "valley::tally()::count (render/)" \
  "echo 'namespace valley { int tally() { static int count; return ++count; } }' >> render/render.cpp"
check run_object_and_constant_table passes \
  "echo 'namespace valley { struct RunState { int ticks; }; RunState theRun; extern const char* const names[]; const char* const names[] = {\"a\"}; }' >> app/app.cpp"
check key_read_outside_the_table "a key code outside platform/ and the controls table" \
  "echo 'bool jumps(const InputState& input) { return isHeld(input, keySpace); }' > game/jump.h"
check context_handed_at_creation "a behaviour is handed its world at creation" \
  "echo 'struct FallContext;' > game/fall.h"

[ $failures -eq 0 ]
