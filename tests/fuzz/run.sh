#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a number of seconds each:
#   tests/fuzz/run.sh BUILD SECONDS
# Seeds are the committed corpus/<target>/ files and the test inputs of
# the tree (input files for the parser and the translation, written program
# files for the readers). Prints one line per target with the executions
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

# seed TARGET MODE-BYTE FILE: FILE as a seed, behind the byte that selects
# the target's options (targets read their first byte as a mode).
seed() {
  local dir=$work/seeds-$1 name
  mkdir -p "$dir"
  name=$dir/$(basename "$(dirname "$3")")-$(basename "$3")-$2
  { printf "\\$(printf '%03o' "$2")"; cat "$3"; } >"$name"
}

while IFS= read -r f; do
  seed parse 0 "$f"
  for mode in 0 1 4 12 28 33 64; do seed translate "$mode" "$f"; done
done < <(find "$tree/tests/e2e" "$tree/examples" -name '*.lp' -size -4k | sort | head -n 60)
while IFS= read -r f; do
  if head -c 4 "$f" | grep -q '^@SET'; then seed reader 1 "$f"; else seed reader 0 "$f"; seed reader 2 "$f"; fi
done < <(find "$tree/tests/e2e" -name 'expected.file.*' -size -4k | sort | head -n 40)

failed=0
for target in parse translate filter reader; do
  exe=$build/fuzz/fuzz-$target
  if [ ! -x "$exe" ]; then
    echo "fuzz-$target: not built"
    failed=1
    continue
  fi
  corpus=$work/corpus-$target
  mkdir -p "$corpus" "$work/seeds-$target"
  "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
    -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
    "$corpus" "$here/corpus/$target" "$work/seeds-$target" >"$work/log-$target" 2>&1
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
