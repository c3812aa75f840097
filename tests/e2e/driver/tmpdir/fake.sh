#!/usr/bin/env bash
# Names the file it is given (its last argument), and where the candidate
# test files are, and prints one answer set that rejects a rule.
for last; do :; done
echo "given $last" >&2
echo "{a, rej_P0_R0}"
