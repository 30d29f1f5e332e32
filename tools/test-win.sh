#!/usr/bin/env bash
# Runs the Windows build's tests (CTest in build-win/, label "win") under wine: a wine prefix
# inside build-win/, the font replacements GDI+ needs (it draws no text for a face it cannot
# find), a virtual X display and WINEDEBUG=-all. Builds build-win/ first when it is missing.
# Tests that need other programs of the Windows build register themselves in tests/win/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-win
[ -f "$build/build.ninja" ] || bash "$root/tools/build-win.sh"
# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
jobs=$(nproc)
# wineserver -w: wine is done with the display before the virtual display goes.
bash "$root/tools/with-display.sh" bash -c '
  status=0
  ctest --test-dir "$1" --output-on-failure -j "$2" --timeout 600 || status=$?
  wineserver -w
  exit $status' _ "$build" "$jobs"
