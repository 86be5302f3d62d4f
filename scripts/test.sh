#!/usr/bin/env bash
# Sets up, builds and runs every test: once in a plain build, once with AddressSanitizer and
# UndefinedBehaviorSanitizer. Set PELMORA2_SANITIZE=0 to skip the sanitizer pass.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --test

scripts/build.sh build
(cd build && ctest --output-on-failure -j2)

if [ "${PELMORA2_SANITIZE:-1}" != 0 ]; then
    scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DPELMORA2_SANITIZE=ON -DPELMORA2_BUILD_BENCH=OFF
    (cd build-asan && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j2)
fi
