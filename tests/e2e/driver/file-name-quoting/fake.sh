#!/usr/bin/env bash
# Shows the arguments it was given, and that the file is there.
echo "$# arguments"
for a; do echo "[$a]"; done
[ -f "${!#}" ] && echo "{a}"
