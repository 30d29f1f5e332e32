#!/usr/bin/env bash
# How long the plug-in's dialog takes to open with a long text: filterhost runs the module with
# the dialog on the sample image and a text of one paragraph, and the time from the start of
# the process to the dialog on screen (the first moment the dialog's map is written, see
# TELLORA_DIALOG_MAP) is taken, with a one-word text as the reference. Each case runs several
# times, alternately, after one run to warm up; the medians are printed, wall time and the
# process's processor time at that moment. Target: 100 KB opens within 1 s.
#
#   bash bench/dialog_open_bench.sh linux BUILD_DIR [RUNS]   (on a display: tools/with-display.sh)
#   bash bench/dialog_open_bench.sh win BUILD_WIN_DIR [RUNS] (the same, with tools/wine-env.sh sourced)
set -euo pipefail
kind=$1 build=$(cd "$2" && pwd) runs=${3:-5}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One paragraph of words, as a text pasted from elsewhere often is; hostsim plays it from a
# descriptor (a Windows command line could not hold it).
python3 - "$work" <<'PY'
import sys
words = "the quick brown fox jumps over lazy dog speech bubble text wraps inside its frame".split()
for name, size in (("word", 0), ("100k", 100 * 1024)):
    text, i = [], 0
    while sum(map(len, text)) < size:
        text.append(words[(i * 7 + 3) % len(words)] + " ")
        i += 1
    body = "".join(text)[:size] if size else "Hello"
    open(f"{sys.argv[1]}/{name}.desc", "w").write("'Wzak' text \"%s\"\n" % body)
PY

native() { if [ "$kind" = win ]; then echo "Z:$(echo "$1" | tr / '\\')"; else echo "$1"; fi; }
# Prints "wall_s cpu_s" from the start of filterhost to the dialog on screen.
open_once() {
    local run=$work/run.$RANDOM
    mkdir -p "$run"
    local cmd=("$build/filterhost")
    [ "$kind" = win ] && cmd=(wine "$build/filterhost.exe")
    local start
    start=$(date +%s.%N)
    TELLORA_BATCH=1 TELLORA_DIALOG_MAP=$(native "$run/map") TELLORA_HOSTSIM_STATE=$(native "$run/state") \
        TELLORA_REGISTRY_ROOT=$run/registry TELLORA_DOCUMENTS_DIR=$run \
        "${cmd[@]}" run "$build/Tellora.8bf" --in "$root/samples/landscape.png" --out "$run/out.png" \
        --dialog --script "$(native "$work/$1.desc")" >"$run/log" 2>&1 &
    local pid=$! cpu=""
    while [ ! -e "$run/map" ] && kill -0 "$pid" 2>/dev/null; do sleep 0.005; done
    # The process's user and system time so far (fields 14 and 15, in clock ticks).
    [ -r "/proc/$pid/stat" ] && cpu=$(awk -v hz="$(getconf CLK_TCK)" '{ printf "%.2f", ($14 + $15) / hz }' "/proc/$pid/stat" 2>/dev/null || true)
    wait "$pid" || { cat "$run/log" >&2; exit 1; }
    [ -e "$run/map" ] || { echo "the dialog never showed:" >&2; cat "$run/log" >&2; exit 1; }
    python3 -c 'import os, sys; print("%.3f" % (os.stat(sys.argv[1]).st_mtime - float(sys.argv[2])), sys.argv[3] or "-")' \
        "$run/map" "$start" "$cpu"
}

open_once word >/dev/null  # warm up: the first run loads what later runs find cached
for _ in $(seq "$runs"); do
    for text in word 100k; do echo "$text $(open_once "$text")"; done
done >"$work/times"
awk -v kind="$kind" '
    { wall[$1] = wall[$1] " " $2; cpu[$1] = cpu[$1] " " $3 }
    function median(list,   n, a, i, j, t) {
        n = split(list, a, " ")
        for (i = 1; i <= n; ++i) for (j = i + 1; j <= n; ++j) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
        return a[int((n + 1) / 2)]
    }
    END {
        printf "%-6s %-22s %10s %10s\n", kind, "text", "wall s", "cpu s"
        printf "%-6s %-22s %10.2f %10s\n", "", "one word", median(wall["word"]), median(cpu["word"])
        printf "%-6s %-22s %10.2f %10s\n", "", "100 KB, one paragraph", median(wall["100k"]), median(cpu["100k"])
        printf "100 KB opens %.2f s after the start (target: 1.00 or less), %.2f s more than one word\n",
               median(wall["100k"]), median(wall["100k"]) - median(wall["word"])
    }' "$work/times"
