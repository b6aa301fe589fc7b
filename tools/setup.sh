#!/usr/bin/env bash
# Installs what building, running, testing and packaging Tumbrelt needs on Debian 12 (the
# package: dpkg-dev's dpkg-shlibdeps and file for its Depends, desktop-file-utils to validate its
# desktop entry), and puts the font in the asset folder. Safe to run again: it installs only what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    build-essential cmake ccache pkg-config clang-format
    libsfml-dev libx11-dev fonts-dejavu-core
    libgtest-dev libgmock-dev googletest
    xvfb xauth xdotool x11-utils imagemagick python3 python3-pil
    dpkg-dev file desktop-file-utils
    mosquitto libmosquitto-dev libsodium-dev openssl
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo_cmd=(sudo)
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The game's font is DejaVu Sans Mono Bold under the name the game asks for.
font_src=/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf
font_dst=assets/consolab.ttf
if ! cmp -s "$font_src" "$font_dst"; then
    cp "$font_src" "$font_dst"
fi
