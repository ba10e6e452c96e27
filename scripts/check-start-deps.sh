#!/usr/bin/env bash
# Fails when the start path (what scripts/run.sh configures and builds) needs
# a Debian package that run.sh does not install: a finder of a test-only
# package in a product CMakeLists, a product source that includes a test
# library's header, a program linked against a test-only library.
#
# The run preset is configured afresh in a temporary folder (nothing is
# compiled there), and every file outside the project that the start path
# touches is collected:
#   - the files CMake read while configuring (the finders and the packages'
#     config files: the inputs of build.ninja), and what the project's own
#     find_library/find_path/find_program/find_file calls found (from a
#     trace of the configure), found or not REQUIRED;
#   - every path on the compile and link lines of the three programs;
#   - every header their objects include, from the compiler's dependency
#     lists of the same objects in build/default (test.sh builds it first).
# Each is mapped to its package with dpkg -S. A package must be one of run.sh's
# (STELMAP_PACKAGES), a dependency of one of them, or part of a minimal
# Debian (Essential or Priority: required, and their dependencies).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-deps.sh
root="$PWD"
programs=(stelmap stelmap-cli stelmap-sim)
# Used when present, never required: the start path works without them.
optional=(ccache)
# run.sh adds these when there is no display.
headless=(xvfb xauth)

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
build="$work/run"

cmake --preset run -B "$build" --trace-expand --trace-format=json-v1 --trace-redirect="$work/trace" \
  >"$work/configure.log" 2>&1 || {
  cat "$work/configure.log"
  echo "check-start-deps: the start path does not even configure" >&2
  exit 1
}

paths="$work/paths"
{
  ninja -C "$build" -t query build.ninja | sed -n 's/^ *| *\(\/.*\)/\1/p'
  # What the project's own find_library/find_path/find_program/find_file
  # calls found. (The finders of CMake and of the packages probe for
  # optional things too; what of theirs is used shows up below.)
  for var in CMAKE_MAKE_PROGRAM $(grep -F "\"file\":\"$root/" "$work/trace" \
               | sed -n 's/^{"args":\["\([A-Za-z0-9_]*\)".*"cmd":"find_\(library\|path\|program\|file\)".*/\1/p'); do
    sed -n "s/^$var:[A-Z]*=\(\/.*\)/\1/p" "$build/CMakeCache.txt" | tr ';' '\n'
  done
  ninja -C "$build" -t commands "${programs[@]}" | tr ' ' '\n' \
    | sed -n 's/^\(-[IL]\|-isystem\)\?\(\/.*\)/\2/p'
  objects=$(ninja -C "$build" -t inputs "${programs[@]}" | grep '\.o$')
  if [ ! -f build/default/.ninja_deps ]; then
    echo "check-start-deps: build the default preset first (its header lists are read)" >&2
    exit 1
  fi
  # shellcheck disable=SC2086
  ninja -C build/default -t deps $objects >"$work/deps"
  missing=$(comm -23 <(tr ' ' '\n' <<<"$objects" | sort) \
                     <(sed -n 's/^\([^ ].*\.o\): #deps.*/\1/p' "$work/deps" | sort))
  if [ -n "$missing" ]; then
    echo "check-start-deps: build/default has not compiled these yet:" >&2
    echo "$missing" >&2
    exit 1
  fi
  sed -n 's/^    \(\/.*\)/\1/p' "$work/deps"
} | grep -v -E -e "^$root(/|\$)" -e "^$work/" -e '^/dev/' -e '^/tmp/' | sort -u >"$paths"

# Owners of each path, asked of dpkg in one go: the path as written, then,
# for what no package holds, with symbolic links resolved and on the other
# side of the /usr merge.
owners_of() {  # paths on stdin; prints "owners<TAB>path" for those dpkg knows
  xargs -r -d '\n' dpkg-query -S 2>/dev/null | grep -v '^diversion' \
    | sed -n 's/^\(.*\): \(\/.*\)$/\1\t\2/p' || true
}
owners="$work/owners"
owners_of <"$paths" >"$owners"
comm -23 "$paths" <(cut -f2 "$owners" | sort -u) | while IFS= read -r p; do
  [ -e "$p" ] || continue
  for q in "$(readlink -f "$p")" "${p#/usr}" "/usr$p"; do
    [ "$q" != "$p" ] && printf '%s\t%s\n' "$q" "$p"
  done
done | sort -u >"$work/aliases"
owners_of < <(cut -f1 "$work/aliases") | sort -t$'\t' -k2,2 \
  | join -t$'\t' -1 2 -2 1 -o 1.1,2.2 - <(sort -t$'\t' -k1,1 "$work/aliases") >>"$owners"
mapfile -t unowned < <(comm -23 "$paths" <(cut -f2 "$owners" | sort -u) \
                       | while IFS= read -r p; do [ -e "$p" ] && echo "$p"; done)

minimal=$(dpkg-query -W -f='${Package} ${Essential} ${Priority}\n' | awk '$2 == "yes" || $3 == "required" { print $1 }')
# shellcheck disable=SC2086
allowed=$(apt-cache depends --recurse --installed --no-recommends --no-suggests --no-conflicts \
            --no-breaks --no-replaces --no-enhances \
            "${STELMAP_PACKAGES[@]}" "${headless[@]}" $minimal 2>/dev/null \
          | grep -v '^ ' | tr -d '<>' | sed 's/:.*//' | sort -u)
allowed+=$'\n'$(printf '%s\n' "${optional[@]}")

bad=0
# A path is fine when any of its owners is allowed (a folder has several).
if awk -F'\t' 'NR == FNR { allowed[$1] = 1; next }
     { n = split($1, pkgs, /, */); ok = 0
       for (i = 1; i <= n; i++) { sub(/:.*/, "", pkgs[i]); if (pkgs[i] in allowed) ok = 1 }
       if (!ok) { printf "start path needs %s from %s, which run.sh does not install\n", $2, $1; bad = 1 } }
     END { exit bad }' <(echo "$allowed") "$owners"; then :; else bad=1; fi
for p in "${unowned[@]+"${unowned[@]}"}"; do
  echo "start path needs $p, which no Debian package holds"
  bad=1
done
if [ "$bad" = 1 ]; then
  echo "check-start-deps: add the package to STELMAP_PACKAGES in scripts/ensure-deps.sh," \
       "or keep what needs it behind BUILD_TESTING" >&2
  exit 1
fi
used="$(cut -f1 "$owners" | tr ',' '\n' | sed 's/^ *//;s/:.*//' | sort -u)"
echo "start path: $(wc -l <"$paths") files outside the project, from $(wc -l <<<"$used") packages," \
     "all installed by run.sh: $(tr '\n' ' ' <<<"$used")"
