#!/usr/bin/env bash
# The dated run of the real binary on a real X display (run by with_xvfb.sh), on a faked day:
# which events it opens, that it opens nothing without a display, and that a login run and a
# dated run waiting on their questions hold up no other run.
set -euo pipefail
binary=$1
work=$(mktemp -d)
# libfaketime leaves a shared-memory file and a semaphore for every process it ran in; those of
# ended processes go, or a later process that gets the same PID fails to start.
remove_faketime_leftovers() {
    local f
    for f in /dev/shm/faketime_shm_* /dev/shm/sem.faketime_sem_*; do
        [ -e "$f" ] && [ ! -e "/proc/${f##*_}" ] && rm -f "$f"
    done
    return 0
}
trap 'pkill -f "$work/Tarvona" 2>/dev/null || true; rm -rf "$work"; remove_faketime_leftovers' EXIT
export HOME="$work" XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 0700 "$work/runtime"
unset DBUS_SESSION_BUS_ADDRESS
# The day is faked with libfaketime; a sanitizer build (whose runtime libfaketime deadlocks
# with once windows are involved) runs on the real day instead.
today=2026-12-08
if grep -qa AddressSanitizer "$binary"; then
    today=$(date +%F)
else
    for lib in /usr/lib/*/faketime/libfaketime.so.1; do faketime_lib=$lib; done
    export LD_PRELOAD="$faketime_lib" FAKETIME="@$today 10:00:00" FAKETIME_DONT_FAKE_MONOTONIC=1
fi
day() { date -d "$today $1 days" +%m-%d-%Y; }  # today plus so many days, as Tarvona writes it

cp "$binary" "$work/Tarvona"
cp "$(dirname "$binary")/tarvona-windows" "$(dirname "$binary")/tarvona-gio.so" "$work/"
# Each event's command is a script that writes its own name into opened.
for name in boot once-mark boot-dated disabled-dated weekly once-dated tomorrow; do
    printf '#!/bin/sh\necho %s >> "%s/opened"\n' "$name" "$work" >"$work/$name"
    chmod +x "$work/$name"
done
table() {  # lines "command frequency due"
    local n=0 commands="" frequencies="" dues=""
    while read -r command frequency due; do
        commands+="Command$n=$command\r\n"; frequencies+="Frequency$n=$frequency\r\n"; dues+="Due$n=$due\r\n"
        n=$((n + 1))
    done
    printf "[Commands]\r\n$commands[Frequency]\r\n$frequencies[Due]\r\n$dues" >"$work/Tarvona.ini"
    rm -f "$work/opened" "$work/Tarvona.log"
}
opened() { sort "$work/opened" 2>/dev/null | tr '\n' ' '; }
source "$(dirname "$0")/../support/x11_steps.sh"
settle() { sleep 1; }  # what was started detached has written its name

table <<TABLE
$work/boot 8 ?
$work/once-mark 7 ?
$work/boot-dated 8 $(day -7)
$work/disabled-dated 9 $(day 0)
$work/weekly 2 $(day 0)
$work/once-dated 7 $(day -8)
$work/tomorrow 0 $(day 1)
TABLE
LD_DEBUG=libs LD_DEBUG_OUTPUT="$work/trace" "$work/Tarvona" /start --dated 2>"$work/err"; status=$?
settle
check "the dated run ends with 0" "[ $status -eq 0 ]"
check "it loads no window code (in the loader's trace)" \
    "grep -q libgio '$work'/trace.* && ! grep -q libQt6 '$work'/trace.*"
check "it opens exactly the dated events" "[ '$(opened)' = 'once-dated weekly ' ]"
check "and writes their next states" "grep -q '^Due4=$(day 7)' '$work/Tarvona.ini' && grep -q '^Due5=Disabled' '$work/Tarvona.ini'"
check "it shows no window when nothing failed" "[ ! -s '$work/err' ]"

table <<TABLE
$work/weekly 2 $(day 0)
TABLE
(unset DISPLAY; "$work/Tarvona" /start --dated 2>"$work/err"); status=$?
settle
check "without a display it ends with 0" "[ $status -eq 0 ]"
check "and opens nothing" "[ -z '$(opened)' ] && grep -q '^Due0=$(day 0)' '$work/Tarvona.ini'"
check "and says so in one line" "[ \$(wc -l <'$work/err') -eq 1 ]"

# A run waiting on its question has written its dates and holds up no other run: a dated run
# during a login run's question opens its event, a login run during a dated run's question its
# Every Boot event, each without waiting for the question.
table <<TABLE
/no/such/program 8 ?
TABLE
"$work/Tarvona" /start 2>/dev/null & login=$!
question=$(window "Tarvona") || question=""
table <<TABLE
$work/weekly 0 $(day 0)
TABLE
"$work/Tarvona" /start --dated 2>"$work/err"; status=$?
settle
check "a dated run during a login run's question opens its event" "[ $status -eq 0 ] && [ '$(opened)' = 'weekly ' ]"
[ -n "$question" ] && answer "$question" alt+n
check "the login run ends after its question" "ended $login"

table <<TABLE
/no/such/program 0 $(day 0)
$work/boot 8 ?
TABLE
"$work/Tarvona" /start --dated 2>/dev/null & dated=$!
question=$(window "Tarvona") || question=""
"$work/Tarvona" /start 2>/dev/null & login=$!
check "a login run during a dated run's question ends" "ended $login"
settle
check "having opened its Every Boot event" "[ '$(opened)' = 'boot ' ]"
check "while the question still waits" "kill -0 $dated 2>/dev/null"
[ -n "$question" ] && answer "$question" alt+n
check "the dated run ends after its question" "ended $dated"

finish
