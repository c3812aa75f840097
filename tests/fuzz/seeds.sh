#!/usr/bin/env bash
# Gathers the seeds the fuzz targets start from besides their committed
# corpus/<target>/ files: the test inputs of the tree (input files for the
# parser and the translation, written program files for the readers), each
# behind the byte that selects the target's options (targets read their
# first byte as a mode). The session's stdin files seed the block reader.
#   tests/fuzz/seeds.sh TREE OUT     writes OUT/<target>/ for every target
set -u
tree=${1:?usage: seeds.sh TREE OUT}
out=${2:?usage: seeds.sh TREE OUT}

# seed TARGET MODE-BYTE FILE (no subshells: there are hundreds of seeds)
seed() {
  local parent=${3%/*} byte
  parent=${parent##*/}
  printf -v byte '\\%03o' "$2"
  { printf "$byte"; cat "$3"; } >"$out/$1/$parent-${3##*/}-$2"
}

mkdir -p "$out/parse" "$out/translate" "$out/filter" "$out/blocks" "$out/reader"
while IFS= read -r f; do
  seed parse 0 "$f"
  seed blocks 2 "$f"
  for mode in 0 1 4 12 28 33 64; do seed translate "$mode" "$f"; done
done < <(find "$tree/tests/e2e" "$tree/examples" -name '*.lp' -size -4k | LC_ALL=C sort | head -n 60)
while IFS= read -r f; do
  read -r -n 4 start <"$f"
  if [ "$start" = "@SET" ]; then seed reader 1 "$f"; else seed reader 0 "$f"; seed reader 2 "$f"; fi
done < <(find "$tree/tests/e2e" -name 'expected.file.*' -size -4k | LC_ALL=C sort | head -n 40)
while IFS= read -r f; do
  for mode in 0 3 6; do seed blocks "$mode" "$f"; done
done < <(find "$tree/tests/e2e/session" -name 'stdin' -size -4k 2>/dev/null | LC_ALL=C sort | head -n 40)
