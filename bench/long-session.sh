# Sourced by the long-session benches (session-memory.sh, session-steps.sh):
#   long_session_setup NAME FACTS STEPS BUILD [FACTS [STEPS]]
# checks BUILD for vok, rox-clingo and vok-session-driver and sets build,
# n (facts), steps and work (a scratch folder removed at exit), then
# writes into work:
#   kb.lp       half emp(eI,dJ), half salary(eI,S), and the rules ok/1 and
#               rich/1 that read them, as one block;
#   blocks.txt  STEPS blocks cycling { blocked(dJ). }, { emp(nK,dJ). } (a
#               new fact the rule joins), { -emp(eI,dJ). } (a base fact
#               retracted) and { -blocked(dJ). };
#   search.txt  STEPS blocks alternating { c(I) :- not d(I).
#               d(I) :- not c(I). :- d(I). } (a search clingo must do) and
#               { blocked(dJ). }.
long_session_setup() {
    local name=$1 facts=$2 count=$3
    shift 3
    build=${1:?usage: bench/$name.sh BUILD [FACTS [STEPS]]}
    build=$(cd "$build" && pwd) || exit 2
    n=${2:-$facts}
    steps=${3:-$count}
    for tool in vok rox-clingo vok-session-driver; do
        [ -x "$build/$tool" ] || { echo "bench: $build/$tool is missing; build it first" >&2; exit 2; }
    done
    work=$(mktemp -d "${TMPDIR:-/tmp}/vok-$name.XXXXXX")
    trap 'rm -rf "$work"' EXIT
    awk -v n="$n" -v u="$steps" -v kb="$work/kb.lp" -v blocks="$work/blocks.txt" \
        -v search="$work/search.txt" 'BEGIN {
        srand(13)
        half = int(n / 2)
        print "{" > kb
        for (i = 0; i < half; i++) print "emp(e" i ",d" i % 1000 ")." > kb
        for (i = 0; i < n - half; i++) print "salary(e" i "," i % 100 ")." > kb
        print "ok(X) :- emp(X,D), not blocked(D).\nrich(X) :- salary(X,S), S > 90.\n}" > kb
        for (i = 1; i <= u; i++) {
            j = int(rand() * 1000); e = int(rand() * half)
            if (i % 4 == 1) b = "{ blocked(d" j "). }"
            else if (i % 4 == 2) b = "{ emp(n" i ",d" j "). }"
            else if (i % 4 == 3) b = "{ -emp(e" e ",d" e % 1000 "). }"
            else b = "{ -blocked(d" j "). }"
            print b > blocks
            if (i % 2 == 1) b = "{ c(" i ") :- not d(" i "). d(" i ") :- not c(" i "). :- d(" i "). }"
            else b = "{ blocked(d" j "). }"
            print b > search
        }
    }'
}
