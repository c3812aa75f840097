#!/usr/bin/env bash
# Checks that every C++ file of the tree is laid out as .clang-format says,
# so that the house style is kept by a check, not by memory. A failure
# names the files; `clang-format -i FILE` mends them.
#   check_format.sh SOURCE-TREE
set -u
tree=${1:?usage: check_format.sh SOURCE-TREE}
cd "$tree" || exit 2
command -v clang-format >/dev/null || { echo "clang-format is not installed"; exit 1; }

status=0
while IFS= read -r -d '' file; do
    if ! clang-format --dry-run -Werror "$file" >/dev/null 2>&1; then
        echo "not formatted: $file"
        status=1
    fi
done < <(find . -path './build*' -prune -o -path './.git' -prune -o \
              -type f \( -name '*.cpp' -o -name '*.hpp' -o -name '*.h' \) -print0 | LC_ALL=C sort -z)
exit $status
