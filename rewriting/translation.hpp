// What the rewriting makes of an update sequence: the translated program,
// kept in the compact forms a large run needs (inertia rules as runs,
// rejection rules as marks on the rewritten rules they are written from),
// and its text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "representation/rule.hpp"

// An inertia rule, head :- body over the arguments X0, ..., Xk-1 (k the
// arity of both predicates), kept as its two predicate numbers: a sequence
// of N programs has 2N of them per predicate of the input
// (rewriting/inertia.hpp), which with many predicates outnumber the input's
// rules, so that rules of their own would take most of a run's memory.
struct PROPAGATION_RULE {
    unsigned head = 0;
    unsigned body = 0;

    bool operator==(const PROPAGATION_RULE&) const = default;
};

// The inertia rules of the translated program, which come in pairs (a
// predicate's and its complement's at one program). The pairs of one
// predicate at programs N-1 down to 1 differ from one to the next by one in
// each of their four numbers (update names are numbered by program), so
// that they are kept as a run: a first pair and a count. A predicate then
// costs two runs instead of 2N rules.
class INERTIA_RULES {
public:
    // Appends the pair a, b (a before b).
    void add(PROPAGATION_RULE a, PROPAGATION_RULE b);
    std::size_t size() const { return 2 * pairs_; }
    bool empty() const { return pairs_ == 0; }
    void reserve(std::size_t runs) { runs_.reserve(runs); }
    void clear() { *this = INERTIA_RULES(); }
    // visit(rule) for the rules first to last - 1 in order; as each run
    // begins, ahead(a, b) with the first pair of the run two runs later,
    // for a reader that fetches what it will need.
    template <class VISIT, class AHEAD>
    void visit(std::size_t first, std::size_t last, VISIT&& visit, AHEAD&& ahead) const {
        if (first >= last) return;
        std::size_t r = runOf(first / 2);
        std::size_t k = first / 2 - firstPairs_[r];
        bool second = first % 2;
        for (std::size_t at = first; at < last; ++at) {
            const RUN& run = runs_[r];
            if (k == 0 && !second && r + 2 < runs_.size()) ahead(runs_[r + 2].a, runs_[r + 2].b);
            visit(step(second ? run.b : run.a, k));
            if (!second) {
                second = true;
                continue;
            }
            second = false;
            if (++k == run.count) {
                k = 0;
                ++r;
            }
        }
    }

private:
    struct RUN {
        PROPAGATION_RULE a, b;  // the first pair
        unsigned count;         // pairs
    };
    std::vector<RUN> runs_;
    std::size_t pairs_ = 0;
    // The pairs before each run, built for the first question after an add.
    mutable std::vector<std::size_t> firstPairs_;

    static PROPAGATION_RULE step(PROPAGATION_RULE r, std::size_t k) {
        const auto d = static_cast<unsigned>(k);
        return {r.head - d, r.body - d};
    }
    std::size_t runOf(std::size_t pair) const;
};

// "head(X0,...,Xk-1) :- body(X0,...,Xk-1)." as PrintRule writes the rule.
void AppendPropagation(std::string& out, const PROPAGATION_RULE& rule, NOTATION notation);
// The rule itself, as the translation's rules would hold it.
RULE propagationRule(const PROPAGATION_RULE& rule);

// The rejection rules of the translated program, kept as marks on the
// rewritten rules they stand before instead of as rules of their own. The
// rewritten rule of rule j of a program i but the last,
//     p_Pi(args) :- positive, negated, not rej_Pi_Rj(V).
// holds everything its rejection rule says:
//     rej_Pi_Rj(V) :- positive, -p_P(i+1)(args), negated.
// so that the rejection rule is written from it: half the rules of a large
// run take no memory.
struct REJECTION_MARKS {
    std::vector<std::uint64_t> bits;  // by index in TRANSLATION::rules
    std::size_t count = 0;
    // Marks before each word of bits, built for the first question after a
    // mark.
    mutable std::vector<std::size_t> prefix;
    mutable bool stale = false;

    // rule k of TRANSLATION::rules (a rewritten rule as above) has its rejection rule
    // before it.
    void mark(std::size_t k);
    bool marked(std::size_t k) const {
        return k / 64 < bits.size() && (bits[k / 64] >> (k % 64) & 1);
    }
    // Marks before rule k of TRANSLATION::rules.
    std::size_t before(std::size_t k) const;
    void clear() { *this = REJECTION_MARKS(); }
};
// The rejection rule written before a marked rule, as a rule.
RULE rejectionRule(const RULE& rewritten);

// The translated program: its rules (each program's rewritten rules in
// order, the level rules of -strict, the truth fact of -min/-strict), with
// the rejection rules and the inertia rules in their places; its
// constraints (those of the input, then the strong negation constraints of
// the pexa form); and the minimality part that -min and -strict test
// candidates with (or, with -integral, write into the program).
struct TRANSLATION {
    RULES rules;
    REJECTION_MARKS rejections;  // rejection rules, written before the rules they mark
    INERTIA_RULES inertia;       // standing after the first inertiaAt rules
    std::size_t inertiaAt = 0;
    std::vector<CONSTRAINT> constraints;
    RULES minRules;
    std::vector<CONSTRAINT> minConstraints;
    // What the program's text is written in: the program type's it was
    // translated for.
    NOTATION notation = NOTATION::INPUT;

    // The rules of the translated program in their order: rules with the
    // rejection rules and the inertia rules in their places.
    std::size_t ruleCount() const { return rules.size() + rejections.count + inertia.size(); }
};

// The rules first to last - 1 of the translated program's order, separated
// by sep, in the notation given.
void PrintTranslatedRules(std::ostream& out, const TRANSLATION& translation, std::size_t first,
                          std::size_t last, const char* sep, NOTATION notation);
