#!/usr/bin/env bash
# Checks that every C++ source is formatted as .clang-format says; lists the files that are not.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t sources < <(find src sim tests bench helper -name '*.cpp' -o -name '*.h' | sort)
if ! report=$(clang-format --dry-run -Werror "${sources[@]}" 2>&1); then
    grep -o '^[^:]*\.\(cpp\|h\)' <<<"$report" | sort -u | sed 's/^/not formatted: /' >&2
    exit 1
fi
echo "Formatting: ${#sources[@]} files as .clang-format says"
