#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run its demo.
# Used by the README's commands and by CI, so the list lives in one place.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libwxgtk3.2-dev
  libpng-dev liblcms2-dev libcairo2-dev libgtk-3-dev
  xvfb xauth x11-utils xdotool imagemagick time
  fonts-liberation2 fonts-dejavu-core
)
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
export DEBIAN_FRONTEND=noninteractive
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
