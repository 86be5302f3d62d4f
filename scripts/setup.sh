#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Pelmora2 need, when they are missing.
set -euo pipefail

packages=(build-essential cmake qt6-base-dev iproute2 iputils-ping libcap2-bin)
# The window is laid out for a narrow sans-serif; Liberation Sans has Arial's widths. Without it a wider
# font stands in and the window draws the texts that would not fit smaller.
window_fonts=(fonts-liberation)
# The Windows programs: Qt's own source cross-built with MinGW, then the programs, their imports walked
# with objdump, and the zip. Wine and Xvfb run them in the tests.
windows_build=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 ninja-build dpkg-dev xz-utils zip
               wine wine64 xvfb xauth xdotool xclip tmux unzip imagemagick fonts-liberation)
case "${1:-}" in
    --run) packages+=("${window_fonts[@]}" xvfb xauth x11-apps imagemagick) ;;
    # The MinGW cross compiler builds the Windows-only sources and Wine runs them; locales makes the
    # ja_JP locale under which the Japanese messages are tested (and the Wine test's code page 932).
    --test) packages+=("${window_fonts[@]}" locales clang-format "${windows_build[@]}") ;;
    --windows) packages+=("${windows_build[@]}") ;;
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

# qtbase's source comes from the same mirror as the installed packages, through a sources file of our
# own: the machine's own list is left as it is.
src_list=/etc/apt/sources.list.d/pelmora2-source.sources
if { [ "${1:-}" = --test ] || [ "${1:-}" = --windows ]; } && [ ! -f "$src_list" ]; then
    echo "Adding Debian's source packages ($src_list)"
    sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | "${sudo_cmd[@]}" tee "$src_list" >/dev/null
    "${sudo_cmd[@]}" apt-get update -qq
fi

if [ "${1:-}" = --test ] && ! locale -a 2>/dev/null | grep -ix 'ja_JP\.utf-\?8' >/dev/null; then
    echo "Generating the ja_JP.UTF-8 locale"
    "${sudo_cmd[@]}" sed -i 's/^# *\(ja_JP\.UTF-8 UTF-8\)$/\1/' /etc/locale.gen
    grep -qx 'ja_JP.UTF-8 UTF-8' /etc/locale.gen ||
        echo 'ja_JP.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
    "${sudo_cmd[@]}" locale-gen
fi
