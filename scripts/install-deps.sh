#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Pellavio need,
# and only those that are missing.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qtbase5-dev libqt5opengl5-dev libglew-dev libxcb1-dev libpng-dev libjpeg62-turbo-dev
  libgl1-mesa-dri libglx-mesa0
  xvfb xauth xdotool imagemagick
  fonts-noto-color-emoji
  dpkg-dev file desktop-file-utils appstream
  libqrencode-dev zbar-tools
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "All build and test packages are present."
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
