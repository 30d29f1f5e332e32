#!/usr/bin/env bash
# Installs the Debian packages the Windows build needs: the mingw-w64 cross toolchain, wine to run
# the result, and what `apt-get source` needs to fetch the libraries tools/build-win-deps.sh
# cross-builds. Used by tools/build-win.sh and CI, so the list lives in one place.
set -euo pipefail
packages=(
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
  libz-mingw-w64-dev
  wine wine64
  dpkg-dev xz-utils make
  xvfb xauth fonts-liberation2
)
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
export DEBIAN_FRONTEND=noninteractive

# `apt-get source` needs a deb-src entry beside the binary one.
src_list=/etc/apt/sources.list.d/tellora-deb-src.sources
updated=
if ! grep -rqs -E '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s %s-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$codename" "$codename" | $SUDO tee "$src_list" >/dev/null
  $SUDO apt-get update
  updated=1
fi

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  [ -n "$updated" ] || $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
