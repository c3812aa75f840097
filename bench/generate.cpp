// Writes a large update sequence for benchmarks, the same for the same
// arguments: N programs of R statements each over P predicates of arities
// 0 to 3, with variables, strong and default negation, facts, constraints
// and comparison and arithmetic builtins.
//
//   vok-generate N R P [seed]
//
// Every rule is safe, and a predicate and its strong negation share one
// arity. Bodies only use predicates of a lower number than the head's, so
// the program stays stratified-ish and grounds in time near its size.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "random.hpp"

namespace {

constexpr unsigned kConstants = 8;

unsigned arityOf(unsigned p) { return p % 4; }

std::string constant(Random& rnd) { return "c" + std::to_string(rnd.below(kConstants)); }

std::string atomText(unsigned p, const std::string& args) {
    std::string a = "p" + std::to_string(p);
    if (arityOf(p) > 0) a += "(" + args + ")";
    return a;
}

std::string constantArgs(Random& rnd, unsigned k) {
    std::string s;
    for (unsigned i = 0; i < k; ++i) s += (i ? "," : "") + constant(rnd);
    return s;
}

// A predicate numbered below limit whose arity is at least k (k <= 3).
unsigned bodyPredicate(Random& rnd, unsigned limit, unsigned k) {
    for (;;) {
        unsigned p = rnd.below(limit);
        if (arityOf(p) >= k) return p;
    }
}

// A positive literal binding the first k variables of the rule (and
// constants in the remaining places).
std::string binder(Random& rnd, unsigned limit, unsigned k) {
    unsigned q = bodyPredicate(rnd, limit, k);
    std::string args = variableArgs(k);
    for (unsigned i = k; i < arityOf(q); ++i) args += (i ? "," : "") + constant(rnd);
    return (rnd.chance(20) ? "-" : "") + atomText(q, args);
}

std::string rule(Random& rnd, unsigned predicates) {
    unsigned p = 4 + rnd.below(predicates - 4);
    unsigned k = arityOf(p);
    std::string head = (rnd.chance(30) ? "-" : "") + atomText(p, variableArgs(k));
    if (rnd.chance(25))
        return (rnd.chance(30) ? "-" : "") + atomText(p, constantArgs(rnd, k)) + ".";
    // Now and then the last variable of a head comes from arithmetic.
    bool arithmetic = k == 3 && rnd.chance(3);
    std::string body = binder(rnd, p, arithmetic ? 2 : k == 0 ? rnd.below(2) : k);
    if (arithmetic) body += rnd.chance(50) ? ", Z = X + Y" : ", Z = X * Y";
    if (rnd.chance(40)) {
        unsigned q = rnd.below(p);
        std::string args = variableArgs(std::min(arityOf(q), k));
        for (unsigned i = std::min(arityOf(q), k); i < arityOf(q); ++i)
            args += (i ? "," : "") + constant(rnd);
        body += ", not " + std::string(rnd.chance(20) ? "-" : "") + atomText(q, args);
    }
    if (k > 0 && rnd.chance(15)) body += ", X != " + constant(rnd);
    if (k > 1 && rnd.chance(5)) body += ", X < Y";
    return head + " :- " + body + ".";
}

std::string constraint(Random& rnd, unsigned predicates) {
    unsigned p = 3 + 4 * rnd.below(predicates / 4 - 1);  // arity 3
    return ":- " + atomText(p, "X,Y,Z") + ", not " + atomText(p - 2, "X") + ".";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s PROGRAMS RULES PREDICATES [SEED]\n", argv[0]);
        return 2;
    }
    unsigned programs = static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10));
    unsigned rules = static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10));
    unsigned predicates = static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10));
    Random rnd(argc > 4 ? std::strtoull(argv[4], nullptr, 10) : 1);
    if (predicates < 8) predicates = 8;

    OUTPUT out;
    for (unsigned n = 0; n < programs; ++n) {
        out.line("{");
        // The oldest program holds the facts that give the others something
        // to derive from.
        if (n == 0)
            for (unsigned p = 0; p < 4; ++p)
                for (unsigned c = 0; c < kConstants; ++c)
                    out.line(atomText(p, constantArgs(rnd, arityOf(p))) + ".");
        for (unsigned r = 0; r < rules; ++r)
            out.line(rnd.chance(3) ? constraint(rnd, predicates) : rule(rnd, predicates));
        out.line("}");
    }
    return out.finish();
}
