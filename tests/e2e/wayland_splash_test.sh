#!/usr/bin/env bash
# Run by with_weston.sh: the launch run's splash asks the compositor to minimise it only once its
# surface is mapped (after its title and first buffer), since a request before that is ignored.
# Read from the client's own protocol log.
set -euo pipefail
binary=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$binary" "$work/Tarvona"
cp "$(dirname "$binary")/tarvona-windows" "$(dirname "$binary")/tarvona-gio.so" "$work/"
WAYLAND_DEBUG=client "$work/Tarvona" /start 2>"$work/protocol" || true
line() { grep -n -m1 -E "$1" "$work/protocol" | cut -d: -f1; }
title=$(line 'xdg_toplevel@[0-9]+\.set_title\("Tarvona"\)')
buffer=$(line 'wl_surface@[0-9]+\.attach\(wl_buffer')
minimised=$(line 'xdg_toplevel@[0-9]+\.set_minimized\(\)')
if [ -n "$minimised" ] && [ -n "$title" ] && [ -n "$buffer" ] && [ "$minimised" -gt "$title" ] &&
   [ "$minimised" -gt "$buffer" ]; then
    echo "1 passed, 0 failed"
else
    echo "set_title at ${title:-none}, first buffer at ${buffer:-none}, set_minimized at ${minimised:-none}"
    echo "0 passed, 1 failed"
    exit 1
fi
