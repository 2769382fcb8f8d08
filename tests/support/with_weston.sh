#!/usr/bin/env bash
# Runs a command on a headless Wayland compositor of its own (weston's headless backend, desktop
# shell), with Qt on its Wayland platform: with_weston.sh COMMAND [ARGUMENT...]
set -euo pipefail
runtime=$(mktemp -d)
chmod 0700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"
socket=tarvona-weston
weston --backend=headless-backend.so --shell=desktop-shell.so --socket="$socket" \
    --width=1280 --height=1024 --idle-time=0 >"$runtime/weston.log" 2>&1 &
compositor=$!
trap 'kill "$compositor" 2>/dev/null; wait "$compositor" 2>/dev/null; rm -rf "$runtime"' EXIT
for _ in $(seq 100); do [ -S "$runtime/$socket" ] && break; sleep 0.05; done
[ -S "$runtime/$socket" ] || { cat "$runtime/weston.log" >&2; echo "weston did not start" >&2; exit 1; }
# The headless compositor has no seat: Qt 6.4's Wayland input method would then crash in a
# text box's cursor, so none is used.
export WAYLAND_DISPLAY="$socket" QT_QPA_PLATFORM=wayland QT_IM_MODULE=none
unset DISPLAY
"$@"
