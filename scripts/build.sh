#!/usr/bin/env bash
# Configures and builds into the given folder (default: build). Extra arguments go to CMake.
# The compiler's output goes to <folder>/build.log; warnings and errors are shown.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
mkdir -p "$dir"
echo "Building in $dir (log: $dir/build.log)"
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >"$dir/build.log"
if ! cmake --build "$dir" -j"$(nproc)" >>"$dir/build.log" 2>&1; then
    grep -E -A5 'error|Error' "$dir/build.log" | head -n 60 >&2
    echo "The build failed; see $dir/build.log" >&2
    exit 1
fi
grep -E 'warning:' "$dir/build.log" | sort -u || true
