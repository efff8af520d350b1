#!/usr/bin/env bash
# Fails when any of the project's C++ files differs from what clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')
[ "${#files[@]}" -eq 0 ] || clang-format --dry-run --Werror "${files[@]}"
echo "format check: ${#files[@]} files formatted"
