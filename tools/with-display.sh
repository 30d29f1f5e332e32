#!/usr/bin/env bash
# Runs a command on a virtual X display of its own: Xvfb picks a free display number itself
# (-displayfd), so runs started at the same time on one machine never share or steal a display,
# as `xvfb-run -a` can when two of them probe for a free number at once.
# Usage: tools/with-display.sh COMMAND [ARG...]
# TELLORA_SCREEN sets the screen's size and depth (default 1280x1024x24).
# -noreset: without it the server resets whenever its last client leaves, and a client that
# connects meanwhile is refused (about one connection in a hundred when test programs come and
# go one after another), so that a test's toolkit fails to start now and then.
set -euo pipefail
fifo_dir=$(mktemp -d)
trap 'rm -rf "$fifo_dir"' EXIT
mkfifo "$fifo_dir/display"
Xvfb -displayfd 3 -screen 0 "${TELLORA_SCREEN:-1280x1024x24}" -nolisten tcp -noreset 3>"$fifo_dir/display" 2>"$fifo_dir/xvfb.log" &
xvfb=$!
number=$(head -n1 <"$fifo_dir/display" || true)
if [ -z "$number" ]; then
  echo "with-display: Xvfb did not start:" >&2
  cat "$fifo_dir/xvfb.log" >&2
  exit 1
fi
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -rf "$fifo_dir"' EXIT
unset WAYLAND_DISPLAY XAUTHORITY
status=0
DISPLAY=":$number" "$@" || status=$?
# When the command failed, what the display server said may be why (a client it refused, a
# fatal error): show it before it goes with the folder.
if [ "$status" -ne 0 ] && [ -s "$fifo_dir/xvfb.log" ]; then
  echo "with-display: the virtual display :$number said:" >&2
  tail -n 40 "$fifo_dir/xvfb.log" >&2
fi
exit $status
