#!/usr/bin/env bash
# Fails when a tracked C or C++ source differs from what clang-format (.clang-format) makes of it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
git ls-files -z -- '*.c' '*.cc' '*.cpp' '*.h' '*.hpp' | xargs -0 -r clang-format --dry-run -Werror
echo "format check: clean"
