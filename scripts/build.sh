#!/usr/bin/env bash
# scripts/build.sh [folder] [CMake arguments]: configures with a preset of CMakePresets.json and builds.
# PELMORA2_PRESET names the preset (default "default"); the folder (default: the preset's, build or
# build-asan) and the extra arguments win over the preset's. The compiler's output goes to
# <folder>/build.log; warnings and errors are shown.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${PELMORA2_PRESET:-default}
if [ $# -gt 0 ]; then
    dir=$1
    shift
elif [ "$preset" = asan ]; then
    dir=build-asan
else
    dir=build
fi
mkdir -p "$dir"
echo "Building in $dir with preset $preset (log: $dir/build.log)"
cmake --preset "$preset" -B "$dir" "$@" >"$dir/build.log"
if ! cmake --build "$dir" -j"$(nproc)" >>"$dir/build.log" 2>&1; then
    grep -E -A5 'error|Error' "$dir/build.log" | head -n 60 >&2
    echo "The build failed; see $dir/build.log" >&2
    exit 1
fi
grep -E 'warning:' "$dir/build.log" | sort -u || true
