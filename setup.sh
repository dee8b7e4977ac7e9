#!/usr/bin/env bash
# Installs the Debian packages the project needs (only those missing).
set -euo pipefail
packages=(cmake ninja-build g++ clang-14 libclang-rt-14-dev pkg-config
  googletest libgtest-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev
  libsdl2-mixer-dev timgm6mb-soundfont libjpeg62-turbo-dev
  libemf2svg-dev libwmf-dev fonts-urw-base35
  llvm lld
  xvfb xauth imagemagick xdotool fonts-dejavu-core
  dbus at-spi2-core python3-pyatspi
  libcpp-httplib-dev libssl-dev libsqlite3-dev openssl chromium
  dpkg-dev file appstream desktop-file-utils groff-base man-db)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
