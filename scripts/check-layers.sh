#!/usr/bin/env bash
# Fails when a file includes a project header against the layer order: a
# folder may include from folders on lower floors only, never from its own
# floor's neighbours or from above. A folder's tests/ sits on its folder's
# floor; the top-level tests/ holds test support that any test may use.
# The floors come from cmake/floors.txt, which CMake reads too (to check the
# links); the README's layout table must be the one that file gives:
#   scripts/check-layers.sh            check includes and the README's table
#   scripts/check-layers.sh --table    print the table the README must hold
set -euo pipefail
cd "$(dirname "$0")/.."

floors_file=cmake/floors.txt
declare -A floor=()
rows=()
while read -r level folder plain qt what; do
  [[ -z "$level" || "$level" == \#* ]] && continue
  if [[ ! "$level" =~ ^[0-9]+$ || -z "$what" ]]; then
    echo "$floors_file: not a floor line: $level $folder $plain $qt $what"
    exit 2
  fi
  floor[$folder]=$level
  rows+=("$level"$'\t'"$folder"$'\t'"$plain"$'\t'"$qt"$'\t'"$what")
done < "$floors_file"

# `a`, `b` from a,b; nothing from -.
code_list() {
  [ "$1" = - ] && return
  local out="" item
  IFS=, read -ra items <<< "$1"
  for item in "${items[@]}"; do out+="${out:+, }\`$item\`"; done
  printf '%s' "$out"
}

table() {
  echo "| floor | folder | plain C++ libraries (no Qt) | Qt libraries | what |"
  echo "|---|---|---|---|---|"
  local row level folder plain qt what
  for row in "${rows[@]}"; do
    IFS=$'\t' read -r level folder plain qt what <<< "$row"
    echo "| $level | \`$folder/\` | $(code_list "$plain") | $(code_list "$qt") | $what |"
  done
}

if [ "${1:-}" = --table ]; then
  table
  exit 0
fi

bad=0

# The README's table, between its two markers, is the generated one.
readme_table="$(sed -n '/^<!-- floors: begin -->$/,/^<!-- floors: end -->$/p' README.md | sed '1d;$d')"
if [ "$readme_table" != "$(table)" ]; then
  echo "README.md: the layout table differs from $floors_file (between the '<!-- floors -->' markers put the output of scripts/check-layers.sh --table):"
  diff <(echo "$readme_table") <(table) || true
  bad=1
fi

while IFS= read -r file; do
  from="${file%%/*}"
  [ -n "${floor[$from]+x}" ] || { echo "$file: folder '$from' has no floor in $floors_file"; bad=1; continue; }
  while IFS=: read -r line header; do
    to="${header%%/*}"
    [ "$to" = "$header" ] && continue          # a header beside the file
    [ -n "${floor[$to]+x}" ] || continue       # not one of ours
    [ "$to" = "$from" ] && continue
    if [ "$to" = tests ]; then
      # Test support is for tests and benchmarks only, never the product.
      if [[ "$file" != */tests/* && "$file" != */bench/* && ! "$from" =~ ^(tests|bench|fuzz)$ ]]; then
        echo "$file:$line: product code includes test support $header"
        bad=1
      fi
      continue
    fi
    if [ "${floor[$to]}" -ge "${floor[$from]}" ]; then
      echo "$file:$line: includes $header (floor ${floor[$to]}) from floor ${floor[$from]}"
      bad=1
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" \
             | sed 's/^\([0-9]*\):.*"\([^"]*\)".*/\1:\2/')
done < <(git ls-files '*.h' '*.cpp' '*.hpp')
exit "$bad"
