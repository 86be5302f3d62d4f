#!/usr/bin/env bash
# Builds qtbase for 64-bit Windows with MinGW from Debian's own source, once, into a cache folder
# (argument 1). The host Qt (qt6-base-dev) supplies moc, rcc and uic, so both must be the same
# version. A stamp records version and options: the cache is rebuilt only when they change.
set -euo pipefail
prefix=$1
here=$(cd "$(dirname "$0")" && pwd)
toolchain=$here/../../cmake/mingw-w64-x86_64.cmake

version=$(dpkg-query -W -f='${Version}' qt6-base-dev | sed 's/[+-].*//')
# Only what the programs use: Core, Gui, Widgets, Network, the windows platform plugin and the
# windowsvista style. Left out besides the other modules: FreeType (Windows draws text with GDI and
# DirectWrite), JPEG and GIF images, TUIO touch, and the TLS backend.
# Direct2D stays: without it Qt 6.4's Windows plugin links to a DirectWrite font database that Gui
# then leaves out.
# tabletevent: Debian's repacked source has no wintab.h, which the Windows plugin's tablet code needs.
options=(-DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
         -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
         -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
         -DFEATURE_sql=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_dbus=OFF
         -DFEATURE_openssl=OFF -DFEATURE_concurrent=OFF -DFEATURE_printsupport=OFF -DFEATURE_xml=OFF
         -DFEATURE_testlib=OFF -DFEATURE_tabletevent=OFF -DFEATURE_freetype=OFF
         -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_tuiotouch=OFF -DFEATURE_schannel=OFF)
stamp="qtbase $version mingw64 posix; $(sha256sum "$toolchain" | cut -c1-16); ${options[*]}"

if [ -f "$prefix/.pelmora2-stamp" ] && [ "$(cat "$prefix/.pelmora2-stamp")" = "$stamp" ]; then
    echo "Qt $version for MinGW: cached in $prefix"
    exit 0
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/pelmora2-qt.XXXXXX")
trap 'rm -rf "$work"' EXIT
echo "Building Qt $version for MinGW into $prefix (once per machine; about 30 minutes on 2 cores)"
start=$SECONDS
(cd "$work" && apt-get source --download-only -qq "qt6-base=$(dpkg-query -W -f='${Version}' qt6-base-dev)")
tar -xf "$work"/qt6-base_*.orig.tar.xz -C "$work"
src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qtbase*' | head -n 1)

rm -rf "$prefix"
cmake -S "$src" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}" >"$work/configure.log" 2>&1 ||
    { tail -n 40 "$work/configure.log" >&2; exit 1; }
cmake --build "$work/build" -j"$(nproc)" >"$work/build.log" 2>&1 ||
    { grep -E -A5 'error' "$work/build.log" | head -n 60 >&2; exit 1; }
cmake --install "$work/build" >/dev/null
printf '%s' "$stamp" >"$prefix/.pelmora2-stamp"
echo "Qt $version for MinGW built in $(((SECONDS - start) / 60)) min"
