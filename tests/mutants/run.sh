#!/usr/bin/env bash
# Puts each fault of a list into the product, one at a time, rebuilds, runs
# the tests and names every fault that no test caught. Not part of the
# suite: it rebuilds the product once per fault.
#
# usage: tests/mutants/run.sh BUILD-DIR LIST...
# A LIST holds one fault a line, fields separated by tabs:
#   FILE  SED-SCRIPT  [CTEST-REGEX]
# FILE is relative to the source folder; the sed script must change it. The
# regex (default: every test) selects the tests that should catch the fault;
# MUTANTS_EXCLUDE, if set, is a regex of tests never run (slow ones).
# Blank lines and lines beginning with # are skipped. Exit status: the
# number of faults that survived (at most 255), or 255 for a bad list.
set -u
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd) || exit 255
shift
backup=$(mktemp -d "${TMPDIR:-/tmp}/vok-mutants.XXXXXX")
current=
restore() {
  if [ -n "$current" ]; then cp "$backup/saved" "$source_dir/$current"; current=; fi
}
trap 'restore; rm -rf "$backup"' EXIT
trap 'exit 255' INT TERM

survived=0 tried=0
while IFS=$'\t' read -r file script regex; do
  [[ -z $file || $file == '#'* ]] && continue
  tried=$((tried + 1))
  cp "$source_dir/$file" "$backup/saved" || exit 255
  current=$file
  sed -i -e "$script" "$source_dir/$file"
  if cmp -s "$backup/saved" "$source_dir/$file"; then
    echo "NO CHANGE  $file: $script"
    restore
    exit 255
  fi
  if ! cmake --build "$build" -j2 </dev/null >"$backup/build.log" 2>&1; then
    echo "NO BUILD   $file: $script"
  elif (cd "$build" && ctest -j2 --stop-on-failure ${regex:+-R "$regex"} ${MUTANTS_EXCLUDE:+-E "$MUTANTS_EXCLUDE"} </dev/null >"$backup/test.log" 2>&1); then
    echo "SURVIVED   $file: $script"
    survived=$((survived + 1))
  else
    echo "caught     $file: $script  <- $(grep -m1 -oE '[0-9]+ - [^ ]+' "$backup/test.log" | cut -d' ' -f3)"
  fi
  restore
done < <(cat "$@")
cmake --build "$build" -j2 >/dev/null 2>&1
echo "$tried faults, $survived survived"
[ "$survived" -gt 255 ] && survived=255
exit "$survived"
