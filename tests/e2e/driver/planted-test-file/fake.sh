#!/usr/bin/env bash
# While the main program is read, plants a link where the first candidate's
# test file will go.
file=${!#}
planted=${file%.vok}_MM1.vok
echo "$planted" >planted.log
ln -s "$PWD/victim" "$planted"
echo "{a, rej_P0_R0(a)}"
