#!/usr/bin/env bash
# Runs one end-to-end case and compares what it printed with what it should.
#
# A case is a folder holding:
#   cmd              the command line, run by bash in a scratch copy of the folder;
#                    $VOK, $ROX and $PEXA name the built executables
#   stdin            optional: fed to the command (otherwise /dev/null)
#   expected.stdout  optional: the exact standard output (missing: empty)
#   expected.stderr  optional: the exact standard error (missing: empty)
#   expected.status  optional: the exit status (missing: 0)
#   expected.file.N  optional: the exact content that file N must have afterwards
#   expected.absent  optional: names (one a line) that must not exist afterwards
#   not-sanitized    optional: the case is skipped (status 77) in a sanitizer
#                    build, for cases that limit memory with ulimit -v
# In the expected texts @BANNER@ stands for the banner line of the vok under test.
set -u
case_dir=$1
bin_dir=$2

if [ -e "$case_dir/not-sanitized" ] && [ -n "${VOK_SANITIZED:-}" ]; then
  echo "skipped: the sanitizers do not run under a limit on virtual memory"
  exit 77
fi

export VOK=$bin_dir/vok ROX=$bin_dir/rox-clingo PEXA=$bin_dir/pexa-clingo
scratch=$(mktemp -d "${TMPDIR:-/tmp}/vok-e2e.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
cp -R "$case_dir"/. "$scratch"/
cd "$scratch" || exit 1

input=/dev/null
[ -f stdin ] && input=stdin
# Temporary files in /tmp, whatever TMPDIR the suite runs with: cases name
# them there, and a case about TMPDIR sets it itself.
env -u TMPDIR bash ./cmd <"$input" >actual.stdout 2>actual.stderr
status=$?

banner=$("$VOK" -h 2>/dev/null | head -n 1)
fail=0
expect() {  # expect NAME ACTUAL EXPECTED-FILE
  local want=$scratch/.want.$1
  if [ -f "$3" ]; then
    BANNER=$banner awk '{ gsub(/@BANNER@/, ENVIRON["BANNER"]); print }' "$3" >"$want"
    # awk adds a final line end; keep the file's own ending
    if [ -n "$(tail -c1 "$3")" ]; then truncate -s -1 "$want"; fi
  else
    : >"$want"
  fi
  if ! cmp -s "$want" "$2"; then
    echo "--- $1 differs (expected vs actual):"
    diff -u "$want" "$2" | head -n 60
    fail=1
  fi
}
expect stdout actual.stdout expected.stdout
expect stderr actual.stderr expected.stderr
want_status=0
[ -f expected.status ] && want_status=$(cat expected.status)
if [ "$status" != "$want_status" ]; then
  echo "--- status: expected $want_status, got $status"
  fail=1
fi
for f in expected.file.*; do
  [ -e "$f" ] || continue
  name=${f#expected.file.}
  if [ ! -f "$name" ]; then echo "--- file $name was not written"; fail=1; continue; fi
  expect "file $name" "$name" "$f"
done
if [ -f expected.absent ]; then
  while IFS= read -r name; do
    [ -n "$name" ] || continue
    if compgen -G "$name" >/dev/null; then echo "--- $name should not exist"; fail=1; fi
  done <expected.absent
fi
exit $fail
