#!/usr/bin/env bash
# Builds the plug-in and the host, then runs the plug-in through the host.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build" -j "$(nproc)" --target TelloraModule filterhost
export TELLORA_BATCH=1
xvfb-run -a "$root/build/filterhost" info "$root/build/Tellora.8bf"
xvfb-run -a "$root/build/filterhost" about "$root/build/Tellora.8bf"
