#!/usr/bin/env bash
# Builds the Debian package of the programs, adapters and helper into dist/ (CPack). The build folder
# (default build-package) gets a release build without tests; the package installs under /usr.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-package}
shift || true
scripts/build.sh "$dir" -DCMAKE_BUILD_TYPE=Release -DPELMORA2_BUILD_TESTS=OFF \
    -DPELMORA2_BUILD_BENCH=OFF "$@"
mkdir -p dist
(cd "$dir" && cpack -G DEB -B "$PWD/../dist" >cpack.log) || { cat "$dir/cpack.log" >&2; exit 1; }
rm -rf dist/_CPack_Packages
ls dist/*.deb
