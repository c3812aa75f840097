#include "driver/output/explain.hpp"

#include <algorithm>
#include <charconv>
#include <tuple>

#include "common/contract.hpp"
#include "representation/compound.hpp"
#include "rewriting/auxiliary.hpp"

namespace {

// The update predicate of literal name at program k. Asking the registry
// with the base name gives the clash-free name that the rewriting made, or
// an unused one when it made none (no atom of it can then hold).
std::string updateName(const std::string& name, unsigned k) {
    return UniquePredicateName(UpdateName(name, k));
}

// name, or name(a,b) as the filter writes atoms.
std::string atomText(const std::string& name, const std::vector<std::string>& arguments) {
    std::string text = name;
    if (arguments.empty()) return text;
    text += '(';
    for (std::size_t n = 0; n < arguments.size(); ++n) {
        if (n) text += ',';
        text += arguments[n];
    }
    text += ')';
    return text;
}

// A value as the answer set writes it, as a term: an integer, or any other
// text (a name, a string, a function term) kept as a constant that prints
// as written.
IDENT valueTerm(const std::string& text) {
    int n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (error == std::errc() && end == text.data() + text.size() && n >= -999999999 &&
        n <= 999999999)
        return IDENT(IDENT::INTEGER, n);
    return IDENT(IDENT::CONSTANT, checkedNumber(IDENT::Constants.insert(text).first));
}

// A compound argument of the head with the values of its variables, its
// arithmetic computed as clingo computed it.
std::string groundCompound(IDENT term, const std::vector<std::string>& values) {
    std::vector<IDENT> terms;
    terms.reserve(values.size());
    for (const std::string& v : values) terms.push_back(valueTerm(v));
    std::string text;
    AppendTerm(text, Substituted(term, terms).value_or(term));
    return text;
}

// The head's arguments with the rejection atom's values for its variables.
std::vector<std::string> groundHeadArguments(const ATOM& head,
                                             const std::vector<std::string>& values) {
    std::vector<std::string> arguments;
    for (const IDENT& t : head.args) {
        const auto v = static_cast<std::size_t>(t.value());
        if (t.isVariable()) {
            arguments.push_back(v < values.size() ? values[v] : std::string("_"));
        } else if (t.kind() == IDENT::COMPOUND) {
            arguments.push_back(groundCompound(t, values));
        } else {
            std::string text;
            AppendTerm(text, t);
            arguments.push_back(std::move(text));
        }
    }
    return arguments;
}

// The complementary literal of the instance's head and the most recent
// program whose update atom of it holds in the answer set.
void findRejector(EXPLANATION& e, const ANSWER_TRACE& trace, unsigned programs) {
    const ATOM& head = e.origin->head;
    const std::string complement = complementName(head.name());
    const std::vector<std::string> arguments = groundHeadArguments(head, e.arguments);
    e.by = atomText(complement, arguments);
    for (unsigned k = programs; k-- > e.program + 1;) {
        if (trace.auxiliary.count(atomText(updateName(complement, k), arguments))) {
            e.byProgram = k;
            return;
        }
    }
}

// The instance's origin, its input and the values of its named variables;
// false when no origin was recorded.
bool bindOrigin(EXPLANATION& e, const RULE_ORIGINS& origins) {
    e.origin = RuleOrigin(origins, e.program, e.rule);
    if (!e.origin) return false;
    e.input = origins.inputs[e.origin->input];
    const std::vector<std::string>& names = e.origin->variables;
    for (std::size_t v = 0; v < e.arguments.size() && v < names.size(); ++v)
        if (!names[v].empty()) e.bindings.emplace_back(names[v], e.arguments[v]);
    return true;
}

EXPLANATION explain(const ANSWER_TRACE::REJECTION& r, const ANSWER_TRACE& trace,
                    const SEQUENCE& sequence) {
    EXPLANATION e;
    e.program = r.program;
    e.rule = r.rule;
    e.arguments = r.arguments;
    if (bindOrigin(e, sequence.origins))
        findRejector(e, trace, static_cast<unsigned>(sequence.programs.size()));
    return e;
}

}  // namespace

EXPLANATION ExplainInstance(const RULE_ORIGINS& origins, unsigned program, unsigned rule,
                            std::vector<std::string> arguments, unsigned byProgram) {
    EXPLANATION e;
    e.program = program;
    e.rule = rule;
    e.arguments = std::move(arguments);
    e.byProgram = byProgram;
    if (!bindOrigin(e, origins)) return e;
    e.by = atomText(complementName(e.origin->head.name()),
                    groundHeadArguments(e.origin->head, e.arguments));
    return e;
}

void ANSWER_TRACE::note(const ANSWER_ATOM& atom) {
    if (const auto numbers = RejectionNumbersOf(atom.name())) {
        REJECTION r{numbers->program, numbers->rule, {}};
        for (std::size_t n = 0; n < atom.argCount(); ++n) r.arguments.emplace_back(atom.arg(n));
        rejections.push_back(std::move(r));
    }
    auxiliary.insert(atom.text);
}

std::vector<EXPLANATION> ExplainAnswerSet(const ANSWER_TRACE& trace, const SEQUENCE& sequence) {
    std::vector<EXPLANATION> all;
    all.reserve(trace.rejections.size());
    for (const ANSWER_TRACE::REJECTION& r : trace.rejections)
        all.push_back(explain(r, trace, sequence));
    std::sort(all.begin(), all.end(), [](const EXPLANATION& a, const EXPLANATION& b) {
        return std::tie(a.program, a.rule, a.arguments) < std::tie(b.program, b.rule, b.arguments);
    });
    return all;
}
