#!/usr/bin/env bash
# Fails when a file includes a project header against the layer order: a
# folder may include from folders on lower floors only, never from its own
# floor's neighbours or from above. A folder's tests/ sits on its folder's
# floor; the top-level tests/ holds test support that any test may use.
set -euo pipefail
cd "$(dirname "$0")/.."

# Floor of each top-level folder, lowest first. Keep in step with the
# README's layout table.
declare -A floor=(
  [tests]=0
  [nmea]=1 [geo]=1
  [link]=2 [kit]=2
  [displays]=3 [analysis]=3 [console]=3
  [compare]=4
  [app]=5
  [tools]=6
  [fuzz]=7 [bench]=7
)

bad=0
while IFS= read -r file; do
  from="${file%%/*}"
  [ -n "${floor[$from]+x}" ] || { echo "$file: folder '$from' has no floor in scripts/check-layers.sh"; bad=1; continue; }
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
