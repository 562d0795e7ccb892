#!/usr/bin/env bash
# Checks that every tracked C++ file (*.cpp, *.h) is formatted as .clang-format says
# (Debian's clang-format 14). Lists the files that are not and fails; fix them with
#   clang-format -i FILE...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
clang_format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$clang_format" ]; then
  echo "Format check: clang-format is not installed (scripts/deps.sh installs it)" >&2
  exit 1
fi
# One clang-format for all files; each misformatted place is reported as
# "FILE:LINE:COLUMN: error: code should be clang-formatted".
list_files() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z -- '*.cpp' '*.h'
  else  # an exported tree: every C++ file outside the build folders
    find . -path './build*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0
  fi
}
report=$(list_files | xargs -0 "$clang_format" --dry-run -Werror 2>&1) && status=0 || status=$?
if ((status)); then
  echo "Format check: these files do not match .clang-format (run clang-format -i on them):" >&2
  grep -oE '^[^:]+:[0-9]+:[0-9]+: error: code should be clang-formatted' <<<"$report" |
    cut -d: -f1 | sort -u | sed 's/^/  /' >&2 || echo "$report" >&2
  exit 1
fi
echo "Format check: every tracked C++ file matches .clang-format"
