#!/usr/bin/env bash
# Runs the libFuzzer target over the framer and decoders for a bounded time,
# seeded from the recordings in ../shared/corpus. Needs the asan build.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_TO_RUN="${1:-60}"
FUZZER=build/asan/fuzz/stelmap_fuzz_nmea
WORK=build/asan/fuzz-work
mkdir -p "$WORK/corpus" "$WORK/artifacts"
SEEDS=()
if [ -d ../shared/corpus ]; then
  SEEDS+=(../shared/corpus/gpsd ../shared/corpus/gpsd-mixed ../shared/corpus/pynmeagps ../shared/corpus/signalk)
fi
"$FUZZER" -max_total_time="$SECONDS_TO_RUN" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$WORK/artifacts/" -print_final_stats=1 "$WORK/corpus" "${SEEDS[@]}"
