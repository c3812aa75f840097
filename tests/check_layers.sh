#!/usr/bin/env bash
# Checks that every include points down the stages:
#   driver -> (input, rewriting) -> representation -> base
# A file may include its own folder and the folders below its own; input
# and rewriting do not include each other. evaluation/ is a program of its
# own: it includes nothing of the stages, and they include nothing of it.
# The unit tests follow their stage (tests/driver as driver, ...); the
# helpers they share in tests/support count as representation, those in
# tests/support/<stage>/ as that stage. The fuzz
# targets and bench/ span the whole system and are not checked.
#   tests/check_layers.sh SOURCE-TREE
set -u
tree=${1:?usage: check_layers.sh SOURCE-TREE}
cd "$tree" || exit 2

find base representation input rewriting driver evaluation tests -type f \
    \( -name '*.cpp' -o -name '*.hpp' -o -name '*.y' -o -name '*.l' \) \
    ! -path 'tests/fuzz/*' ! -path 'tests/e2e/*' | LC_ALL=C sort |
awk '
BEGIN {
    rank["base"] = 0; rank["representation"] = 1
    rank["input"] = 2; rank["rewriting"] = 2; rank["driver"] = 3
}

function exists(path,    line, r) {
    r = (getline line < path)
    if (r >= 0) close(path)
    return r >= 0
}

# Drops "." and resolves ".." in a relative path.
function normal(path,    n, part, out, i, k) {
    n = split(path, part, "/")
    k = 0
    for (i = 1; i <= n; i++) {
        if (part[i] == "" || part[i] == ".") continue
        if (part[i] == ".." && k > 0 && out[k] != "..") { k--; continue }
        out[++k] = part[i]
    }
    path = ""
    for (i = 1; i <= k; i++) path = path (i > 1 ? "/" : "") out[i]
    return path
}

# The stage of a path: its first folder, or for tests/X the stage X.
function stageOf(path,    part) {
    split(path, part, "/")
    if (part[1] != "tests") return part[1]
    if (part[2] != "support") return part[2]
    return (part[3] in rank) ? part[3] : "representation"
}

# Where an include lands: next to the including file, from the root of the
# tree, in evaluation/ (whose users include its headers by bare name), or,
# for generated headers such as input/grammar.hpp, in the folder it names.
function place(file, inc,    dir, part) {
    dir = file; sub(/\/[^\/]*$/, "", dir)
    if (exists(dir "/" inc)) return normal(dir "/" inc)
    if (exists(inc)) return normal(inc)
    if (exists("evaluation/" inc)) return "evaluation/" inc
    split(inc, part, "/")
    if (part[1] in rank) return inc
    return ""
}

function allowed(from, to) {
    if (from == to) return 1
    if (!(from in rank) || !(to in rank)) return 0
    return rank[to] < rank[from]
}

{
    file = $0
    from = stageOf(file)
    checked++
    n = 0
    while ((getline text < file) > 0) {
        n++
        if (text !~ /^[ \t]*#[ \t]*include[ \t]*"/) continue
        inc = text
        sub(/^[^"]*"/, "", inc)
        sub(/".*$/, "", inc)
        target = place(file, inc)
        if (target == "") {
            printf "%s:%d: cannot tell where \"%s\" belongs\n", file, n, inc
            failed = 1
        } else if (!allowed(from, stageOf(target))) {
            printf "%s:%d: %s includes \"%s\" of %s\n", file, n, from, inc, stageOf(target)
            failed = 1
        }
    }
    close(file)
}

END {
    if (checked < 20) {
        printf "only %d files found: not a vok source tree?\n", checked
        exit 1
    }
    if (!failed) printf "%d files: every include points down\n", checked
    exit failed
}'
