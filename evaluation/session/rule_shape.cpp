// Reading a rule's shape: what the maintained part evaluates (maintained.hpp).
#include "evaluation/session/maintained.hpp"

#include <algorithm>

#include "evaluation/session/literals.hpp"

namespace vok::evaluation::engine {

std::optional<SHAPE_ARG> valueArg(const TERM& t) {
    SHAPE_ARG a;
    switch (t.kind) {
        case TERM::KIND::INTEGER:
            a.kind = VALUE_KIND::INTEGER;
            a.number = t.value;
            break;
        case TERM::KIND::CONSTANT: a.kind = VALUE_KIND::CONSTANT; break;
        case TERM::KIND::STRING: a.kind = VALUE_KIND::STRING; break;
        default: return std::nullopt;
    }
    appendTerm(a.text, t);
    return a;
}

namespace {

struct SHAPE_READER {
    std::vector<std::string_view> names;
    std::vector<char> bound;

    std::optional<SHAPE_ARG> arg(const TERM& t, bool binds) {
        if (t.kind != TERM::KIND::VARIABLE) return valueArg(t);
        if (t.text.starts_with('_')) return std::nullopt;  // anonymous
        auto at = std::find(names.begin(), names.end(), t.text);
        if (at == names.end()) {
            if (!binds) return std::nullopt;  // unsafe where it is read
            names.push_back(t.text);
            bound.push_back(1);
            at = std::prev(names.end());
        }
        SHAPE_ARG a;
        a.variable = static_cast<std::uint32_t>(at - names.begin());
        return a;
    }

    std::optional<SHAPE_ATOM> atom(const ATOM& atom, bool pexa, bool binds) {
        SHAPE_ATOM s;
        s.sign = formOf(atom, pexa).sign;
        for (const TERM& t : atom.args) {
            std::optional<SHAPE_ARG> a = arg(t, binds);
            if (!a) return std::nullopt;
            s.args.push_back(std::move(*a));
        }
        return s;
    }
};

bool isComparison(BUILTIN b) {
    return b == BUILTIN::EQUAL || b == BUILTIN::UNEQUAL || b == BUILTIN::LESS ||
           b == BUILTIN::GREATER || b == BUILTIN::LESS_EQUAL || b == BUILTIN::GREATER_EQUAL;
}

}  // namespace

std::optional<RULE_SHAPE> ruleShape(const RULE& rule, bool pexa) {
    if (rule.choice || rule.head.size() != 1) return std::nullopt;
    SHAPE_READER reader;
    RULE_SHAPE shape;
    // The positive atoms bind the variables; everything else reads them.
    for (const LITERAL& l : rule.body) {
        if (l.isAggregate || l.doubled) return std::nullopt;
        if (l.isBuiltin || l.negated) continue;
        std::optional<SHAPE_ATOM> a = reader.atom(l.atom, pexa, true);
        if (!a) return std::nullopt;
        shape.positive.push_back(std::move(*a));
    }
    for (const LITERAL& l : rule.body) {
        if (l.isBuiltin) {
            if (!isComparison(l.builtin) || l.atom.args.size() != 2) return std::nullopt;
            std::optional<SHAPE_ARG> left = reader.arg(l.atom.args[0], false),
                                     right = reader.arg(l.atom.args[1], false);
            if (!left || !right) return std::nullopt;
            shape.comparisons.push_back({l.builtin, std::move(*left), std::move(*right)});
        } else if (l.negated) {
            std::optional<SHAPE_ATOM> a = reader.atom(l.atom, pexa, false);
            if (!a) return std::nullopt;
            shape.negative.push_back(std::move(*a));
        }
    }
    std::optional<SHAPE_ATOM> head = reader.atom(rule.head[0], pexa, false);
    if (!head) return std::nullopt;
    shape.head = std::move(*head);
    shape.variables = static_cast<std::uint32_t>(reader.names.size());
    return shape;
}

}  // namespace vok::evaluation::engine
