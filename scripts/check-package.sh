#!/usr/bin/env bash
# Builds the Debian package (scripts/package.sh) and checks what a fresh
# install depends on, without installing it: the control fields (Depends
# computed from the binaries), the files it holds (programs, desktop entry,
# icons, man pages), and the programs run from the unpacked tree.
# scripts/check-package-fresh-root.sh does the full install on a fresh root.
#   scripts/check-package.sh [PRESET]     (see scripts/package.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
deb="$(scripts/package.sh "$@" | tail -n 1)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "check-package: $*"; failed=1; }

depends="$(dpkg-deb -f "$deb" Depends)"
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libqt6network6; do
  grep -q "\b$lib (" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
[ "$(dpkg-deb -f "$deb" Package Architecture | tr '\n' ' ')" = "Package: stelmap Architecture: amd64 " ] \
  || fail "wrong name or architecture: $(dpkg-deb -f "$deb" Package Architecture)"

dpkg-deb -c "$deb" | awk '{ print $NF }' | sed 's|^\./|/|' >"$work/files"
for f in /usr/bin/stelmap /usr/bin/stelmap-cli /usr/bin/stelmap-sim \
         /usr/share/applications/stelmap.desktop \
         /usr/share/icons/hicolor/48x48/apps/stelmap.png \
         /usr/share/icons/hicolor/256x256/apps/stelmap.png \
         /usr/share/man/man1/stelmap.1.gz /usr/share/man/man1/stelmap-cli.1.gz \
         /usr/share/man/man1/stelmap-sim.1.gz; do
  grep -qx "$f" "$work/files" || fail "the package lacks $f"
done

root="$work/root"
dpkg-deb -x "$deb" "$root"
for page in stelmap stelmap-cli stelmap-sim; do
  zcat "$root/usr/share/man/man1/$page.1.gz" | grep -q '^\.SH NAME' \
    || fail "man page of $page has no NAME section"
done
grep -q '^Exec=stelmap$' "$root/usr/share/applications/stelmap.desktop" \
  || fail "the desktop entry does not start stelmap"
bin="$root/usr/bin"
"$bin/stelmap-cli" --help | grep -q '^usage: stelmap-cli' || fail "stelmap-cli --help"
fixes="$("$bin/stelmap-sim" --stdout --fast --fixes 3 | "$bin/stelmap-cli" decode - 2>/dev/null | wc -l)"
[ "$fixes" = 3 ] || fail "stelmap-sim | stelmap-cli decode gave $fixes fixes, not 3"
# The standard's example 1005 frame: station 2003.
printf '\xd3\x00\x13\x3e\xd7\xd3\x02\x02\x98\x0e\xde\xef\x34\xb4\xbd\x62\xac\x09\x41\x98\x6f\x33\x36\x0b\x98' \
  | "$bin/stelmap-cli" rtcm - | grep -q '"station":{"id":2003' || fail "stelmap-cli rtcm"
# The TLS backend Qt Network loads at run time, and the library it needs.
"$bin/stelmap-cli" ntrip --help | grep -q -- '--trust-certificate' || fail "stelmap-cli ntrip --help"
grep -q "\blibssl3\b" <<<"$(dpkg-query -W -f='${Depends}' libqt6network6 2>/dev/null)" \
  || fail "libqt6network6 no longer brings libssl3 for TLS"
env -u DISPLAY -u QT_QPA_PLATFORM "$bin/stelmap" --version | grep -qx "stelmap [0-9.]*" \
  || fail "stelmap --version"
# The window starts, shows its pages and saves them, then quits.
HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" QT_QPA_PLATFORM=offscreen \
  timeout 60 "$bin/stelmap" --screenshot "$work/shots" --screenshot-after 1 >"$work/stelmap.log" 2>&1 \
  || { cat "$work/stelmap.log"; fail "stelmap did not start"; }
ls "$work/shots"/*.png >/dev/null 2>&1 || fail "stelmap saved no page"

[ "$failed" = 0 ] || exit 1
echo "package: $deb ($(stat -c %s "$deb") bytes): Depends: $depends"
