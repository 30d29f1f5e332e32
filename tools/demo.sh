#!/usr/bin/env bash
# Builds the plug-in and the host, then puts a speech bubble on the bundled sample picture.
# Writes build/landscape-with-bubble.png (or the path given as the first argument).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-"$root/build/landscape-with-bubble.png"}
bash "$root/tools/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build" -j "$(nproc)" --target TelloraModule filterhost
# A scripted run without the dialog; the host keeps its state in a folder of the build.
export TELLORA_BATCH=1
export TELLORA_HOSTSIM_STATE="$root/build/demo-state"
export TELLORA_REGISTRY_ROOT="$root/build/demo-state/registry"
"$root/tools/with-display.sh" "$root/build/filterhost" run "$root/build/Tellora.8bf" --fresh \
  --in "$root/samples/landscape.png" --out "$out" \
  --set Text="What a lovely day for a walk on the hills!" --set fontSize=15 \
  --set xPosition=4 --set yPosition=5 --set ellipseWidth=210 --set ellipseHeight=130 \
  --set xindiPosition=42 --set yindiPosition=72
echo "wrote $out"
