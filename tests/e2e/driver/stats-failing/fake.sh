#!/usr/bin/env bash
# A stand-in evaluation program whose behaviour its first option names:
#   unfinished  one answer set, then the outcome line of a run that did not
#               finish, and status 3, as rox-clingo does at a time limit
#   fails       nothing but status 7, and no outcome line
#   cut         an answer set cut short by the end of the output
#   tests-fail  two candidates; a candidate test (file *_MM*) fails with 7
case $1 in
  unfinished) printf '{a}\n%%vok:outcome unfinished clingo ended with status 65 (error)\n'
              echo "fake: clingo ended with status 65 (error)" >&2; exit 3 ;;
  fails) exit 7 ;;
  cut) printf '{a, b\n' ;;
  tests-fail)
    case ${!#} in *_MM*) exit 7 ;; esac
    printf '{a, rej_P0_R0}\n{b}\n' ;;
esac
