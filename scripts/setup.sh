#!/usr/bin/env bash
# Installs the build dependencies (Debian 12, apt; only what is missing),
# configures and builds. Usage: scripts/setup.sh [preset]   (default: "default")
set -euo pipefail
cd "$(dirname "$0")/.."

preset="${1:-default}"

packages=(
    build-essential cmake ninja-build pkg-config
    libjsoncpp-dev libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev qt6-tools-dev qt6-svg-dev libqt6opengl6-dev
    libudev-dev libcurl4-openssl-dev libevdev-dev libasound2-dev
    xvfb xauth dbus fonts-wqy-microhei
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    if [[ $(id -u) -ne 0 ]]; then
        sudo_cmd=(sudo)
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
