#!/usr/bin/env bash
# Builds the Windows programs on Debian and packs them: dist/pelmora2-<version>-win64.zip.
# Qt for Windows is built once from Debian's own qtbase source into a cache
# (PELMORA2_QT_MINGW, default /var/cache/pelmora2/qt-6.4.2-mingw64); later runs take minutes.
# The cross build is left in build-windows/ (the Wine tests run the programs from there).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/setup.sh --windows

qt=${PELMORA2_QT_MINGW:-/var/cache/pelmora2/qt-6.4.2-mingw64}
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && [ ! -w "$(dirname "$qt")" ] && sudo_cmd=(sudo)
"${sudo_cmd[@]}" mkdir -p "$(dirname "$qt")"
"${sudo_cmd[@]}" scripts/windows/build-qt.sh "$qt"

build=$root/build-windows
start=$SECONDS
scripts/build.sh "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_PREFIX_PATH="$qt" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DPELMORA2_BUILD_TESTS=OFF -DPELMORA2_BUILD_BENCH=OFF
echo "Windows programs built in $((SECONDS - start)) s"

version=$(sed -n 's/^project(Pelmora2 VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
scripts/windows/pack-zip.sh "$build/bin" "$qt" "$root/dist/pelmora2-$version-win64.zip"
