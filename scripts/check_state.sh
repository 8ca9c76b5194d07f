#!/usr/bin/env bash
# Fails when the run's state leaks out of its two homes or old plumbing comes back:
# - a writable variable at namespace scope (or a function's static) in an engine library other
#   than the run object (app/) and the platform object (platform/), found in the built libraries'
#   writable data and bss sections (read-only-after-relocation tables are
#   constants), so a variable hidden behind a macro or a typedef is found as well;
# - a rock context handed over at creation (behaviours are handed each tick instead);
# - a key code, or a key read by its code, outside platform/ and the controls table
#   (game/controls.cpp);
# - a test below tests/app/ including app/.
#
#   scripts/check_state.sh BUILD_DIR [SOURCE_DIR]
# BUILD_DIR holds the engine's libraries (BUILD_DIR/<layer>/libvalley_<layer>.a); SOURCE_DIR (the
# tree this script lies in by default) is for the script's own test.
set -euo pipefail
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 BUILD_DIR [SOURCE_DIR]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
cd "${2:-$(dirname "$0")/..}"
layers=(core platform assets render physics game app)
# The two homes of mutable state, and the slot pools (core/slot_pool.h): the allocator of
# fixed-size records, as the heap is of the others.
allowed='^valley::(theRun|platform|poolOf<.*>\(\)::pool)$'
failed=0
complain() {
  echo "check_state: $*" >&2
  failed=1
}

for layer in "${layers[@]}"; do
  library=$build/$layer/libvalley_$layer.a
  [ -f "$library" ] || { complain "$library is not built"; continue; }
  while read -r name; do
    [[ $name =~ $allowed ]] || complain "writable state outside the run and platform objects: $name ($layer/)"
  done < <(objdump -t -C "$library" |
    sed -nE 's/^[0-9a-f]+ .{6}O ((\.data|\.bss)[^[:space:]]*)[[:space:]]+[0-9a-f]+ (valley::.*)$/\1 \3/p' |
    grep -v '^\.data\.rel\.ro' | cut -d' ' -f2- | grep -vE '^(typeinfo|vtable|guard variable)' | sort -u)
done

folders=()
for folder in "${layers[@]}" tests bench fuzz; do
  [ -d "$folder" ] && folders+=("$folder")
done
if grep -rn 'FallContext\|rockContext' --include='*.cpp' --include='*.h' "${folders[@]}"; then
  complain "a behaviour is handed its world at creation (above)"
fi
if grep -rnE "\bkey[A-Z][A-Za-z0-9]*\b|\b(isHeld|buttonHeld)\(" --include='*.cpp' --include='*.h' \
  "${layers[@]}" |
  grep -vE '^(platform/|game/controls\.cpp:)'; then
  complain "a key code outside platform/ and the controls table (above)"
fi
if [ -d tests ] && grep -rn '#include "app/' tests --include='*.cpp' --include='*.h' | grep -v '^tests/app/'; then
  complain "a test below tests/app/ includes app/ (above)"
fi
exit $failed
