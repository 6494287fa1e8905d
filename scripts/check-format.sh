#!/usr/bin/env bash
# Fails when clang-format, with the tree's .clang-format, would change a source file; prints
# each such file. Usage: scripts/check-format.sh [--fix] (--fix formats the files in place).
set -euo pipefail
cd "$(dirname "$0")/.."
formatter=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$formatter" ]; then
  echo "check-format: clang-format (package clang-format) was not found" >&2
  exit 2
fi
folders=(platform foundation caerep settings host runtime deck addin hostsim tools tests bench fuzz)
existing=()
for f in "${folders[@]}"; do [ -d "$f" ] && existing+=("$f"); done
mapfile -t files < <(find "${existing[@]}" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
if [ "${1:-}" = "--fix" ]; then
  "$formatter" -i --style=file "${files[@]}"
  exit 0
fi
# One clang-format per file, as many at once as there are processors.
jobs=$(nproc 2>/dev/null || echo 2)
unformatted=$(printf '%s\0' "${files[@]}" | xargs -0 -P "$jobs" -n 16 sh -c '
  for f in "$@"; do "$0" --style=file "$f" | cmp -s - "$f" || echo "$f"; done' "$formatter" | sort)
if [ -n "$unformatted" ]; then
  printf '%s: not as clang-format writes it (scripts/check-format.sh --fix)\n' $unformatted
  exit 1
fi
