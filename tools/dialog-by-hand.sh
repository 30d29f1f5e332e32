#!/usr/bin/env bash
# Drives the plug-in's dialog the way a person does, on an X server of its own: filterhost runs
# in a terminal (script(1) gives it one; no TELLORA_BATCH), and xdotool moves the pointer, clicks
# and types. Run 1: click into Width, type 150 and Enter; the dialog must still be open 2 s
# later; Escape then cancels (result -128, no output file). Run 2: with Font Underline on, the
# Font button, a text colour typed into the colour chooser, OK and OK; the recorded descriptor
# must keep the underline and hold the new colour. Screenshots go to the output folder.
# Usage: bash tools/dialog-by-hand.sh [BUILD_DIR]    (needs Xvfb, xdotool, script, ImageMagick)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out=$build/by-hand
rm -rf "$out"; mkdir -p "$out"
work=$(mktemp -d)
trap 'kill "${server:-0}" 2>/dev/null || true; rm -rf "$work"' EXIT

Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$work/display" 2>/dev/null &
server=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
unset TELLORA_BATCH
export TELLORA_HOSTSIM_STATE=$work/state TELLORA_REGISTRY_ROOT=$work/registry TELLORA_DOCUMENTS_DIR=$work/docs
export TELLORA_DIALOG_MAP=$work/map
fail() { echo "FAILED: $*" >&2; exit 1; }

# Starts filterhost in a terminal with the given options; waits for the dialog's map.
start() {
  rm -f "$work/map" "$work/run.log"
  script -qfec "$build/filterhost run $build/Tellora.8bf --dialog --in $root/samples/landscape.png $*" \
    "$work/run.log" </dev/null >/dev/null 2>&1 &
  runner=$!
  for _ in $(seq 300); do [ -s "$work/map" ] && break; sleep 0.1; done
  [ -s "$work/map" ] || fail "the dialog did not come up: $(cat "$work/run.log")"
}
# The middle of the control with the window id.
centre() { awk -v id="$1" '$1 == id { print int($2 + $4 / 2), int($3 + $5 / 2); exit }' "$work/map"; }
click() { read -r x y < <(centre "$1"); xdotool mousemove "$x" "$y" click 1; }
finish() { for _ in $(seq 300); do kill -0 "$runner" 2>/dev/null || return 0; sleep 0.1; done; fail "filterhost did not end"; }

echo "run 1: Enter in Width, then Escape"
start --out "$work/out1.png"
click 10010
xdotool key ctrl+a type 150
xdotool key Return
sleep 2
kill -0 "$runner" 2>/dev/null || fail "the dialog closed on Enter: $(cat "$work/run.log")"
import -window root "$out/enter-kept-open.png"
echo "  still open 2 s after Enter"
xdotool key Escape
finish
grep -q "result -128" "$work/run.log" || fail "Escape did not cancel: $(cat "$work/run.log")"
[ ! -e "$work/out1.png" ] || fail "a cancelled run wrote its output"
echo "  Escape: result -128, no output file"

echo "run 2: the font flow keeps the underline and takes the picked colour"
start --set fontUnderline=true --out "$work/out2.png" --record "$work/record.txt"
click 10017
xdotool search --sync --name '^Font$' >/dev/null
xdotool key alt+c
xdotool search --sync --name '^Text Colour$' >/dev/null
xdotool key ctrl+a type '#3366cc'
xdotool key Return
import -window root "$out/font-colour-chooser.png"
xdotool key alt+s
sleep 0.5
import -window root "$out/font-dialog.png"
xdotool key alt+o
sleep 0.5
click 5100
finish
grep -q "result 0" "$work/run.log" || fail "the run failed: $(cat "$work/run.log")"
cp "$work/record.txt" "$out/record.txt"
grep -q 'fontUnderline.*true' "$work/record.txt" || fail "the underline was lost: $(cat "$work/record.txt")"
grep -A4 'TextColor' "$work/record.txt" > "$out/text-colour.txt" || fail "no text colour recorded"
grep -q '51' "$out/text-colour.txt" && grep -q '102' "$out/text-colour.txt" && grep -q '204' "$out/text-colour.txt" \
  || fail "the text colour is not the picked one: $(cat "$out/text-colour.txt")"
echo "  recorded: underline on, text colour 51,102,204"
echo "passed; screenshots in $out"
