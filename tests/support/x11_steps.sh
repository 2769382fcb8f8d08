# Steps the X display tests share (sourced): finding windows, answering them, waiting for a
# program to end, and counting checks into the closing "N passed, N failed" line.
window() {  # waits for a visible window with this exact title; prints its id
    for _ in $(seq 150); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -1) || true
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
answer() {  # window id, key
    xdotool windowactivate --sync "$1" 2>/dev/null || true
    sleep 0.3
    xdotool key --clearmodifiers "$2"
}
ended() {  # pid: waits up to 15 s for the program to end
    for _ in $(seq 150); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
    return 1
}
passed=0
failed=0
check() {  # what, condition
    if eval "$2"; then echo "ok: $1"; passed=$((passed + 1)); else echo "FAILED: $1"; failed=$((failed + 1)); fi
}
finish() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
