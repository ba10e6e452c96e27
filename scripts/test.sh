#!/usr/bin/env bash
# Builds Stelmap and runs the whole test suite: every test of the default
# build, the unit and corpus tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, the threaded tests under ThreadSanitizer, and a
# bounded fuzz run; checks that the start path needs only run.sh's packages
# and that the Debian package holds what it should. Fails when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-deps.sh
stelmap_ensure_packages "${STELMAP_PACKAGES[@]}" "${STELMAP_TEST_PACKAGES[@]}" "${STELMAP_PACKAGING_PACKAGES[@]}"

# Six targets share about three minutes, as three did at a minute each.
FUZZ_SECONDS="${STELMAP_FUZZ_SECONDS:-30}"
JOBS="$(nproc)"

step() { printf '\n=== %s ===\n' "$*"; }

step "layer order of the includes"
scripts/check-layers.sh

step "default build"
cmake --preset default >/dev/null
cmake --build --preset default -j "$JOBS"
step "default tests"
ctest --preset default -j "$JOBS" --no-tests=error

step "the start path needs only the packages run.sh installs"
scripts/check-start-deps.sh

step "Debian package: build, contents, programs from the unpacked tree"
scripts/check-package.sh default   # packs the default build's programs

step "asan build (unit and corpus tests, fuzzers)"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$JOBS" --target tests_unit tests_corpus fuzzers
step "asan tests"
ctest --preset asan -j "$JOBS" -L 'unit|corpus' --no-tests=error

cmake --preset tsan >/dev/null
if grep -q '^tests_threads:' <(cmake --build --preset tsan --target help 2>/dev/null); then
  step "tsan build and tests"
  cmake --build --preset tsan -j "$JOBS" --target tests_threads
  ctest --preset tsan -L threads --no-tests=error
fi

step "fuzz every target for ${FUZZ_SECONDS} s each"
scripts/fuzz.sh "$FUZZ_SECONDS"

step "all tests passed"
