#!/usr/bin/env bash
# Drives the plug-in's dialog the way a person does, on an X server of its own: filterhost runs
# in a terminal (script(1) gives it one; no TELLORA_BATCH), and xdotool moves the pointer, clicks
# and types. Run 1: click into Width, type 150 and Enter: the number is taken and OK applies the
# filter. Run 1b: the dialog waits; Escape cancels (result -128, no output file). Run 2: with Font Underline on, the
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

Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp -noreset 5>"$work/display" 2>/dev/null &
server=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
unset TELLORA_BATCH
export TELLORA_HOSTSIM_STATE=$work/state TELLORA_REGISTRY_ROOT=$work/registry TELLORA_DOCUMENTS_DIR=$work/docs
export TELLORA_DIALOG_MAP=$work/map
fail() { echo "FAILED: $*" >&2; exit 1; }

# Starts filterhost in a terminal with the given options; waits for the dialog's map.
start() {
  rm -f "$work/map" "$work/map.font" "$work/run.log"
  script -qfec "$build/filterhost run $build/Tellora.8bf --dialog --in $root/samples/landscape.png $*" \
    "$work/run.log" </dev/null >/dev/null 2>&1 &
  runner=$!
  for _ in $(seq 300); do [ -s "$work/map" ] && break; sleep 0.1; done
  [ -s "$work/map" ] || fail "the dialog did not come up: $(cat "$work/run.log")"
}
# The middle of the control with the window id, in the dialog's map (or another map file).
centre() { awk -v id="$1" '$1 == id { print int($2 + $4 / 2), int($3 + $5 / 2); exit }' "${2:-$work/map}"; }
click() { read -r x y < <(centre "$@"); xdotool mousemove "$x" "$y" click 1; }
waitfor() { for _ in $(seq 300); do [ -s "$1" ] && return 0; sleep 0.1; done; fail "no $1"; }
# Gives the keyboard to the window with the exact title once it is up (no window manager here).
focus() { local w; w=$(xdotool search --sync --onlyvisible --name "^$1\$" | tail -1); xdotool windowfocus --sync "$w"; }
finish() { for _ in $(seq 300); do kill -0 "$runner" 2>/dev/null || return 0; sleep 0.1; done; fail "filterhost did not end"; }

if [ -z "${SKIP_RUN1:-}" ]; then
echo "run 1: Enter in Width takes the number, then OK applies the filter"
start --out "$work/out1.png" --record "$work/record1.txt"
click 10010
xdotool key ctrl+a type 150
xdotool key Return
finish
grep -q "result 0" "$work/run.log" || fail "Enter did not apply the filter: $(cat "$work/run.log")"
grep -q "'#Prc' 150  # ellipseWidth" "$work/record1.txt" || fail "the width was not taken: $(cat "$work/record1.txt")"
echo "  result 0, width 150 recorded"

echo "run 1b: Escape cancels"
start --out "$work/out1b.png"
sleep 2
kill -0 "$runner" 2>/dev/null || fail "the dialog closed by itself: $(cat "$work/run.log")"
import -window root "$out/waiting.png"
xdotool key Escape
finish
grep -q "result -128" "$work/run.log" || fail "Escape did not cancel: $(cat "$work/run.log")"
[ ! -e "$work/out1b.png" ] || fail "a cancelled run wrote its output"
echo "  Escape: result -128, no output file"
fi

echo "run 2: the font flow keeps the underline and takes the picked colour"
start --set fontUnderline=true --out "$work/out2.png" --record "$work/record.txt"
click 10017
waitfor "$work/map.font"
import -window root "$out/font-dialog-opened.png"
click 10105 "$work/map.font"          # Text Colour...
focus 'Text Colour'
# The colour's name field, at the top right of GTK's chooser.
chooser=$(xdotool getwindowfocus)
eval "$(xdotool getwindowgeometry --shell "$chooser")"
xdotool mousemove --window "$chooser" $((WIDTH - 170)) 40 click 1
sleep 0.3
xdotool key ctrl+a type '#3366cc'
xdotool key Return
sleep 0.5
import -window root "$out/font-colour-chooser.png"
xdotool key alt+s
sleep 0.5
focus Font
import -window root "$out/font-dialog.png"
click 5100 "$work/map.font"           # the font dialog's OK
click 5100                            # the plug-in dialog's OK
finish
grep -q "result 0" "$work/run.log" || fail "the run failed: $(cat "$work/run.log")"
cp "$work/record.txt" "$out/record.txt"
grep -q "boolean true  # fontUnderline" "$work/record.txt" || fail "the underline was lost: $(cat "$work/record.txt")"
grep -A4 'TextColor' "$work/record.txt" > "$out/text-colour.txt" || fail "no text colour recorded"
grep -q "'Rd  ' float 0.2$" "$out/text-colour.txt" && grep -q "'Grn ' float 0.4$" "$out/text-colour.txt" \
  && grep -q "'Bl  ' float 0.8$" "$out/text-colour.txt" \
  || fail "the text colour is not the picked one: $(cat "$out/text-colour.txt")"
echo "  recorded: underline on, text colour 0.2 0.4 0.8 (#3366cc)"
echo "passed; screenshots in $out"
