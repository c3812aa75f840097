#!/usr/bin/env bash
# Three answer sets for the main program; of the test programs only the
# second candidate's has an answer set, after a line that is none.
case ${!#} in
  *_MM2*) echo " {not one}"; echo "{x}" ;;
  *_MM*) echo " {not one}" ;;
  *) echo "{a, rej_P0_R0(a)}"; echo "{b}"; echo "{c, rej_P0_R1, rej_P0_R0(b)}" ;;
esac
