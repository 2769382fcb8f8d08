#!/usr/bin/env bash
# A launch run with failures on a real X display (run by with_xvfb.sh): the question appears,
# centred; No ends the program, Yes shows the log viewer and closing it ends the program. Then
# the editor after quiet login runs.
set -euo pipefail
binary=$1
work=$(mktemp -d)
trap 'pkill -f "$work/Tarvona" 2>/dev/null || true; rm -rf "$work"' EXIT

cp "$binary" "$work/Tarvona"
cp "$(dirname "$binary")/tarvona-windows" "$(dirname "$binary")/tarvona-gio.so" "$work/"
printf '[Commands]\r\nCommand0=/no/such/program\r\n[Frequency]\r\nFrequency0=8\r\n[Due]\r\nDue0=?\r\n' \
    > "$work/Tarvona.ini"

source "$(dirname "$0")/../support/x11_steps.sh"

# The question's outer frame (with the window manager's decorations) centred within 2 px.
centred() {
    local x y w h left right top bottom
    read -r x y w h < <(xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
                                               /^ *Width:/ {w=$NF} /^ *Height:/ {h=$NF} END {print x, y, w, h}')
    read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    local cx=$(( x - left + (w + left + right) / 2 )) cy=$(( y - top + (h + top + bottom) / 2 ))
    [ $(( cx > 512 ? cx - 512 : 512 - cx )) -le 2 ] && [ $(( cy > 384 ? cy - 384 : 384 - cy )) -le 2 ]
}
dialog() {  # the visible dialog titled Tarvona (the splash shares the title)
    for _ in $(seq 150); do
        for id in $(xdotool search --onlyvisible --name '^Tarvona$' 2>/dev/null); do
            xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q DIALOG && { echo "$id"; return 0; }
        done
        sleep 0.1
    done
    return 1
}
"$work/Tarvona" /start & run=$!
question=$(dialog) || question=""
placed=no
for _ in $(seq 100); do [ -n "$question" ] && centred "$question" && { placed=yes; break; }; sleep 0.1; done
check "the question is centred on the screen" "[ $placed = yes ]"
[ -n "$question" ] && answer "$question" alt+n
check "No ends the program" "ended $run"
check "no log viewer after No" "! xdotool search --onlyvisible --name '^Event Error Log\$' >/dev/null 2>&1"
check "the failure is in the log" "grep -q 'App: /NO/SUCH/PROGRAM' '$work/Tarvona.log'"

"$work/Tarvona" /start & run=$!
question=$(window "Tarvona") || question=""
check "the question carries the program icon" \
    "xprop -id '$question' _NET_WM_ICON 2>/dev/null | grep 'Icon (16 x 16)' >/dev/null"
[ -n "$question" ] && answer "$question" Return
viewer=$(window "Event Error Log") || viewer=""
check "Yes shows the log viewer" "[ -n '$viewer' ]"
check "the program waits for the viewer" "kill -0 $run 2>/dev/null"
[ -n "$viewer" ] && answer "$viewer" alt+o
check "closing the viewer ends the program" "ended $run"

# Login runs that found nothing to ask leave the window manager able to show the next window.
printf '[Commands]\r\nCommand0=/usr/bin/true\r\n[Frequency]\r\nFrequency0=0\r\n[Due]\r\nDue0=12-31-2099\r\n' \
    > "$work/Tarvona.ini"
for _ in 1 2 3 4 5 6; do "$work/Tarvona" /start; done
"$work/Tarvona" & editor=$!
check "the editor shows after quiet login runs" "window Tarvona >/dev/null"
kill "$editor"

finish
