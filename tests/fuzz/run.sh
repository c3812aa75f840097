#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a number of seconds each:
#   tests/fuzz/run.sh BUILD SECONDS
# Seeds are the committed corpus/<target>/ files and the test inputs of
# the tree that seeds.sh gathers. Prints one line per target with the executions
# done; fails when a target crashes, leaks, hangs or exits. The input that
# did it is kept in BUILD/fuzz-artifacts/.
set -u
build=${1:?usage: run.sh BUILD SECONDS}
seconds=${2:?usage: run.sh BUILD SECONDS}
here=$(cd "$(dirname "$0")" && pwd)
tree=$(cd "$here/../.." && pwd)
artifacts=$build/fuzz-artifacts
work=$(mktemp -d "${TMPDIR:-/tmp}/vok-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$artifacts"

bash "$here/seeds.sh" "$tree" "$work/seeds" || exit 1

failed=0
for target in parse translate filter blocks reader; do
  exe=$build/fuzz/fuzz-$target
  if [ ! -x "$exe" ]; then
    echo "fuzz-$target: not built"
    failed=1
    continue
  fi
  corpus=$work/corpus-$target
  mkdir -p "$corpus" "$work/seeds/$target"
  "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
    -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
    "$corpus" "$here/corpus/$target" "$work/seeds/$target" >"$work/log-$target" 2>&1
  status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log-$target" | tail -n 1)
  if [ "$status" -eq 0 ]; then
    echo "fuzz-$target: ${runs:-0} executions in ${seconds} s, no crash"
  else
    failed=1
    echo "fuzz-$target: FAILED (status $status) after ${runs:-?} executions"
    grep -E 'ERROR|SUMMARY|Test unit written|fuzz target exited|deadly signal' "$work/log-$target" | head -n 20
    cp "$work/log-$target" "$artifacts/$target.log"
  fi
done
exit $failed
