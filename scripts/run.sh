#!/usr/bin/env bash
# Builds Stelmap and starts it on its default receiver.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-deps.sh
stelmap_ensure_packages "${STELMAP_PACKAGES[@]}"

cmake --preset default >/dev/null
cmake --build --preset default --target stelmap-cli

echo "The monitor window is not built yet; decoding the demo recording"
echo "data/demo.nmea with 'stelmap-cli decode' instead (one JSON line per fix):"
exec build/default/tools/cli/stelmap-cli decode data/demo.nmea "$@"
