#!/usr/bin/env bash
# Makes the bundled sample picture: a small, photograph-like landscape (sky, sun, hills, a
# meadow with grain), generated so that the project owns every pixel of it.
set -euo pipefail
out=${1:-"$(cd "$(dirname "$0")/.." && pwd)/samples/landscape.png"}
w=480 h=300
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
/usr/bin/convert -size ${w}x${h} gradient:'#5b8fd6'-'#f4d9b0' "$tmp/sky.png"
/usr/bin/convert -size ${w}x${h} xc:none -fill '#fff3c0' -draw "circle 350,90 350,120" -blur 0x6 "$tmp/sun.png"
/usr/bin/convert -seed 7 -size ${w}x${h} plasma:fractal -blur 0x1 -colorspace Gray +level-colors '#2c5226','#b4c878' "$tmp/land.png"
/usr/bin/convert -size ${w}x${h} xc:black -fill white \
  -draw "path 'M 0,190 C 90,145 165,175 240,162 C 320,150 390,128 480,172 L 480,300 L 0,300 Z'" "$tmp/mask.png"
/usr/bin/convert "$tmp/sky.png" "$tmp/sun.png" -composite "$tmp/land.png" "$tmp/mask.png" -composite \
  -seed 3 -attenuate 0.15 +noise Gaussian -depth 8 -strip -define png:color-type=2 "$out"
echo "wrote $out"
