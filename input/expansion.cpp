#include "input/expansion.hpp"

#include <string>

#include "input/parser.hpp"

namespace {

// Above every integer of the input: at most 9 digits.
constexpr int FirstMarker = 1000000000;

std::string textOf(IDENT term) {
    std::string text;
    AppendTerm(text, term);
    return text;
}

bool boundOk(PARSER& parser, IDENT bound) {
    if (bound.kind() == IDENT::INTEGER) return true;
    if (bound.isVariable())
        CountedError(parser,
                     "an interval needs integer bounds (or constants defined as integers), not "
                     "a variable: write the values out, or use a comparison such as 1 <= X");
    else
        CountedError(parser,
                     "an interval needs integer bounds (or constants defined as integers), not " +
                         textOf(bound));
    return false;
}

// The alternatives of one tuple: its intervals expanded in place.
void expandTuple(const EXPANSIONS& e, const std::vector<IDENT>& tuple, std::size_t at,
                 std::vector<IDENT>& prefix, std::vector<IDENT>& out) {
    if (at == tuple.size()) {
        out.insert(out.end(), prefix.begin(), prefix.end());
        return;
    }
    const EXPANSION* interval = e.markerOf(tuple[at]);
    const std::size_t n = interval ? interval->count() : 1;
    for (std::size_t k = 0; k < n; ++k) {
        prefix.push_back(interval ? interval->value(k, 0) : tuple[at]);
        expandTuple(e, tuple, at + 1, prefix, out);
        prefix.pop_back();
    }
}

// The value that stands for term in instance i: the term itself unless it
// is a marker.
struct CHOICE {
    const EXPANSIONS& e;
    std::vector<std::size_t> alternatives;  // by expansion

    CHOICE(const EXPANSIONS& expansions, std::size_t i) : e(expansions) {
        alternatives.assign(e.list.size(), 0);
        for (std::size_t k = e.list.size(); k-- > 0;) {
            if (e.list[k].consumed) continue;
            const std::size_t n = e.list[k].count();
            alternatives[k] = i % n;
            i /= n;
        }
    }
    IDENT operator()(IDENT term) const {
        const EXPANSION* x = e.markerOf(term);
        if (!x) return term;
        const auto k = static_cast<std::size_t>(x - e.list.data());
        return x->value(alternatives[k],
                        static_cast<unsigned>(term.value() - FirstMarker) - x->firstMarker);
    }
    ATOM atom(const ATOM& a) const {
        ATOM copy(a);
        for (IDENT& t : copy.args) t = (*this)(t);
        return copy;
    }
};

}  // namespace

std::size_t EXPANSION::count() const {
    if (!tuples.empty()) return tuples.size() / width;
    return high >= low ? static_cast<std::size_t>(high) - static_cast<std::size_t>(low) + 1 : 0;
}

IDENT EXPANSION::value(std::size_t alternative, unsigned column) const {
    if (!tuples.empty()) return tuples[alternative * width + column];
    return IDENT(IDENT::INTEGER, low + static_cast<int>(alternative));
}

const EXPANSION* EXPANSIONS::markerOf(IDENT term) const {
    if (term.kind() != IDENT::INTEGER || term.value() < FirstMarker) return nullptr;
    const auto marker = static_cast<std::size_t>(term.value() - FirstMarker);
    return marker < owners.size() ? &list[owners[marker]] : nullptr;
}

std::optional<IDENT> EXPANSIONS::interval(PARSER& parser, IDENT low, IDENT high) {
    if (!boundOk(parser, low) || !boundOk(parser, high)) return std::nullopt;
    EXPANSION x;
    x.firstMarker = static_cast<unsigned>(owners.size());
    x.low = low.value();
    x.high = high.value();
    owners.push_back(static_cast<unsigned>(list.size()));
    list.push_back(std::move(x));
    return IDENT(IDENT::INTEGER, FirstMarker + static_cast<int>(list.back().firstMarker));
}

std::optional<std::vector<IDENT>> EXPANSIONS::pool(PARSER& parser,
                                                   const std::vector<std::vector<IDENT>>& tuples) {
    EXPANSION x;
    x.width = static_cast<unsigned>(tuples.front().size());
    for (const std::vector<IDENT>& tuple : tuples) {
        if (tuple.size() != x.width) {
            CountedError(parser, "the alternatives of a pool need the same number of arguments: " +
                                     std::to_string(x.width) + " and " +
                                     std::to_string(tuple.size()));
            return std::nullopt;
        }
        std::vector<IDENT> prefix;
        expandTuple(*this, tuple, 0, prefix, x.tuples);
        if (x.tuples.size() > MaxInstances * x.width) {
            CountedError(parser, "a pool stands for more than " + std::to_string(MaxInstances) +
                                     " alternatives");
            return std::nullopt;
        }
    }
    // The intervals inside the tuples are taken into the alternatives.
    for (const std::vector<IDENT>& tuple : tuples)
        for (IDENT t : tuple)
            if (const EXPANSION* inner = markerOf(t))
                list[static_cast<std::size_t>(inner - list.data())].consumed = true;
    x.firstMarker = static_cast<unsigned>(owners.size());
    std::vector<IDENT> markers;
    for (unsigned c = 0; c < x.width; ++c) {
        owners.push_back(static_cast<unsigned>(list.size()));
        markers.emplace_back(IDENT::INTEGER, FirstMarker + static_cast<int>(x.firstMarker + c));
    }
    list.push_back(std::move(x));
    return markers;
}

std::optional<std::size_t> InstanceCount(const EXPANSIONS& expansions) {
    std::size_t n = 1;
    for (const EXPANSION& x : expansions.list) {
        if (x.consumed) continue;
        const std::size_t c = x.count();
        if (c == 0) return 0;
        if (n > MaxInstances / c) return std::nullopt;
        n *= c;
    }
    return n;
}

RULE RuleInstance(const RULE& rule, const EXPANSIONS& expansions, std::size_t i) {
    const CHOICE choose(expansions, i);
    std::vector<ATOM> head;
    if (const auto h = rule.head())
        for (const ATOM& a : h->atoms) head.push_back(choose.atom(a));
    std::vector<LITERAL> positive, negated;
    const auto body = rule.body();
    if (body)
        for (std::size_t k = 0; k < body->literals.size(); ++k) {
            LITERAL l = body->literals[k];
            static_cast<ATOM&>(l) = choose.atom(l);
            (k < body->firstNegated ? positive : negated).push_back(std::move(l));
        }
    return RULE(head, positive, negated, body.has_value(), 1);
}

BODY BodyInstance(const BODY& body, const EXPANSIONS& expansions, std::size_t i) {
    const CHOICE choose(expansions, i);
    BODY copy(body);
    for (LITERAL& l : copy.literals) static_cast<ATOM&>(l) = choose.atom(l);
    return copy;
}
