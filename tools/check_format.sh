#!/usr/bin/env bash
# Fails, naming the files, when a C++ source is not as clang-format (the .clang-format at the
# root) would write it. Fix with: tools/check_format.sh --fix
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(find app bench cli engine tests text -name '*.cpp' -o -name '*.h' | sort)
if [[ "${1:-}" == "--fix" ]]; then
  clang-format -i "${files[@]}"
else
  clang-format --dry-run --Werror "${files[@]}"
fi
