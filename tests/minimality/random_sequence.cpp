// Writes a small random update sequence for comparing ways of computing
// minimal answer sets: 2 to 4 programs whose rules make choices (pairs of
// rules that block each other) and override each other's heads with the
// complementary literal, so that answer sets differ in which rules they
// reject, at several levels.
//
//   vok-random-sequence SEED [prop]
//
// With "prop" the sequence is propositional (the pexa form takes only
// those); otherwise some predicates have one argument, so rejection atoms
// get arguments. Predicate names are drawn from a pool that holds the names
// of vok's own auxiliary predicates, an upper-case name and a quoted one.
// The same SEED always gives the same sequence.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/random.hpp"

namespace {

// Names that vok also generates for itself, and names the input language
// allows but clingo does not read as they are.
const std::vector<std::string> Propositions = {
    "a",        "b",          "c",         "d",     "ok", "is_true", "rej_P0_R0",
    "eq_P2_R0", "mrej_P0_R0", "rej_P1_R0", "ok_P1", "Up", "\"x y\"",
};
const std::vector<std::string> UnaryNames = {"p", "q", "rej_P0_R1", "Ok", "eq_P1_R0"};
const std::vector<std::string> Constants = {"c1", "c2"};

struct VOCABULARY {
    std::vector<std::string> props;  // a few propositions of the pool
    std::vector<std::string> unary;  // a few unary predicates (none if propositional)
};

VOCABULARY chooseVocabulary(RANDOM& rnd, bool propositional) {
    VOCABULARY v;
    std::vector<std::string> pool = Propositions;
    unsigned n = 4 + rnd.below(3);
    for (unsigned i = 0; i < n && !pool.empty(); ++i) {
        unsigned k = rnd.below(static_cast<unsigned>(pool.size()));
        v.props.push_back(pool[k]);
        pool.erase(pool.begin() + k);
    }
    if (!propositional) {
        pool = UnaryNames;
        unsigned m = 1 + rnd.below(2);
        for (unsigned i = 0; i < m; ++i) {
            unsigned k = rnd.below(static_cast<unsigned>(pool.size()));
            v.unary.push_back(pool[k]);
            pool.erase(pool.begin() + k);
        }
    }
    return v;
}

std::string negated(RANDOM& rnd, const std::string& atom, unsigned percent) {
    return rnd.chance(percent) ? "-" + atom : atom;
}

// A literal over the variable X (when the rule has one) or a constant.
std::string anyAtom(RANDOM& rnd, const VOCABULARY& v, bool hasX) {
    if (!v.unary.empty() && rnd.chance(40)) {
        std::string arg = hasX && rnd.chance(70) ? "X" : rnd.pick(Constants);
        return rnd.pick(v.unary) + "(" + arg + ")";
    }
    return rnd.pick(v.props);
}

std::string body(RANDOM& rnd, const VOCABULARY& v, bool hasX) {
    std::vector<std::string> lits;
    if (hasX) lits.push_back("dom(X)");
    unsigned positives = rnd.below(2), negatives = rnd.below(3);
    for (unsigned i = 0; i < positives; ++i)
        lits.push_back(negated(rnd, anyAtom(rnd, v, hasX), 15));
    for (unsigned i = 0; i < negatives; ++i)
        lits.push_back("not " + negated(rnd, anyAtom(rnd, v, hasX), 20));
    std::string out;
    for (const std::string& l : lits) out += (out.empty() ? "" : ", ") + l;
    return out;
}

std::string complement(const std::string& literal) {
    return literal[0] == '-' ? literal.substr(1) : "-" + literal;
}

// Heads of the rules written so far, for later programs to contradict:
// propositional (and ground) ones, and ones over the variable X.
std::vector<std::string> groundHeads, unaryHeads;
// Facts with the number of their program.
std::vector<std::pair<std::string, unsigned>> facts;
unsigned program = 0;

// A head literal; in a later program often the complement of an earlier
// head, so that a rule of an earlier program can be rejected.
std::string head(RANDOM& rnd, const VOCABULARY& v, bool unary, bool later) {
    std::vector<std::string>& earlier = unary ? unaryHeads : groundHeads;
    std::string h;
    if (later && !earlier.empty() && rnd.chance(65)) h = complement(rnd.pick(earlier));
    else h = negated(rnd, unary ? rnd.pick(v.unary) + "(X)" : rnd.pick(v.props), 15);
    earlier.push_back(h);
    return h;
}

std::string rule(RANDOM& rnd, const VOCABULARY& v, bool later) {
    bool unary = !v.unary.empty() && rnd.chance(45);
    std::string h = head(rnd, v, unary, later);
    if (!unary && rnd.chance(later ? 20 : 35)) {
        facts.emplace_back(h, program);
        return h + ".";
    }
    if (unary && rnd.chance(15)) {
        std::string fact = h.substr(0, h.size() - 3) + "(" + rnd.pick(Constants) + ")";
        groundHeads.push_back(fact);
        facts.emplace_back(fact, program);
        return fact + ".";
    }
    std::string b = body(rnd, v, unary);
    return b.empty() ? h + "." : h + " :- " + b + ".";
}

// Two rules that block each other: one of the two heads holds. In a later
// program both heads often contradict earlier heads, so that the answer
// sets reject rules of different programs.
std::string choice(RANDOM& rnd, const VOCABULARY& v, bool later) {
    bool unary = !v.unary.empty() && rnd.chance(40);
    std::string x = head(rnd, v, unary, later);
    std::string y = head(rnd, v, unary, later);
    if (x == y || x == complement(y)) {
        y = unary ? "alt1(X)" : "alt";
        (unary ? unaryHeads : groundHeads).push_back(y);
    }
    std::string guard = unary ? "dom(X), " : "";
    return x + " :- " + guard + "not " + y + ". " + y + " :- " + guard + "not " + x + ".";
}

// A choice between contradicting a fact of one program and a fact of a
// later one: the two answer sets reject rules of different levels, so
// minimality and strict minimality part ways. Empty when there are no
// two such facts.
std::string dilemma(RANDOM& rnd) {
    if (facts.size() < 2) return "";
    auto f = rnd.pick(facts), g = rnd.pick(facts);
    if (f.second == g.second || f.first == g.first || f.first == complement(g.first)) return "";
    std::string x = complement(f.first), y = complement(g.first);
    return x + " :- not " + y + ". " + y + " :- not " + x + ".\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3 || (argc == 3 && std::string(argv[2]) != "prop")) {
        std::fprintf(stderr, "usage: %s SEED [prop]\n", argv[0]);
        return 2;
    }
    RANDOM rnd(std::strtoull(argv[1], nullptr, 10));
    bool propositional = argc == 3;
    VOCABULARY v = chooseVocabulary(rnd, propositional);
    unsigned programs = 2 + rnd.below(3);
    std::string out;
    for (unsigned n = 0; n < programs; ++n) {
        program = n;
        out += "{\n";
        if (n >= 2 && rnd.chance(60)) out += dilemma(rnd);
        if (n == 0 && !propositional)
            for (const std::string& c : Constants) out += "dom(" + c + ").\n";
        unsigned rules = 2 + rnd.below(4);
        for (unsigned r = 0; r < rules; ++r) {
            if (rnd.chance(40)) out += choice(rnd, v, n > 0);
            else if (rnd.chance(3))
                out += ":- " + negated(rnd, rnd.pick(v.props), 30) + ", " +
                       negated(rnd, rnd.pick(v.props), 30) + ".";
            else out += rule(rnd, v, n > 0);
            out += '\n';
        }
        out += "}\n";
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::ferror(stdout) ? 1 : 0;
}
