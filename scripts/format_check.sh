#!/usr/bin/env bash
# The format check: fails (exit 1, one line a file) when a C++ file the repository tracks is not
# laid out as .clang-format says. clang-format 14, Debian 12's, is the reference: another
# version lays out some lines differently. Hand-laid tables sit between "// clang-format off"
# and "// clang-format on".
#
#   scripts/format_check.sh [SOURCE_DIR]       lists the files to reformat
#   clang-format-14 -i FILE...                 reformats them
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ]; then
  echo "format check: clang-format 14 is not installed (scripts/setup.sh test installs it)" >&2
  exit 2
fi
failed=0
while IFS= read -r -d '' file; do
  if ! "$format" --dry-run -Werror "$file" >/dev/null 2>&1; then
    echo "not formatted: $file (clang-format-14 -i $file)"
    failed=1
  fi
done < <(git ls-files -z -- '*.cpp' '*.h')
exit $failed
