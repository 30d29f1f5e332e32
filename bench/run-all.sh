#!/usr/bin/env bash
# Every benchmark in one command: builds the project in Release into build-bench (or
# $TELLORA_BENCH_BUILD), runs each benchmark and prints, per case, its figure and its ratio to
# what it is measured against. The plug-in's toolkit needs a display: the runs that load it go
# on a virtual display of its own. Figures are medians; on a busy machine compare processor times.
#
#   bash bench/run-all.sh            all cases, PNG on an 8192 x 8192 noise image
#   bash bench/run-all.sh --quick    a small PNG, one run of each case
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TELLORA_BENCH_BUILD:-$root/build-bench}
quick=0
[ "${1:-}" = "--quick" ] && quick=1
png_side=8192 png_runs=3
[ $quick = 1 ] && png_side=2048 png_runs=1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TELLORA_BATCH=1 TELLORA_HOSTSIM_STATE="$work/state" TELLORA_REGISTRY_ROOT="$work/registry"
xrun() { "$root/tools/with-display.sh" "$@"; }
section() { printf '\n== %s\n' "$1"; }

section "build (Release) in $build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >"$work/configure.log" || { cat "$work/configure.log"; exit 1; }
cmake --build "$build" -j4 >"$work/build.log" || { tail -40 "$work/build.log"; exit 1; }
echo "built"

section "colour conversion in hostsim (target: an optimised 8-bit transform at 50 Mpixel/s or more)"
"$build/bench/color_bench"

section "preview re-render after one parameter change (target: 16 ms or less)"
xrun "$build/bench/preview_bench" | tee "$work/preview.txt"
awk '/re-render after one parameter change/ { for (i = 1; i <= NF; ++i) if ($i == "median") m = $(i + 1) }
     END { if (m != "") printf "ratio to the 16 ms target: %.2f\n", m / 16 }' "$work/preview.txt"

section "dialog opening with a 100 KB text (target: 1 s or less)"
xrun bash "$root/bench/dialog_open_bench.sh" linux "$build" "$([ $quick = 1 ] && echo 1 || echo 5)"
if [ -x "$root/build-win/filterhost.exe" ] && command -v wine >/dev/null; then
    # The Windows build as it is (tools/build-win.sh builds it), under wine.
    (source "$root/tools/wine-env.sh" && xrun bash -c 'bash "$1" win "$2" "$3"; wineserver -w' _ \
        "$root/bench/dialog_open_bench.sh" "$root/build-win" "$([ $quick = 1 ] && echo 1 || echo 5)")
fi

# The bubble against copy-through in every case (render_bench), and any other benchmark the
# bench folder builds, as they are. pixel_protocol_bench is the tool behind them.
for target in $(sed -n 's/^ *add_executable(\([A-Za-z0-9_]*\).*/\1/p' "$root/bench/CMakeLists.txt"); do
    case $target in color_bench | preview_bench | pixel_protocol_bench) continue ;; esac
    section "$target"
    extra=()
    [ "$target" = render_bench ] && [ $quick = 1 ] && extra=(--runs 1)
    xrun "$build/bench/$target" "${extra[@]}"
done

section "PNG: filterhost with the copy-through module, ${png_side}^2 RGB noise, against ImageMagick"
magick=""
for candidate in /usr/bin/convert-im6.q16 /usr/bin/convert-im7.q16 /usr/bin/convert; do
    [ -x "$candidate" ] && { magick=$candidate; break; }
done
identify=""
for candidate in /usr/bin/identify-im6.q16 /usr/bin/identify-im7.q16 /usr/bin/identify; do
    [ -x "$candidate" ] && { identify=$candidate; break; }
done
[ -n "$magick" ] || { echo "ImageMagick is not installed (tools/install-deps.sh installs it)"; exit 1; }
# Noise that no filter or compressor can shrink: the worst case for a codec's speed.
python3 - "$work/in.png" "$png_side" <<'EOF'
import random, struct, sys, zlib
path, side = sys.argv[1], int(sys.argv[2])
rng = random.Random(13)
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff)
packer = zlib.compressobj(6)
parts = [packer.compress(b"\0" + rng.randbytes(side * 3)) for _ in range(side)] + [packer.flush()]
with open(path, "wb") as f:
    f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 2, 0, 0, 0)))
    f.write(chunk(b"IDAT", b"".join(parts)) + chunk(b"IEND", b""))
EOF
# One line per run: wall s, user s, system s, peak kB. The two take turns, so that a change in
# the machine's load falls on both alike.
measure() {
    local label=$1; shift
    /usr/bin/time -f "%e %U %S %M" -o "$work/time.txt" "$@" >/dev/null 2>"$work/err.txt" || { cat "$work/err.txt"; exit 1; }
    echo "$label $(cat "$work/time.txt")"
}
for _ in $(seq "$png_runs"); do
    measure filterhost "$build/filterhost" run "$build/CopyThrough.8bf" --in "$work/in.png" --out "$work/ours.png"
    measure imagemagick "$magick" "$work/in.png" "$work/theirs.png"
done >"$work/png.txt"
document_kb=$((png_side * png_side * 3 / 1024))
awk -v doc="$document_kb" '
    { wall[$1] = wall[$1] " " $2; cpu[$1] = cpu[$1] " " ($3 + $4); peak[$1] = $5 }
    function median(list,   n, a, i, j, t) {
        n = split(list, a, " ")
        for (i = 1; i <= n; ++i) for (j = i + 1; j <= n; ++j) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
        return a[int((n + 1) / 2)]
    }
    END {
        for (k in wall) { w[k] = median(wall[k]); c[k] = median(cpu[k]) }
        printf "%-12s %10s %10s %14s\n", "", "wall s", "cpu s", "peak / image"
        printf "%-12s %10.2f %10.2f %14.2f\n", "filterhost", w["filterhost"], c["filterhost"], peak["filterhost"] / doc
        printf "%-12s %10.2f %10.2f %14.2f\n", "ImageMagick", w["imagemagick"], c["imagemagick"], peak["imagemagick"] / doc
        printf "ratio filterhost / ImageMagick: wall %.2f, cpu %.2f (target: 1.00 or less)\n",
               w["filterhost"] / w["imagemagick"], c["filterhost"] / c["imagemagick"]
    }' "$work/png.txt"
if [ -n "$identify" ]; then
    same=$([ "$("$identify" -format '%#' "$work/in.png")" = "$("$identify" -format '%#' "$work/ours.png")" ] && echo yes || echo NO)
    echo "filterhost's output read by ImageMagick has the input's pixels: $same"
fi
