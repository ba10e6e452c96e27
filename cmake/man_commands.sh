#!/bin/sh
# Writes a help2man include file with a COMMANDS section: the --help text of
# each command that `PROGRAM --help` lists under "Commands:", so that a
# program with subcommands gets all of them in its man page.
#   man_commands.sh PROGRAM OUTPUT
set -eu
program="$1"
out="$2"
{
  echo "[COMMANDS]"
  "$program" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z0-9-]*\) .*/\1/p' | while read -r command; do
    echo ".SS $command"
    echo ".nf"
    # Roff reads a backslash as an escape and a leading dot or quote as a request.
    "$program" "$command" --help | sed -e 's/\\/\\e/g' -e "s/^\([.']\)/\\\\\&\1/"
    echo ".fi"
  done
} >"$out"
