#!/usr/bin/env bash
# Installs into a temporary prefix with a private XDG desktop, checks every installed file and
# validates them, runs the launch run through the link, then uninstalls and finds the user's
# files still there and everything else gone. Needs a built tree (build/).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
mkdir -p "$HOME"
prefix="$work/prefix"
id=org.tarvona.Tarvona
fail() { echo "FAIL: $*"; exit 1; }

"$root/scripts/install" --prefix "$prefix" --no-build >/dev/null
expected=(
    bin/tarvona lib/tarvona/Tarvona share/applications/$id.desktop
    share/metainfo/$id.metainfo.xml share/icons/hicolor/scalable/apps/$id.svg
    share/man/man1/tarvona.1 share/doc/tarvona/LICENSE)
for size in 16 32 48 64 128 256; do expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png"); done
for file in "${expected[@]}"; do [ -e "$prefix/$file" ] || fail "$file was not installed"; done
[ "$(readlink "$prefix/bin/tarvona")" = ../lib/tarvona/Tarvona ] || fail "bin/tarvona is no relative link"
autostart="$XDG_CONFIG_HOME/autostart/$id-launch.desktop"
[ -f "$autostart" ] || fail "no autostart entry"
grep -qx "Exec=\"$prefix/lib/tarvona/Tarvona\" /start" "$autostart" || fail "autostart Exec"
grep -qx "X-GNOME-Autostart-enabled=true" "$autostart" || fail "autostart not enabled"

desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "launcher does not validate"
desktop-file-validate "$autostart" || fail "autostart entry does not validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null ||
    fail "metainfo does not validate"
[ -z "$(groff -ww -man -z "$prefix/share/man/man1/tarvona.1" 2>&1)" ] || fail "manual page warns"

[ "$("$prefix/bin/tarvona" --version)" = "Tarvona 1.36a" ] || fail "--version"
"$prefix/bin/tarvona" --help | grep -q "/start" || fail "--help"
[ ! -e "$prefix/lib/tarvona/Tarvona.ini" ] || fail "--help or --version touched a file"

cat >"$prefix/lib/tarvona/Tarvona.ini" <<'INI'
[Commands]
Command0=/usr/bin/true
[Frequency]
Frequency0=0
[Due]
Due0=01-01-2000
INI
env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/tarvona" /start || fail "launch run through the link"
grep -q "^Due0=$(date +%m-%d-%Y -d tomorrow)" "$prefix/lib/tarvona/Tarvona.ini" ||
    fail "the launch run did not write Tarvona.ini in the program folder"
[ -d "$prefix/lib/tarvona/Messages" ] || fail "no Messages folder beside the program"

"$root/scripts/uninstall" --prefix "$prefix" >/dev/null
for file in "${expected[@]}"; do [ ! -e "$prefix/$file" ] || fail "$file was left behind"; done
[ ! -e "$autostart" ] || fail "autostart entry left behind"
[ -f "$prefix/lib/tarvona/Tarvona.ini" ] || fail "uninstall removed the user's Tarvona.ini"
[ -d "$prefix/lib/tarvona/Messages" ] || fail "uninstall removed the user's messages"

# A prefix the user cannot keep files in is refused, and nothing is copied there.
if cmake --install "$root/build" --prefix /usr >"$work/refused" 2>&1; then fail "/usr was accepted"; fi
grep -q "beside its executable" "$work/refused" || fail "the refusal does not say why"
[ ! -e /usr/lib/tarvona/Tarvona ] || fail "something was installed into /usr"
echo "1 passed, 0 failed"
