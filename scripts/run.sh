#!/usr/bin/env bash
# Builds Stelmap and starts it connected to stelmap-sim, our own receiver
# simulator, on a pseudo-terminal. The simulator stops when the window
# closes. Without a display the same runs under Xvfb for about 20 seconds
# and saves a PNG of each page. Extra arguments go to stelmap.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-deps.sh
headless=0
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  headless=1
fi
if [ "$headless" = 1 ]; then
  stelmap_ensure_packages "${STELMAP_PACKAGES[@]}" xvfb xauth
else
  stelmap_ensure_packages "${STELMAP_PACKAGES[@]}"
fi

# A build folder of its own with the tests off: the start path needs only
# the programs' packages (scripts/check-start-deps.sh keeps it so).
cmake --preset run >/dev/null
cmake --build --preset run   # stelmap, stelmap-sim, stelmap-cli

sim_out="$(mktemp)"
# STELMAP_SIM_ARGS adds options, e.g. --gnss to fill the Signals page.
build/run/tools/sim/stelmap-sim --rate 1 --noise 2 ${STELMAP_SIM_ARGS:-} >"$sim_out" &
sim_pid=$!
cleanup() { kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; rm -f "$sim_out"; }
trap cleanup EXIT
for _ in $(seq 50); do
  [ -s "$sim_out" ] && break
  sleep 0.1
done
port="$(head -n 1 "$sim_out")"
if [ -z "$port" ]; then
  echo "stelmap-sim did not start" >&2
  exit 1
fi
echo "Receiver simulator on $port"

if [ "$headless" = 0 ]; then
  build/run/app/stelmap --connect "$port" "$@"
else
  shots="$PWD/build/screenshots"
  echo "No display: running under Xvfb for about 20 seconds, saving the pages to $shots"
  xvfb-run -a -s "-screen 0 1280x900x24" \
    build/run/app/stelmap --connect "$port" --screenshot "$shots" --screenshot-after 20 "$@"
  echo "Screenshots of the five pages are in $shots"
fi
