#!/usr/bin/env bash
# Runs every command shown in the header comments of the examples and
# compares its output with the lines shown below it. In a header,
#   %   $ build/vok ...        is a command, run from the source folder, and
#   %   text                   the lines it prints, up to the next command or
#                              the first line of another form.
# "build/" in a command stands for the build folder under test.
set -u
source_dir=$1
bin_dir=$2
cd "$source_dir" || exit 1
fail=0 runs=0
run() {  # run FILE COMMAND EXPECTED
  local actual
  actual=$(bash -c "${2//build\//$bin_dir/}" 2>&1 </dev/null)
  runs=$((runs + 1))
  if [ "$actual" != "$3" ]; then
    echo "--- $1: $2"
    diff -u <(printf '%s\n' "$3") <(printf '%s\n' "$actual")
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
