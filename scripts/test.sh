#!/usr/bin/env bash
# Sets up, builds and runs every test: the Windows programs (cross-built and packed, then run under Wine
# by the plain build's wine-app tests), a plain build, and a build with AddressSanitizer and
# UndefinedBehaviorSanitizer. PELMORA2_SANITIZE=0 skips the sanitizer pass, PELMORA2_WINDOWS=0 the
# Windows build (its tests then say they are skipped).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --test
scripts/check-format.sh

windows=()
if [ "${PELMORA2_WINDOWS:-1}" != 0 ]; then
    scripts/build-windows.sh
    version=$(sed -n 's/^project(Pelmora2 VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
    windows=(-DPELMORA2_WINDOWS_ZIP="$PWD/dist/pelmora2-$version-win64.zip")
fi

# The presets of CMakePresets.json: "ci" is the plain build in build/ where a warning fails the build.
PELMORA2_PRESET=ci scripts/build.sh build "${windows[@]}"
ctest --preset ci

if [ "${PELMORA2_SANITIZE:-1}" != 0 ]; then
    PELMORA2_PRESET=asan scripts/build.sh build-asan
    ctest --preset asan
fi
