#!/usr/bin/env bash
# Logs every file it is given; the main program has two answer sets.
echo "${!#}" >>calls.log
case ${!#} in
  *_MM*) ;;
  *) echo "{a, rej_P0_R0(a)}"; echo "{b}" ;;
esac
