#!/usr/bin/env bash
# Builds the 64-bit Windows module with mingw-w64 into build-win/: build-win/Tellora.8bf (a
# PE32+ DLL whose only export is PluginMain) and the Windows test programs. The libraries come
# from tools/build-win-deps.sh (cached outside the work tree; the first run builds them).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/install-deps.sh"
bash "$root/tools/install-win-deps.sh"
deps=$(bash "$root/tools/build-win-deps.sh")
cmake -S "$root" -B "$root/build-win" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DTELLORA_WIN_DEPS="$deps"
cmake --build "$root/build-win" -j "$(nproc)"
