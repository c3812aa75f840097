// The text forms of a session's atoms and the reading of a step's programs
// (literals.hpp).
#include "evaluation/session/literals.hpp"

#include <algorithm>
#include <utility>

#include "evaluation/clingo/names.hpp"
#include "evaluation/clingo/translate.hpp"
#include "evaluation/program/reader.hpp"
#include "evaluation/session/primed_names.hpp"
#include "evaluation/solve/answer_sets.hpp"

namespace vok::evaluation::engine {

ATOM_FORM formOf(const ATOM& atom, bool pexa) {
    ATOM_FORM f;
    bool negative = atom.stronglyNegated;
    NAME name = atom.predicate;
    if (pexa && IsPexaNegation(name.text)) {
        negative = !negative;
        name.text.remove_prefix(PexaNegationPrefix.size());
        const bool quoted = name.text.find('"') != std::string_view::npos;
        name.kind = quoted ? NAME::KIND::QUOTED : NAME::KIND::IDENTIFIER;
    }
    f.sign.name = encodePredicate(name);
    f.sign.arity = static_cast<std::uint32_t>(atom.args.size());
    f.sign.negative = negative;
    f.sign.key = signKey(negative, f.sign.name, f.sign.arity);
    if (negative) f.text += '-';
    f.text += f.sign.name;
    if (!atom.args.empty()) {
        f.text += '(';
        for (std::size_t i = 0; i < atom.args.size(); ++i) {
            if (i) f.text += ',';
            appendTerm(f.text, atom.args[i]);
        }
        f.text += ')';
    }
    return f;
}

std::string complementText(std::string_view literal) {
    return literal.starts_with('-') ? std::string(literal.substr(1)) : "-" + std::string(literal);
}

std::string pattern(const SESSION_SIGNATURE& sig, bool complement) {
    std::string p = (sig.negative != complement) ? "-" : "";
    p += sig.name;
    if (sig.arity == 0) return p;
    p += '(';
    for (std::uint32_t i = 0; i < sig.arity; ++i) p += (i ? ",X" : "X") + number(i);
    return p + ')';
}

std::string showOf(const SESSION_SIGNATURE& sig) {
    return "#show " + std::string(sig.negative ? "-" : "") + sig.name + "/" + number(sig.arity) +
           ".\n";
}

namespace {

// The tuple of a rule's variables: X0, X1, ... in the order of their numbers
// when all are named so (as vok writes them), otherwise in order of
// appearance.
std::string variablesOf(const RULE& rule) {
    std::vector<std::string_view> names;
    auto note = [&](TERMS args) {
        for (const TERM& t : args)
            forEachVariable(t, [&](std::string_view v) {
                if (std::find(names.begin(), names.end(), v) == names.end()) names.push_back(v);
            });
    };
    for (const ATOM& h : rule.head) note(h.args);
    for (const LITERAL& l : rule.body) note(l.atom.args);
    auto numbered = [](std::string_view v, unsigned long& n) {
        if (v.size() < 2 || v[0] != 'X') return false;
        n = 0;
        for (char c : v.substr(1)) {
            if (c < '0' || c > '9') return false;
            n = n * 10 + static_cast<unsigned long>(c - '0');
        }
        return true;
    };
    unsigned long n = 0;
    if (std::all_of(names.begin(), names.end(), [&](std::string_view v) { return numbered(v, n); }))
        std::sort(names.begin(), names.end(), [&](std::string_view a, std::string_view b) {
            unsigned long x = 0, y = 0;
            numbered(a, x);
            numbered(b, y);
            return x < y;
        });
    std::string t = "(";
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i) t += ',';
        t += names[i];
    }
    if (names.size() == 1) t += ',';
    return t + ')';
}

}  // namespace

std::string fileNotation(std::string_view clingo) {
    if (clingo.find_first_of("'\"") == std::string_view::npos) return std::string(clingo);
    std::string set = formatAnswerSet(clingo);
    return set.substr(1, set.size() - 2);
}

std::string termNotation(std::string_view clingo) {
    if (!clingo.starts_with('"')) return std::string(clingo);
    std::string out = "\"";
    for (std::size_t i = 1; i + 1 < clingo.size(); ++i) {
        char c = clingo[i];
        if (c == '\\' && i + 2 < clingo.size()) {
            c = clingo[++i];
            if (c == 'n') c = '\n';
        }
        out += c;
    }
    return out + '"';
}

namespace {

[[noreturn]] void refuse(std::size_t program, std::size_t count, int line, const std::string& why,
                         const std::string& option = {}) {
    throw SESSION_REFUSED(
        REFUSAL{count > 1 ? program + 1 : 0, static_cast<unsigned>(line), why, option});
}

READ_RULE readRule(const RULE& rule, const SESSION_CONFIG& config, std::uint32_t number) {
    const bool pexa = config.form == FILE_FORM::PEXA;
    READ_RULE r;
    std::vector<std::string> parts = BodyParts(rule, config.maxint);
    r.number = number;
    if (rule.head.size() == 1) {
        ATOM_FORM h = formOf(rule.head[0], pexa);
        r.rule.complement = complementText(h.text);
        r.rule.head = std::move(h.text);
        r.rule.choice = rule.choice;
        r.head = h.sign;
    } else {
        r.rule.constraint = true;
    }
    // The parts are the atoms and aggregates in the order of the body, then
    // the builtins.
    std::size_t atoms = 0;
    for (const LITERAL& l : rule.body) {
        if (l.isBuiltin) continue;
        if (l.conditional) {
            r.rule.conditionals.push_back(std::move(parts[atoms++]));
            continue;
        }
        if (l.isAggregate) {
            // An aggregate is written as clingo reads it, over the literals
            // themselves: it rides with the builtins.
            r.rule.aggregates.push_back(std::move(parts[atoms++]));
            continue;
        }
        ATOM_FORM a = formOf(l.atom, pexa);
        ++atoms;
        if (l.negated) {
            (l.doubled ? r.rule.doubled : r.rule.negative).push_back(std::move(a.text));
            r.negative.push_back(a.sign);
        } else {
            r.rule.positive.push_back(std::move(a.text));
            r.positive.push_back(a.sign);
        }
    }
    r.rule.builtins.assign(parts.begin() + static_cast<std::ptrdiff_t>(atoms), parts.end());
    r.rule.variables = variablesOf(rule);
    if (!rejectionsWanted(config)) r.shape = ruleShape(rule, pexa);
    return r;
}

// Whether a choice's body is worth a rule of its own: more than one atom
// or a test, which the maintained part may decide once for clingo.
bool bodyWorthKeeping(const RULE& rule) {
    if (!rule.choice || rule.head.size() != 1 || rule.body.empty()) return false;
    const LITERAL& l = rule.body[0];
    return rule.body.size() > 1 || l.negated || l.isBuiltin || l.isAggregate || l.conditional;
}

// Rules of a program that the session adds are numbered from here, above
// any rule of a file, in the order they are read: a program's rules stay
// sorted by number, and clingo (32-bit integers) reads the number.
constexpr std::uint32_t AddedRuleNumbers = 1u << 30;

// A choice { h(X..) } :- B. read as the rule m'N(X..) :- B. (over the
// head's variables) and the choice { h(X..) } :- m'N(X..).  When the
// maintained part keeps the first, clingo holds the choice over the atoms
// that B makes true instead of everything B reads (a large base, often),
// and a step that changes B's atoms only hands clingo their new truth.
// The choice's instances per head are the same: a choice is made per
// program and head literal. Nothing when the body is not one the part may
// keep.
std::optional<std::pair<READ_RULE, READ_RULE>> readChoiceAsTwoRules(const RULE& rule,
                                                                    const SESSION_CONFIG& config,
                                                                    std::uint32_t number,
                                                                    std::uint32_t bodyNumber,
                                                                    std::uint32_t id) {
    std::vector<TERM> variables;
    for (const TERM& t : rule.head[0].args)
        forEachVariable(t, [&](std::string_view v) {
            if (std::none_of(variables.begin(), variables.end(),
                             [&](const TERM& x) { return x.text == v; }))
                variables.push_back(TERM{v, 0, TERM::KIND::VARIABLE});
        });
    const std::string name = std::string(primed(PRIMED::CHOICE_BODY)) + std::to_string(id);
    const ATOM holds{false, NAME(NAME::KIND::IDENTIFIER, name), TERMS(variables)};
    READ_RULE body = readRule(RULE{rule.line, false, {&holds, 1}, rule.body}, config, bodyNumber);
    if (!body.shape) return std::nullopt;
    body.hidden = true;
    const LITERAL reads{holds};
    return std::pair{std::move(body),
                     readRule(RULE{rule.line, true, rule.head, {&reads, 1}}, config, number)};
}

}  // namespace

bool isFact(const RULE& rule) { return rule.head.size() == 1 && rule.body.empty() && !rule.choice; }

READ_PROGRAM readProgram(const std::string& text, const SESSION_CONFIG& config, std::size_t program,
                         std::size_t count, std::uint32_t& choiceBodies) {
    try {
        READ_PROGRAM read{config.form == FILE_FORM::ROX ? ReadRox(text) : ReadPexa(text), {}};
        std::uint32_t number = 0;
        std::vector<READ_RULE> bodies;
        for (const RULE& rule : read.program.rules) {
            if (rule.head.size() > 1)
                throw TRANSLATE_ERROR(rule.line, "an update program's rule has one head literal");
            if (isFact(rule)) {
                if (!isPlainGround(rule.head[0].args))
                    throw TRANSLATE_ERROR(rule.line, "a fact holds no variable");
                ++number;
                continue;
            }
            if (!rejectionsWanted(config) && bodyWorthKeeping(rule)) {
                auto two = readChoiceAsTwoRules(
                    rule, config, number,
                    AddedRuleNumbers + static_cast<std::uint32_t>(bodies.size()), choiceBodies);
                if (two) {
                    ++choiceBodies;
                    bodies.push_back(std::move(two->first));
                    read.rules.push_back(std::move(two->second));
                    ++number;
                    continue;
                }
            }
            read.rules.push_back(readRule(rule, config, number));
            if (!read.rules.back().rule.constraint) ++number;
        }
        for (READ_RULE& r : bodies) read.rules.push_back(std::move(r));
        return read;
    } catch (const SYNTAX_ERROR& e) {
        refuse(program, count, e.line, e.what());
    } catch (const TRANSLATE_ERROR& e) {
        refuse(program, count, e.line, e.reason, e.option);
    }
}

}  // namespace vok::evaluation::engine
