#!/usr/bin/env bash
# Renders the main window with each of its five panes, and the About box, to PNG files without a
# display. Usage: scripts/render-panes.sh [output folder] (default: <build>/panes).
# PELMORA2_BUILD_DIR chooses the build folder (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${PELMORA2_BUILD_DIR:-build}
out=${1:-$build/panes}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target pelmora2_render_panes >/dev/null
mkdir -p "$out"
QT_QPA_PLATFORM=offscreen "$build/bin/pelmora2_render_panes" "$out"
echo "Pane images are in $out"
