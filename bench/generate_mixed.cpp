// Writes a large update sequence of another shape than vok-generate's, the
// same for the same arguments: N programs of R statements each over P
// predicates, each predicate with a few ground instances, and every kind of
// statement mixed in every program: facts, rules with variables whose
// bodies name any predicate (so no layering), strong and default negation,
// and constraints.
//
//   vok-generate-mixed N R P [ARITY [FACTS [SEED]]]
//
// ARITY is the largest arity (0 to 4, default 3; predicate p has arity
// p mod (ARITY+1)), FACTS the share of facts in percent (default 30). Each
// argument place of a fact takes one of a few constants, so a predicate
// has a few ground instances. Every rule is safe, and a predicate and its
// strong negation share one arity.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "random.hpp"

namespace {

constexpr unsigned Constants = 4;  // per argument place: a few ground instances

struct SHAPE {
    unsigned predicates = 8;
    unsigned maxArity = 3;
    unsigned factShare = 30;
};

unsigned arityOf(const SHAPE& shape, unsigned p) { return p % (shape.maxArity + 1); }

std::string sign(Random& rnd, unsigned percent) { return rnd.chance(percent) ? "-" : ""; }

std::string atomText(const SHAPE& shape, unsigned p, const std::string& args) {
    std::string a = "q" + std::to_string(p);
    if (arityOf(shape, p) > 0) a += "(" + args + ")";
    return a;
}

std::string constantArgs(Random& rnd, unsigned k) {
    std::string s;
    for (unsigned i = 0; i < k; ++i)
        s += (i ? "," : "") + ("k" + std::to_string(rnd.below(Constants)));
    return s;
}

// Any predicate of arity at least k (k is at most the largest arity).
unsigned predicateOfArity(Random& rnd, const SHAPE& shape, unsigned k) {
    for (;;) {
        const unsigned p = rnd.below(shape.predicates);
        if (arityOf(shape, p) >= k) return p;
    }
}

// An atom over predicate p whose first k places are the first k variables,
// the rest constants.
std::string boundAtom(Random& rnd, const SHAPE& shape, unsigned p, unsigned k) {
    std::string args = variableArgs(std::min(k, arityOf(shape, p)));
    for (unsigned i = std::min(k, arityOf(shape, p)); i < arityOf(shape, p); ++i)
        args += (i ? "," : "") + ("k" + std::to_string(rnd.below(Constants)));
    return atomText(shape, p, args);
}

std::string fact(Random& rnd, const SHAPE& shape) {
    const unsigned p = rnd.below(shape.predicates);
    return sign(rnd, 25) + atomText(shape, p, constantArgs(rnd, arityOf(shape, p))) + ".";
}

// A positive literal that binds the first k variables, now and then a
// second one, and now and then a default negation of any predicate.
std::string body(Random& rnd, const SHAPE& shape, unsigned k) {
    std::string b = sign(rnd, 20) + boundAtom(rnd, shape, predicateOfArity(rnd, shape, k), k);
    if (rnd.chance(25))
        b += ", " + sign(rnd, 20) + boundAtom(rnd, shape, rnd.below(shape.predicates), k);
    if (rnd.chance(45))
        b += ", not " + sign(rnd, 20) + boundAtom(rnd, shape, rnd.below(shape.predicates), k);
    return b;
}

std::string rule(Random& rnd, const SHAPE& shape) {
    const unsigned p = rnd.below(shape.predicates);
    const unsigned k = arityOf(shape, p);
    return sign(rnd, 25) + atomText(shape, p, variableArgs(k)) + " :- " + body(rnd, shape, k) + ".";
}

std::string constraint(Random& rnd, const SHAPE& shape) {
    const unsigned k = std::min(2u, shape.maxArity);
    return ":- " + body(rnd, shape, k) + ".";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s PROGRAMS RULES PREDICATES [ARITY [FACTS [SEED]]]\n",
                     argv[0]);
        return 2;
    }
    const unsigned programs = static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10));
    const unsigned rules = static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10));
    SHAPE shape;
    shape.predicates = std::max(8u, static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)));
    if (argc > 4)
        shape.maxArity = std::min(4u, static_cast<unsigned>(std::strtoul(argv[4], nullptr, 10)));
    if (argc > 5)
        shape.factShare = std::min(100u, static_cast<unsigned>(std::strtoul(argv[5], nullptr, 10)));
    Random rnd(argc > 6 ? std::strtoull(argv[6], nullptr, 10) : 1);

    OUTPUT out;
    for (unsigned n = 0; n < programs; ++n) {
        out.line("{");
        for (unsigned r = 0; r < rules; ++r) {
            const unsigned kind = rnd.below(100);
            out.line(kind < shape.factShare       ? fact(rnd, shape)
                     : kind < shape.factShare + 5 ? constraint(rnd, shape)
                                                  : rule(rnd, shape));
        }
        out.line("}");
    }
    return out.finish();
}
