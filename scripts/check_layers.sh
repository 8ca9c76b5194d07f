#!/usr/bin/env bash
# The layer fence, for includes and for calls: fails (exit 1, one line a breach) when
#  - a file of a layer folder, or of tests/<layer>/, includes a folder that layer may not see
#    (the VALLEY_BELOW_<layer> lists of CMakeLists.txt: the order
#    core <- platform <- assets <- {render, physics} <- game <- app, render and physics side by
#    side), when render includes platform/input.h, or when a file outside platform/ includes
#    GLFW;
#  - a layer's library (BUILD_DIR/<layer>/libvalley_<layer>.a) leaves a valley:: symbol undefined
#    that only the library of a layer it may not see defines: a call up (or across) the layers
#    declared by hand, which the include fence cannot see.
#
#   scripts/check_layers.sh BUILD_DIR [SOURCE_DIR]
# SOURCE_DIR (the tree this script lies in by default) is for the script's own test.
set -euo pipefail
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 BUILD_DIR [SOURCE_DIR]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
source_dir=$(cd "${2:-$(dirname "$0")/..}" && pwd)
cd "$source_dir"

# Layer -> the folders it may see besides its own, as CMakeLists.txt sets them.
declare -A below
layers=()
while read -r layer folders; do
  layers+=("$layer")
  below[$layer]="$folders"
done < <(sed -nE 's/^set\(VALLEY_BELOW_([a-z]+)[[:space:]]*"?([a-z ]*)"?\)$/\1 \2/p' CMakeLists.txt)
if [ ${#layers[@]} -eq 0 ]; then
  echo "no VALLEY_BELOW_<layer> lists in $source_dir/CMakeLists.txt" >&2
  exit 2
fi

breaches=0
breach() {
  echo "$1"
  breaches=$((breaches + 1))
}

sees() { # sees LAYER FOLDER
  [ "$1" = "$2" ] && return 0
  local folder
  for folder in ${below[$1]}; do
    [ "$folder" = "$2" ] && return 0
  done
  return 1
}

is_layer() {
  local layer
  for layer in "${layers[@]}"; do
    [ "$layer" = "$1" ] && return 0
  done
  return 1
}

# Includes.
for layer in "${layers[@]}"; do
  for dir in "$layer" "tests/$layer"; do
    [ -d "$dir" ] || continue
    while IFS=: read -r file line folder; do
      if is_layer "$folder" && ! sees "$layer" "$folder"; then
        breach "$file:$line: $layer includes $folder/"
      fi
    done < <(grep -rnE --include='*.cpp' --include='*.h' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z_]+/' "$dir" |
             sed -E 's/^([^:]+):([0-9]+):.*#[[:space:]]*include[[:space:]]*"([a-z_]+)\/.*/\1:\2:\3/')
  done
done
while IFS=: read -r file line _; do
  breach "$file:$line: render includes platform/input.h"
done < <(grep -rnE --include='*.cpp' --include='*.h' '#[[:space:]]*include[[:space:]]*"platform/input\.h"' render || true)
while IFS=: read -r file line _; do
  case "$file" in platform/*) continue ;; esac
  breach "$file:$line: GLFW outside platform/"
done < <(grep -rnE --include='*.cpp' --include='*.h' --exclude-dir='build*' '#[[:space:]]*include[[:space:]]*[<"]GLFW/' . |
         sed 's|^\./||' || true)

# Calls: the symbols each library defines and leaves undefined.
declare -A defined_in
missing=()
for layer in "${layers[@]}"; do
  library="$build/$layer/libvalley_$layer.a"
  if [ ! -f "$library" ]; then
    missing+=("$library")
    continue
  fi
  while IFS= read -r symbol; do
    defined_in[$symbol]+=" $layer"
  done < <(nm -C --defined-only "$library" 2>/dev/null | sed -nE 's/^[0-9a-f]+ [TWDBRVu] (.*valley::.*)$/\1/p' | sort -u)
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "not built: ${missing[*]}" >&2
  exit 2
fi
for layer in "${layers[@]}"; do
  while IFS= read -r symbol; do
    owners=${defined_in[$symbol]:-}
    [ -n "$owners" ] || continue # outside the engine's libraries
    allowed=false
    for owner in $owners; do
      if sees "$layer" "$owner"; then
        allowed=true
      fi
    done
    if [ "$allowed" = false ]; then
      breach "libvalley_$layer.a calls $symbol of$owners"
    fi
  done < <(nm -C --undefined-only "$build/$layer/libvalley_$layer.a" 2>/dev/null |
           sed -nE 's/^[[:space:]]*[Uw] (.*valley::.*)$/\1/p' | sort -u)
done

if [ "$breaches" -gt 0 ]; then
  echo "$breaches breaches of the layer fence" >&2
  exit 1
fi
echo "layer fence holds: ${layers[*]}"
