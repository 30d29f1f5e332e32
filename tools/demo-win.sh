#!/usr/bin/env bash
# The demo of tools/demo.sh on Windows: builds the Windows module and filterhost.exe into
# build-win/ and, under wine, puts a speech bubble on the bundled sample picture.
# Writes build-win/landscape-with-bubble.png (or the path given as the first argument).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-"$root/build-win/landscape-with-bubble.png"}
bash "$root/tools/build-win.sh"
# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
# A scripted run without the dialog; the host keeps its state in a folder of the build.
export TELLORA_BATCH=1
export TELLORA_HOSTSIM_STATE="$root/build-win/demo-state"
# wineserver -w: wine is done with the display before the virtual display goes.
bash "$root/tools/with-display.sh" bash -c '"$@" && wineserver -w' _ wine "$root/build-win/filterhost.exe" run "$root/build-win/Tellora.8bf" \
  --fresh --in "$root/samples/landscape.png" --out "$out" \
  --set Text="What a lovely day for a walk on the hills!" --set fontSize=15 \
  --set xPosition=4 --set yPosition=5 --set ellipseWidth=210 --set ellipseHeight=130 \
  --set xindiPosition=42 --set yindiPosition=72
echo "wrote $out"
