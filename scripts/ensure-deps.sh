#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, when missing.
# Sourced by run.sh and test.sh; safe to run any number of times.
set -euo pipefail

# What the three programs need to build and run (run.sh installs these
# only; scripts/check-start-deps.sh fails when the start path needs more).
STELMAP_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialport-dev libgl-dev
  libssl3
  libgeographiclib-dev
  fonts-liberation fonts-wine
)
# What only the tests, benchmarks and fuzzers need.
STELMAP_TEST_PACKAGES=(
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  gpsd-clients geographiclib-tools
  gpsd socat gpsbabel libxml2-utils python3
  xvfb xauth
  rtklib openssl
  gpsbabel libxml2-utils python3
)
# What building the Debian package adds (man pages, Depends).
STELMAP_PACKAGING_PACKAGES=(
  help2man dpkg-dev file
)

stelmap_ensure_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing missing packages: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
  fi
  export DEBIAN_FRONTEND=noninteractive
  if ! "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; then
    "${sudo[@]}" apt-get update
    "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}
