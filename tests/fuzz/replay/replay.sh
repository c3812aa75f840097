#!/usr/bin/env bash
# Replays every fuzz target's committed corpus and the seeds gathered from
# the tree through its entry point, built as an ordinary program
# (BIN/replay-TARGET); names each target that failed.
#   tests/fuzz/replay/replay.sh TREE BIN
set -u
tree=${1:?usage: replay.sh TREE BIN}
bin=${2:?usage: replay.sh TREE BIN}
work=$(mktemp -d "${TMPDIR:-/tmp}/vok-replay.XXXXXX")
trap 'rm -rf "$work"' EXIT
bash "$tree/tests/fuzz/seeds.sh" "$tree" "$work/seeds" || exit 1
cd "$work" || exit 1
failed=0
for target in parse translate filter blocks reader; do
  printf 'replay-%s: ' "$target"
  if ! "$bin/replay-$target" "$tree/tests/fuzz/corpus/$target" "$work/seeds/$target" 2>&1; then
    echo "replay-$target FAILED"
    failed=1
  fi
done
exit $failed
