#!/usr/bin/env bash
# Runs a command on an X display of its own (Xvfb, 1024x768, with openbox for title bars and
# the keyboard focus): with_xvfb.sh COMMAND [ARGUMENT...]
set -euo pipefail
display_file=$(mktemp)
# Xvfb picks a free display itself and writes its number.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb=$!
wm=""
trap 'kill $wm "$xvfb" 2>/dev/null || true; rm -f "$display_file"' EXIT
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$display_file")"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
wm=$!
sleep 0.5
"$@"
