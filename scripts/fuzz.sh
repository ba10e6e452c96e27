#!/usr/bin/env bash
# Runs every libFuzzer target of the asan build (fuzz/CMakeLists.txt lists
# them) for a bounded time each, seeded from the recordings in
# ../shared/corpus when it exists (STELMAP_CORPUS_DIR points elsewhere).
# Prints the edges each target covered. Fails when one finds a crash, a leak
# or a hang, and names the input that does it.
#   scripts/fuzz.sh [SECONDS_PER_TARGET]     (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH="${1:-60}"
BUILD=build/asan
LIST="$BUILD/fuzz/fuzzers.tsv"
CORPUS="${STELMAP_CORPUS_DIR:-../shared/corpus}"
if [ ! -s "$LIST" ]; then
  echo "fuzz.sh: no $LIST; build the fuzzers first:" >&2
  echo "  cmake --preset asan && cmake --build --preset asan --target fuzzers" >&2
  exit 1
fi

failed=0
summary=()
while IFS=$'\t' read -r name exe seeds; do
  [ -n "$name" ] || continue
  work="$BUILD/fuzz-work/$name"
  mkdir -p "$work/corpus" "$work/artifacts"
  dirs=()
  for s in $seeds; do
    case "$s" in
      /*) [ -d "$s" ] && dirs+=("$s") ;;                  # a folder of seeds in the project
      *) [ -d "$CORPUS/$s" ] && dirs+=("$CORPUS/$s") ;;   # a folder of the recordings
    esac
  done
  log="$work/last-run.log"
  echo "fuzzing $name for $SECONDS_EACH s (seeds: ${dirs[*]:-none}; log: $log)"
  rc=0
  "$exe" -max_total_time="$SECONDS_EACH" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$work/artifacts/" -print_final_stats=1 \
    "$work/corpus" "${dirs[@]+"${dirs[@]}"}" >"$log" 2>&1 || rc=$?
  edges="$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)"
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
  line="$name: ${edges:-?} edges covered in ${runs:-?} runs"
  if [ "$rc" -ne 0 ]; then
    tail -n 40 "$log"
    input="$(sed -n 's/.*Test unit written to \(.*\)/\1/p' "$log" | tail -n 1)"
    line="$line; FAILED (exit $rc), input ${input:-?}; reproduce: $exe ${input:-<input>}"
    failed=1
  fi
  summary+=("$line")
done <"$LIST"

printf '%s\n' "${summary[@]}"
exit "$failed"
