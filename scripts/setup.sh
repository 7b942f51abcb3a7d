#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12, when it is missing.
set -euo pipefail
packages=(cmake make g++ libgtest-dev libbenchmark-dev qt6-base-dev qt6-serialport-dev qt6-svg-dev
          qt6-charts-dev libqt6opengl6-dev
          fonts-liberation fonts-wqy-microhei xvfb xauth poppler-utils
          qt6-translations-l10n qt6-l10n-tools qt6-tools-dev
          libmosquitto-dev mosquitto mosquitto-clients openssl zlib1g-dev
          dpkg-dev file desktop-file-utils appstream librsvg2-bin shared-mime-info groff-base)
packages+=(clang libclang-rt-14-dev) # the fuzz targets (scripts/fuzz.sh)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
