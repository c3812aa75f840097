#include "input/origins.hpp"

#include <algorithm>

#include "input/parser.hpp"
#include "representation/compound.hpp"
#include "representation/ident.hpp"

namespace {

// The number of the current input in inputs, added when it is new.
unsigned currentInput(std::vector<std::string>& inputs, const char* file) {
    const std::string name = file && *file ? file : "<stdin>";
    if (inputs.empty() || inputs.back() != name) inputs.push_back(name);
    return static_cast<unsigned>(inputs.size() - 1);
}

// An aggregate's text with its global variables named.
void appendNamedAggregate(std::string& out, const ATOM& atom,
                          const std::vector<std::string>& names) {
    const std::string_view text = atom.nameView();
    for (std::size_t i = 2; i < text.size(); ++i) {
        if (text[i] != ArgumentMark || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const auto place = static_cast<unsigned char>(text[++i]) - 1u;
        if (place < atom.args.size()) AppendNamedTerm(out, atom.args[place], names);
    }
}

void appendNamedAtom(std::string& out, const ATOM& atom, const std::vector<std::string>& names) {
    if (atom.isAggregate()) return appendNamedAggregate(out, atom, names);
    // The user's own name: "-p" stays "-p" whatever the output form.
    out += atom.name();
    if (atom.args.empty()) return;
    out += '(';
    for (const IDENT& t : atom.args) {
        if (&t != atom.args.begin()) out += ", ";
        AppendNamedTerm(out, t, names);
    }
    out += ')';
}

}  // namespace

std::string NamedRuleText(const RULE& rule, const std::vector<std::string>& names) {
    std::string text;
    const auto head = rule.head();
    if (rule.isChoice()) text += "{ ";
    if (head) {
        for (const ATOM& a : head->atoms) {
            if (&a != head->atoms.data()) text += " v ";
            appendNamedAtom(text, a, names);
        }
    }
    if (rule.isChoice()) text += " }";
    const auto body = rule.body();
    if (body && !body->empty()) {
        text += " :- ";
        const bool conditional = std::any_of(body->literals.begin(), body->literals.end(),
                                             [](const LITERAL& l) { return l.isConditional(); });
        for (const LITERAL& l : body->literals) {
            if (&l != body->literals.data()) text += conditional ? "; " : ", ";
            if (l.doubled) text += "not ";
            if (l.negated) text += "not ";
            appendNamedAtom(text, l, names);
        }
    }
    text += '.';
    return text;
}

void RecordRuleOrigin(RULE_ORIGINS& origins, const char* file, unsigned i, unsigned j,
                      unsigned line, const RULE& rule, const std::vector<std::string>& names) {
    if (origins.rules.size() <= i) origins.rules.resize(i + 1);
    std::vector<RULE_ORIGIN>& program = origins.rules[i];
    if (program.size() <= j) program.resize(j + 1);
    RULE_ORIGIN& origin = program[j];
    origin.input = currentInput(origins.inputs, file);
    origin.line = line;
    origin.variables = names;
    origin.text = NamedRuleText(rule, origin.variables);
    const auto head = rule.head();
    if (head && !head->empty()) origin.head = head->atoms.front();
}

const RULE_ORIGIN* RuleOrigin(const RULE_ORIGINS& origins, unsigned i, unsigned j) {
    if (i >= origins.rules.size() || j >= origins.rules[i].size()) return nullptr;
    return &origins.rules[i][j];
}
