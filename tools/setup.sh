#!/usr/bin/env bash
# Installs every Debian 12 package Sondara needs to build, test and run.
# Safe to run again: apt-get skips what is already there.
# Packages named as arguments are installed too (by-hand tools such as the fuzzers).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev
  libqt6svg6 qt6-svg-dev
  libgl-dev
  nlohmann-json3-dev libxlsxwriter-dev zlib1g-dev libdxflib-dev
  qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev
  python3 python3-openpyxl python3-ezdxf poppler-utils
  xvfb xdotool openbox imagemagick
  wmctrl
  fonts-wqy-microhei fonts-arphic-uming fonts-arphic-ukai fonts-liberation2 fonts-dejavu-core fontconfig
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update
  $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
