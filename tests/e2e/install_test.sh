#!/usr/bin/env bash
# The per-user install into a prefix whose path holds a space (one with a %, which
# no launcher can start, is refused), with custom XDG folders:
# every installed file where the desktop looks, valid, stripped; the autostart entry really
# starts the launch run; an icon cache is refreshed but never created; a reinstall keeps the
# autostart entry turned off; uninstall removes everything but the user's files. Needs build/.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/my data"
mkdir -p "$HOME"
prefix="$work/pre fix 100"
id=org.tarvona.Tarvona
fail() { echo "FAIL: $*"; echo "0 passed, 1 failed"; exit 1; }

! "$root/scripts/install" --prefix "$work/100%" --no-build >/dev/null 2>&1 || fail "a % prefix was taken"
[ ! -e "$work/100%" ] || fail "a refused prefix was made"
"$root/scripts/install" --prefix "$prefix" --no-build >/dev/null
in_prefix=(bin/tarvona lib/tarvona/Tarvona lib/tarvona/tarvona-windows lib/tarvona/tarvona-gio.so share/man/man1/tarvona.1 share/doc/tarvona/LICENSE)
in_data=(applications/$id.desktop metainfo/$id.metainfo.xml icons/hicolor/scalable/apps/$id.svg)
for size in 16 32 48 64 128 256; do in_data+=("icons/hicolor/${size}x${size}/apps/$id.png"); done
for file in "${in_prefix[@]}"; do [ -e "$prefix/$file" ] || fail "$file was not installed"; done
for file in "${in_data[@]}"; do [ -e "$XDG_DATA_HOME/$file" ] || fail "$file is not in XDG_DATA_HOME"; done
[ "$(readlink "$prefix/bin/tarvona")" = ../lib/tarvona/Tarvona ] || fail "bin/tarvona is no relative link"
for program in Tarvona tarvona-windows tarvona-gio.so; do
    file "$prefix/lib/tarvona/$program" | grep -q ', stripped' || fail "$program is not stripped"
done
[ ! -e "$XDG_DATA_HOME/icons/hicolor/icon-theme.cache" ] || fail "an icon cache was created"

launcher="$XDG_DATA_HOME/applications/$id.desktop"
autostart="$XDG_CONFIG_HOME/autostart/$id-launch.desktop"
desktop-file-validate "$launcher" || fail "launcher does not validate"
desktop-file-validate "$autostart" || fail "autostart entry does not validate"
grep -qx 'StartupWMClass=Tarvona' "$launcher" || fail "no StartupWMClass"
grep -qx "TryExec=$prefix/lib/tarvona/Tarvona" "$launcher" || fail "TryExec"
! grep -q NoDisplay "$autostart" || fail "the autostart entry is hidden from Startup Applications"
units="$XDG_CONFIG_HOME/systemd/user"
mkdir -m 0700 "$work/runtime"
XDG_RUNTIME_DIR="$work/runtime" systemd-analyze --user --man=no verify \
    "$units/tarvona-dated.timer" "$units/tarvona-dated.service" || fail "the dated run's units do not verify"
grep -qF 'ExecStart="'"${prefix//%/%%}"'/lib/tarvona/Tarvona" /start --dated' "$units/tarvona-dated.service" ||
    fail "the service does not run the dated run of the installed program"
appstreamcli validate --no-net "$XDG_DATA_HOME/metainfo/$id.metainfo.xml" >/dev/null ||
    fail "metainfo does not validate"
[ -z "$(groff -ww -man -z "$prefix/share/man/man1/tarvona.1" 2>&1)" ] || fail "manual page warns"
version="$(dpkg-parsechangelog -l "$root/debian/changelog" -S Version)"
[ "$("$prefix/bin/tarvona" --version)" = "Tarvona $version" ] || fail "--version"
grep -q "<release version=\"$version\"" "$XDG_DATA_HOME/metainfo/$id.metainfo.xml" || fail "metainfo version"
for option in --help -h; do
    "$prefix/bin/tarvona" $option | grep -q "^Usage: tarvona " || fail "$option names the command"
done
[ ! -e "$prefix/lib/tarvona/Tarvona.ini" ] || fail "--help or --version touched a file"

# The autostart entry as the desktop starts it: Exec unquoted by GLib, the launch run in the
# program folder. (GLib checks the program before it expands %%, so this one has no %.)
spaced="$work/with space"
XDG_CONFIG_HOME="$work/config2" "$root/scripts/install" --prefix "$spaced" --no-build --login-only >/dev/null
[ ! -e "$work/config2/systemd/user/tarvona-dated.timer" ] || fail "--login-only installed the timer"
cat >"$spaced/lib/tarvona/Tarvona.ini" <<'INI'
[Commands]
Command0=/usr/bin/true
[Frequency]
Frequency0=0
[Due]
Due0=01-01-2000
INI
tomorrow="^Due0=$(date +%m-%d-%Y -d tomorrow)"
env -u DISPLAY -u WAYLAND_DISPLAY gio launch "$work/config2/autostart/$id-launch.desktop" ||
    fail "gio cannot start the autostart entry"
for _ in $(seq 100); do grep -q "$tomorrow" "$spaced/lib/tarvona/Tarvona.ini" && break; sleep 0.1; done
grep -q "$tomorrow" "$spaced/lib/tarvona/Tarvona.ini" ||
    fail "the autostart entry did not run the launch run in the program folder"
mkdir "$prefix/lib/tarvona/Messages" && touch "$prefix/lib/tarvona/Tarvona.ini"  # the user's files

# The user turns the login run off; a reinstall with an existing icon cache keeps that and
# refreshes the cache.
echo "Hidden=true" >>"$autostart"
sed -i '/X-GNOME-Autostart-enabled/d' "$autostart"
gtk-update-icon-cache -q -t "$XDG_DATA_HOME/icons/hicolor"
rm "$XDG_DATA_HOME/icons/hicolor/16x16/apps/$id.png"
! "$root/scripts/install" --prefix "$work/100%" --no-build >/dev/null 2>&1 || fail "a % prefix was taken"
[ ! -e "$work/100%" ] || fail "a refused prefix was made"
"$root/scripts/install" --prefix "$prefix" --no-build >/dev/null
grep -qx "Hidden=true" "$autostart" || fail "reinstall turned the login run on again"
! grep -q "X-GNOME-Autostart-enabled=true" "$autostart" || fail "reinstall enabled the entry"
cache="$XDG_DATA_HOME/icons/hicolor/icon-theme.cache"
[ ! "$XDG_DATA_HOME/icons/hicolor/16x16/apps" -nt "$cache" ] || fail "the icon cache is stale after install"

output="$("$root/scripts/uninstall" --prefix "$prefix")"
for file in "${in_prefix[@]}"; do [ ! -e "$prefix/$file" ] || fail "$file was left behind"; done
for file in "${in_data[@]}"; do [ ! -e "$XDG_DATA_HOME/$file" ] || fail "$file was left behind"; done
[ ! -e "$autostart" ] || fail "autostart entry left behind"
[ ! -e "$units/tarvona-dated.timer" ] && [ ! -e "$units/tarvona-dated.service" ] || fail "units left behind"
[ -f "$prefix/lib/tarvona/Tarvona.ini" ] || fail "uninstall removed the user's Tarvona.ini"
[ -d "$prefix/lib/tarvona/Messages" ] || fail "uninstall removed the user's messages"
grep -q "Kept your files in $prefix/lib/tarvona" <<<"$output" || fail "uninstall does not name the kept files"
echo "1 passed, 0 failed"
