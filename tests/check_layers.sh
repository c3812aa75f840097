#!/usr/bin/env bash
# Checks that every include points down the layers. vok's stages:
#   driver -> (input, rewriting) -> representation -> base
# the rooms of the driver:
#   driver/app -> driver/session -> driver/run -> driver/output
# and the rooms of the evaluation programs:
#   evaluation/front_end -> evaluation/session -> evaluation/solve
#     -> evaluation/clingo -> evaluation/program
# A file may include its own folder and the folders below its own; input
# and rewriting do not include each other. The stages and the rooms include
# nothing of each other; both may include common/, the lowest layer, which
# includes nothing of either.
# The unit tests follow their layer (tests/driver/run as driver/run,
# tests/evaluation/clingo as evaluation/clingo, ...); the helpers they
# share in tests/support count as representation, those in
# tests/support/<stage>/ as that stage (tests/support/driver/<room>/ as
# that room, and those of tests/support/driver/ itself below every room)
# and those in tests/support/evaluation/ as evaluation/program. The fuzz targets, the
# random programs of the differential tests (tests/minimality,
# tests/session) and bench/ span the whole system and are not checked.
#   tests/check_layers.sh SOURCE-TREE
set -u
tree=${1:?usage: check_layers.sh SOURCE-TREE}
cd "$tree" || exit 2

find common base representation input rewriting driver evaluation tests -type f \
    \( -name '*.cpp' -o -name '*.hpp' -o -name '*.y' -o -name '*.l' \) \
    ! -path 'tests/fuzz/*' ! -path 'tests/e2e/*' ! -path 'tests/minimality/*' \
    ! -path 'tests/session/*' | LC_ALL=C sort |
awk '
BEGIN {
    # Two orders, one for each program, with common/ below both.
    order["common"] = "all"; rank["common"] = -1
    order["base"] = "vok"; rank["base"] = 0
    order["representation"] = "vok"; rank["representation"] = 1
    order["input"] = "vok"; rank["input"] = 2
    order["rewriting"] = "vok"; rank["rewriting"] = 2
    order["driver"] = "vok"; rank["driver"] = 3
    order["driver/output"] = "vok"; rank["driver/output"] = 4
    order["driver/run"] = "vok"; rank["driver/run"] = 5
    order["driver/session"] = "vok"; rank["driver/session"] = 6
    order["driver/app"] = "vok"; rank["driver/app"] = 7
    order["evaluation/program"] = "evaluation"; rank["evaluation/program"] = 0
    order["evaluation/clingo"] = "evaluation"; rank["evaluation/clingo"] = 1
    order["evaluation/solve"] = "evaluation"; rank["evaluation/solve"] = 2
    order["evaluation/session"] = "evaluation"; rank["evaluation/session"] = 3
    order["evaluation/front_end"] = "evaluation"; rank["evaluation/front_end"] = 4
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

# The layer of a path in the product: its first folder, and in evaluation/
# and driver/ the room that follows (a file of driver/ itself is below its
# rooms).
function layerOf(path,    part, n) {
    n = split(path, part, "/")
    if (part[1] == "evaluation") return "evaluation/" part[2]
    if (part[1] == "driver" && n > 2) return "driver/" part[2]
    return part[1]
}

# The layer of a file: that of its path, or for tests/X that of X.
function fileLayer(path,    part, rest) {
    split(path, part, "/")
    if (part[1] != "tests") return layerOf(path)
    rest = substr(path, length("tests/") + 1)
    if (part[2] != "support") return layerOf(rest)
    if (part[3] == "evaluation") return "evaluation/program"
    if (part[3] == "driver") return layerOf(substr(path, length("tests/support/") + 1))
    return (part[3] in rank) ? part[3] : "representation"
}

# Where an include lands: next to the including file, from the root of the
# tree, or, for generated headers such as input/grammar.hpp, in the folder
# it names.
function place(file, inc,    dir, part) {
    dir = file; sub(/\/[^\/]*$/, "", dir)
    if (exists(dir "/" inc)) return normal(dir "/" inc)
    if (exists(inc)) return normal(inc)
    split(inc, part, "/")
    if (part[1] in rank) return inc
    return ""
}

# The layer of an include target: tests/... as a file, the rest by path.
function targetLayer(target) {
    return target ~ /^tests\// ? fileLayer(target) : layerOf(target)
}

function allowed(from, to) {
    if (from == to) return 1
    if (!(from in rank) || !(to in rank)) return 0
    if (order[to] == "all") return 1
    return order[from] == order[to] && rank[to] < rank[from]
}

{
    file = $0
    from = fileLayer(file)
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
        } else if (!allowed(from, to = targetLayer(target))) {
            printf "%s:%d: %s includes \"%s\" of %s\n", file, n, from, inc, to
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
