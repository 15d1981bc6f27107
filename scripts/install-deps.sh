#!/usr/bin/env bash
# Installs every build and test dependency from Debian packages when missing.
# With --fuzz (or CELDO_INSTALL_FUZZ=1) also the compiler and runtime of the
# fuzz targets, which the normal build does not need.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config ccache clang-format
    libgtest-dev libbenchmark-dev
    libpng-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev
    fonts-noto-cjk
    qt6-translations-l10n
    xvfb xauth xclip
)
if [ "${1:-}" = --fuzz ] || [ "${CELDO_INSTALL_FUZZ:-0}" = 1 ]; then
    packages+=(clang libfuzzer-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
