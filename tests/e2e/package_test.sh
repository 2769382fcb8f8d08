#!/usr/bin/env bash
# Builds the Debian package from a built tree, has lintian check it, and runs the program from
# `dpkg -x` as an ordinary user with a home of their own: their table lives in their data folder.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
fail() { echo "FAIL: $*"; echo "0 passed, 1 failed"; exit 1; }

deb="$("$root/scripts/package" --from "$build" --output "$work/out" | tail -n 1)"
[ -f "$deb" ] || fail "scripts/package printed no package: $deb"
lintian --fail-on error,warning "$deb" >"$work/lintian" 2>&1 || { cat "$work/lintian"; fail "lintian"; }

contents="$(dpkg -c "$deb")"
for file in ./usr/bin/tarvona ./usr/share/applications/org.tarvona.Tarvona.desktop \
            ./etc/xdg/autostart/org.tarvona.Tarvona-launch.desktop ./usr/share/man/man1/tarvona.1.gz \
            ./usr/share/doc/tarvona/copyright ./usr/share/metainfo/org.tarvona.Tarvona.metainfo.xml \
            ./usr/lib/systemd/user/tarvona-dated.timer ./usr/lib/systemd/user/tarvona-dated.service; do
    grep -q " $file\$" <<<"$contents" || fail "$file is not in the package"
done
! grep -q "lib/tarvona" <<<"$contents" || fail "the package has a program folder of its own"
dpkg-deb -f "$deb" Depends | grep -q "libqt6widgets6" || fail "no dependencies from dpkg-shlibdeps"

dpkg -x "$deb" "$work/root"
units="$work/root/usr/lib/systemd/user"
[ "$(readlink "$units/timers.target.wants/tarvona-dated.timer")" = ../tarvona-dated.timer ] ||
    fail "the dated run's timer is not enabled for every user"
mkdir -p "$work/units" && chmod 0700 "$work/units"
cp "$units/tarvona-dated.timer" "$work/units/"
sed "s#/usr/bin/tarvona#$work/root/usr/bin/tarvona#" "$units/tarvona-dated.service" >"$work/units/tarvona-dated.service"
XDG_RUNTIME_DIR="$work/units" systemd-analyze --user --man=no verify \
    "$work/units/tarvona-dated.timer" "$work/units/tarvona-dated.service" || fail "the units do not verify"
grep -qx 'Exec="/usr/bin/tarvona" /start' "$work/root/etc/xdg/autostart/org.tarvona.Tarvona-launch.desktop" ||
    fail "the autostart entry does not run /usr/bin/tarvona /start"

# An ordinary user (nobody) with a private home: a launch run before they used Tarvona makes
# nothing; once they have a data folder, their table there is run.
home="$work/home"
mkdir -p "$home"
chown 65534:65534 "$home"
as_user() {
    setpriv --reuid=65534 --regid=65534 --clear-groups \
        env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 "$work/root/usr/bin/tarvona" "$@"
}
data="$home/.local/share/tarvona"
as_user --help | grep -q "kept in $data" || fail "--help does not name the data folder"
[ ! -e "$data" ] || fail "--help made the data folder"
as_user /start || fail "the first launch run failed"
[ ! -e "$home/.local" ] || fail "a launch run made a folder for a user who never used Tarvona"
setpriv --reuid=65534 --regid=65534 --clear-groups mkdir -p -m 0700 "$home/.local/share" "$data"
printf '[Commands]\nCommand0=/bin/true\n[Frequency]\nFrequency0=0\n[Due]\nDue0=01-01-2000\n' \
    >"$data/Tarvona.ini"
chown 65534:65534 "$data/Tarvona.ini"
as_user /start || fail "the launch run of the user's table failed"
grep -q "^Due0=$(date +%m-%d-%Y -d tomorrow)" "$data/Tarvona.ini" || fail "the user's table was not run"
[ -z "$(find "$work/root" -name 'Tarvona.*' -o -name Messages)" ] || fail "files beside the program"
echo "1 passed, 0 failed"
