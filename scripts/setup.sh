#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Pelmora2 need, when they are missing.
set -euo pipefail

packages=(build-essential cmake qt6-base-dev iproute2 iputils-ping)
# The window is laid out for a narrow sans-serif; Liberation Sans has Arial's widths. Without it a wider
# font stands in and the window draws the texts that would not fit smaller.
window_fonts=(fonts-liberation)
case "${1:-}" in
    --run) packages+=("${window_fonts[@]}" xvfb xauth x11-apps imagemagick) ;;
    # The MinGW cross compiler checks that the Windows-only sources compile.
    --test) packages+=("${window_fonts[@]}" g++-mingw-w64-x86-64-posix) ;;
esac

missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
