#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Pelmora2 need, when they are missing.
set -euo pipefail

packages=(build-essential cmake qt6-base-dev iproute2 iputils-ping)
# The window is laid out for a narrow sans-serif; Liberation Sans has Arial's widths. Without it a wider
# font stands in and the window draws the texts that would not fit smaller.
window_fonts=(fonts-liberation)
case "${1:-}" in
    --run) packages+=("${window_fonts[@]}" xvfb xauth x11-apps imagemagick) ;;
    # The MinGW cross compiler builds the Windows-only sources and Wine runs them; locales makes the
    # ja_JP locale under which the Japanese messages are tested (and the Wine test's code page 932).
    --test) packages+=("${window_fonts[@]}" g++-mingw-w64-x86-64-posix wine wine64 locales) ;;
esac

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ "${1:-}" = --test ] && ! locale -a 2>/dev/null | grep -ix 'ja_JP\.utf-\?8' >/dev/null; then
    echo "Generating the ja_JP.UTF-8 locale"
    "${sudo_cmd[@]}" sed -i 's/^# *\(ja_JP\.UTF-8 UTF-8\)$/\1/' /etc/locale.gen
    grep -qx 'ja_JP.UTF-8 UTF-8' /etc/locale.gen ||
        echo 'ja_JP.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
    "${sudo_cmd[@]}" locale-gen
fi
