#!/usr/bin/env bash
# The README quotes examples/library/update.cpp whole (indented by four
# spaces), and the example writes a program whose answer set rox-clingo
# finds: the power failure learnt switches the TV off.
set -u
source_dir=$1 example=$2 rox_clingo=$3
scratch=$(mktemp -d "${TMPDIR:-/tmp}/vok-library.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail=0
quoted=$(sed 's/^/    /; s/^ *$//' "$source_dir/examples/library/update.cpp")
if [[ "$(cat "$source_dir/README.md")" != *"$quoted"* ]]; then
    echo "README.md does not quote examples/library/update.cpp as it is"
    fail=1
fi
if ! "$example" "$scratch/update.lp" 2>"$scratch/stderr" || [ -s "$scratch/stderr" ]; then
    echo "the example failed:"
    cat "$scratch/stderr"
    fail=1
fi
"$rox_clingo" "$scratch/update.lp" >"$scratch/stdout" 2>&1
grep -q "power_failure" "$scratch/stdout" && grep -q -- "-on" "$scratch/stdout" &&
    ! grep -q "{on\|, on[,}]" "$scratch/stdout" || {
    echo "rox-clingo did not find the expected answer set:"
    cat "$scratch/stdout"
    fail=1
}
"$example" 2>/dev/null
[ $? = 2 ] || { echo "the example without a file name did not end with status 2"; fail=1; }
exit $fail
