#!/usr/bin/env bash
# Runs every command shown in the header comments of the examples and
# compares what it prints with the lines shown below it. In a header,
#   %   $ build/vok ...        is a command, run from the source folder, and
#   %   text                   the lines it prints, up to the next command or
#                              the first line of another form.
# "build/" in a command stands for the build folder under test. The lines
# shown are the exact standard output, each ended by a line end; a shown
# command writes nothing to standard error and ends with status 0.
set -u
source_dir=$1
bin_dir=$2
cd "$source_dir" || exit 1
scratch=$(mktemp -d "${TMPDIR:-/tmp}/vok-examples.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail=0 runs=0
run() {  # run FILE COMMAND EXPECTED
  local status
  bash -c "${2//build\//$bin_dir/}" </dev/null >"$scratch/stdout" 2>"$scratch/stderr"
  status=$?
  runs=$((runs + 1))
  if [ -n "$3" ]; then printf '%s\n' "$3" >"$scratch/want"; else : >"$scratch/want"; fi
  if ! cmp -s "$scratch/want" "$scratch/stdout" || [ -s "$scratch/stderr" ] || [ "$status" != 0 ]; then
    echo "--- $1: $2 (status $status)"
    diff -u "$scratch/want" "$scratch/stdout"
    cat "$scratch/stderr"
    fail=1
  fi
}
for example in examples/*.lp; do
  command= expected=
  while IFS= read -r line; do
    if [[ $line == '%   $ '* ]]; then
      [ -n "$command" ] && run "$example" "$command" "$expected"
      command=${line#'%   $ '} expected=
    elif [[ -n $command && $line == '%   '* ]]; then
      expected+=${expected:+$'\n'}${line#'%   '}
    else
      [ -n "$command" ] && run "$example" "$command" "$expected"
      command=
    fi
  done <"$example"
  [ -n "$command" ] && run "$example" "$command" "$expected"
done
echo "$runs example commands checked"
[ "$runs" -gt 0 ] || fail=1
exit $fail
