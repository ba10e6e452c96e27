#!/usr/bin/env bash
# Installs the Debian package on a fresh Debian 12 root, as a user would with
# `apt install ./stelmap_*.deb`, and checks that the three programs work
# there: stelmap-cli --help, stelmap-sim --stdout --fixes 3, and stelmap
# starting both offscreen and under Xvfb (saving its pages, then quitting).
# Needs root (chroot, mount) and the Debian mirror; takes some minutes, so
# the test command runs the cheaper scripts/check-package.sh instead.
#   scripts/check-package-fresh-root.sh [DEB]
# STELMAP_FRESH_ROOT names a root made earlier with
#   debootstrap --variant=minbase bookworm DIR http://deb.debian.org/debian
# which is copied, never changed; without it one is made and thrown away.
set -euo pipefail
cd "$(dirname "$0")/.."
deb="${1:-$(ls build/package/stelmap_*_amd64.deb 2>/dev/null | tail -n 1)}"
[ -f "$deb" ] || { echo "no package: run scripts/package.sh first" >&2; exit 1; }
[ "$(id -u)" = 0 ] || { echo "check-package-fresh-root: needs root (chroot)" >&2; exit 1; }

work="$(mktemp -d /var/tmp/stelmap-root.XXXXXX)"
root="$work/root"
cleanup() {
  umount "$root/dev/pts" "$root/proc" 2>/dev/null || true
  rm -rf --one-file-system "$work"
}
trap cleanup EXIT
if [ -n "${STELMAP_FRESH_ROOT:-}" ]; then
  cp -a "$STELMAP_FRESH_ROOT" "$root"
else
  command -v debootstrap >/dev/null || apt-get install -y --no-install-recommends debootstrap
  debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian >"$work/debootstrap.log"
fi
mount -t proc proc "$root/proc"
mkdir -p "$root/dev/pts"
mount -t devpts devpts "$root/dev/pts"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }

step() { printf '\n--- %s\n' "$*"; }
step "apt install ./$(basename "$deb")"
in_root apt-get update -q >/dev/null
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "/tmp/$(basename "$deb")" | tail -n 3
in_root dpkg -s stelmap | grep -E '^(Status|Version|Depends)'
step "stelmap-cli --help"
in_root stelmap-cli --help
step "stelmap-sim --stdout --fixes 3"
in_root stelmap-sim --stdout --fixes 3 | tee "$work/fixes.nmea" | cut -c1-72
[ "$(in_root stelmap-cli decode /dev/stdin <"$work/fixes.nmea" 2>/dev/null | wc -l)" = 3 ]
step "man stelmap-sim (first lines)"
in_root sh -c 'zcat /usr/share/man/man1/stelmap-sim.1.gz | head -n 4'
step "stelmap --version without a display"
in_root stelmap --version
step "stelmap, offscreen"
in_root env QT_QPA_PLATFORM=offscreen stelmap --screenshot /tmp/shots-offscreen --screenshot-after 2
step "stelmap under Xvfb (xvfb-run added to the root for this)"
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends xvfb xauth >/dev/null
in_root xvfb-run -a -s "-screen 0 1280x900x24" stelmap --screenshot /tmp/shots-xvfb --screenshot-after 2
mkdir -p build/fresh-root-shots
cp "$root"/tmp/shots-xvfb/*.png build/fresh-root-shots/
step "passed: the package installs and runs on a fresh Debian 12 root (pages in build/fresh-root-shots)"
