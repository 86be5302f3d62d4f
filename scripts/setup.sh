#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Pelmora2 need, when they are missing.
set -euo pipefail

packages=(build-essential cmake qt6-base-dev iproute2 iputils-ping)
case "${1:-}" in
    --run) packages+=(xvfb xauth x11-apps imagemagick) ;;
    # The MinGW cross compiler builds the Windows-only sources; Wine runs them (the locale sources
    # give the Japanese locale that the Wine test runs under).
    --test) packages+=(g++-mingw-w64-x86-64-posix wine wine64 locales) ;;
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
