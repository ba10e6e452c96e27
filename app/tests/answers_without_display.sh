#!/bin/sh
# stelmap --help and --version answer with no window system at all (help2man
# runs them where there is no display): exit status 0 and the text expected.
#   answers_without_display.sh STELMAP VERSION
set -u
stelmap="$1"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
failed=0
while read -r option expected; do
  out=$("$stelmap" "$option" 2>&1)
  rc=$?
  first=$(printf '%s\n' "$out" | head -n 1)
  case "$rc:$first" in
    "0:$expected"*) ;;
    *) echo "stelmap $option: exit $rc, printed: $first"; failed=1 ;;
  esac
done <<TABLE
--help usage: stelmap [--connect
--version stelmap $2
TABLE
exit $failed
