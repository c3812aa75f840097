#!/usr/bin/env bash
# While the main program is read, puts a folder where the first
# candidate's test file will go.
case ${!#} in
  *_MM*) echo "{x}" ;;
  *) mkdir prog_MM1.txt; echo "{a, rej_P0_R0(a)}" ;;
esac
