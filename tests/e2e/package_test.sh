#!/usr/bin/env bash
# Builds the source and binary packages from debian/ (scripts/package), twice, to the same
# bytes; has lintian check them pedantically; checks the program's hardening, the files and the
# timer's enablement; and runs
# the package's own autopkgtest against the installed package, as an ordinary user where it can.
# Usage: package_test.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
fail() { echo "FAIL: $*"; echo "0 passed, 1 failed"; exit 1; }

deb="$("$root/scripts/package" --output "$work/out" | tail -n 1)"
[ -f "$deb" ] || fail "scripts/package printed no package: $deb"
version="$(dpkg-deb -f "$deb" Version)"
for file in "tarvona_$version.dsc" "tarvona_$version.tar.xz" "tarvona-dbgsym_${version}_$(dpkg --print-architecture).deb"; do
    [ -f "$work/out/$file" ] || fail "no $file"
done
lintian --pedantic --fail-on error,warning,info,pedantic "$work/out/"*.changes >"$work/lintian" 2>&1 ||
    { cat "$work/lintian"; fail "lintian"; }
! tar -tJf "$work/out/tarvona_$version.tar.xz" | grep -Eq '/(build[^/]*|obj-[^/]*)/' ||
    fail "the source package holds build output"
"$root/scripts/package" --output "$work/again" >/dev/null
for file in "$work/out/"*.deb "$work/out/"*.dsc "$work/out/"*.tar.xz; do
    cmp -s "$file" "$work/again/${file##*/}" || fail "a second build made another ${file##*/}"
done

dpkg -x "$deb" "$work/root"
# Debian 12's C start files carry no IBT note, so no program there has control flow protection.
hardening-check --nocfprotection "$work/root/usr/bin/tarvona" \
    "$work/root/usr/lib/tarvona/tarvona-windows" >"$work/hardening" ||
    { cat "$work/hardening"; fail "hardening-check"; }
contents="$(dpkg -c "$deb")"
for file in ./usr/bin/tarvona ./usr/lib/tarvona/tarvona-windows ./usr/lib/tarvona/tarvona-gio.so \
            ./usr/share/applications/org.tarvona.Tarvona.desktop \
            ./etc/xdg/autostart/org.tarvona.Tarvona-launch.desktop ./usr/share/man/man1/tarvona.1.gz \
            ./usr/share/doc/tarvona/copyright ./usr/share/metainfo/org.tarvona.Tarvona.metainfo.xml \
            ./usr/lib/systemd/user/tarvona-dated.timer ./usr/lib/systemd/user/tarvona-dated.service; do
    grep -q " $file\$" <<<"$contents" || fail "$file is not in the package"
done
! grep -Eq "lib/tarvona/Tarvona|\.wants/" <<<"$contents" ||
    fail "a per-user program folder or a unit enabled by a link in the package"
dpkg-deb -f "$deb" Depends | grep -q "libqt6widgets6" || fail "no dependencies from dpkg-shlibdeps"
dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./postinst | grep -q "deb-systemd-helper --user enable 'tarvona-dated.timer'" ||
    fail "the timer is not enabled for every user by the maintainer scripts"
grep -q "date=\"$(date -u -d "@$(dpkg-parsechangelog -l "$root/debian/changelog" -S Timestamp)" +%F)\"" \
    "$work/root/usr/share/metainfo/org.tarvona.Tarvona.metainfo.xml" || fail "the metainfo's release date is not the changelog's"

units="$work/root/usr/lib/systemd/user"
mkdir -p "$work/units" && chmod 0700 "$work/units"
cp "$units/tarvona-dated.timer" "$work/units/"
sed "s#/usr/bin/tarvona#$work/root/usr/bin/tarvona#" "$units/tarvona-dated.service" >"$work/units/tarvona-dated.service"
XDG_RUNTIME_DIR="$work/units" systemd-analyze --user --man=no verify \
    "$work/units/tarvona-dated.timer" "$work/units/tarvona-dated.service" || fail "the units do not verify"
grep -qx 'Exec="/usr/bin/tarvona" /start' "$work/root/etc/xdg/autostart/org.tarvona.Tarvona-launch.desktop" ||
    fail "the autostart entry does not run /usr/bin/tarvona /start"

# The package's own tests against the installed package, which is removed again afterwards.
if [ "$(id -u)" -eq 0 ] && [ "${TARVONA_AUTOPKGTEST:-yes}" = yes ]; then
    user=tarvona-autopkgtest
    id "$user" >/dev/null 2>&1 || useradd --system --create-home --shell /bin/sh "$user"
    status=0
    autopkgtest --user="$user" --output-dir "$work/autopkgtest" "$work/out/"*.changes -- null \
        >"$work/autopkgtest.log" 2>&1 || status=$?
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq tarvona >/dev/null 2>&1 || true
    [ "$status" -eq 0 ] || { tail -n 40 "$work/autopkgtest.log"; fail "autopkgtest (status $status)"; }
    [ ! -e /etc/systemd/user/timers.target.wants/tarvona-dated.timer ] || fail "purge left the timer enabled"
fi
echo "1 passed, 0 failed"
