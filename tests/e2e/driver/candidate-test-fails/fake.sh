#!/usr/bin/env bash
# Answers the main program; fails the candidate tests in the way the first
# argument names. Every file it is given is logged.
file=${!#}
echo "$file" >>calls.log
case $file in
  *_MM*) ;;
  *) echo "{a, rej_P0_R0(a)}"; exit 0 ;;
esac
case $1 in
  exit) exit 7 ;;
  term) kill -TERM $$ ;;
esac
