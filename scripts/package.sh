#!/usr/bin/env bash
# Builds the Debian package stelmap_<version>_amd64.deb from a release build
# of the three programs, with their man pages (help2man), and prints its
# path. By default from the package preset (build/package: no tests); the
# test command passes `default`, whose programs are built the same way.
#   scripts/package.sh [PRESET]
# Install it with: sudo apt install ./build/package/stelmap_*_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-package}"
build="build/$preset"
source scripts/ensure-deps.sh
stelmap_ensure_packages "${STELMAP_PACKAGES[@]}" "${STELMAP_PACKAGING_PACKAGES[@]}"

cmake --preset "$preset" -DSTELMAP_MAN_PAGES=ON >/dev/null
cmake --build --preset "$preset" --target stelmap stelmap-cli stelmap-sim stelmap_man_pages >/dev/null
rm -f "$build"/stelmap_*.deb
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || { cat "$build/cpack.log"; exit 1; }
ls "$build"/stelmap_*_amd64.deb
