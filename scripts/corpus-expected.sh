#!/usr/bin/env bash
# Writes the stored expectations of every corpus recording: for each command
# of tests/corpus_expected/commands.tsv, stelmap-cli's standard output as
# <recording>.<name>.out and its standard error, then "exit N", as
# <recording>.<name>.err, under tests/corpus_expected/ (the corpus itself is
# shared and read-only). Run it only when a change of output is intended, and
# say in the commit which recordings changed and why.
#
#   scripts/corpus-expected.sh [STELMAP_CLI] [NAME ...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cli="$(realpath "${1:-$root/build/default/tools/cli/stelmap-cli}")"
shift || true
only=" $* "
corpus="$(realpath "$root/../shared/corpus")"
out="$root/tests/corpus_expected"
cd "$corpus"
find . -type f ! -name MANIFEST.tsv ! -name SOURCE.txt ! -name README.md ! -name 'COPYING*' ! -name 'LICENSE*' \
  | sed 's|^\./||' | LC_ALL=C sort | while IFS= read -r rec; do
  mkdir -p "$out/$(dirname "$rec")"
  grep -v '^#' "$out/commands.tsv" | while IFS=$'\t' read -r name args; do
    [ "$only" = "  " ] || [[ "$only" == *" $name "* ]] || continue
    # FILE is a word of its own in the table; the recording's path holds no blank.
    set -- ${args}
    argv=()
    for a in "$@"; do [ "$a" = FILE ] && argv+=("$rec") || argv+=("$a"); done
    status=0
    "$cli" "${argv[@]}" >"$out/$rec.$name.out" 2>"$out/$rec.$name.err" </dev/null || status=$?
    echo "exit $status" >>"$out/$rec.$name.err"
  done
done
