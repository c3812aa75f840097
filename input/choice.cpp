// Aggregates and choice rules: what the grammar reads of them becomes
// literals and rules of the update program.
//
// An aggregate is written in the rox form as clingo reads it, so it is
// kept as a literal of a builtin predicate named by that text (see
// AggregateMark). A choice "L { h : c; ... } U :- B." is one choice rule
// "{ h } :- B, c." per element instance, each a rule of its program that a
// newer program rejects as it rejects any rule, and, for the bounds, the
// constraints ":- B, #count{ h : h, c; ... } < L." and "... > U." of the
// same program over the element atoms as they finally hold: constraints
// are never rejected, so a bound that the rejections break leaves no
// answer set, as a constraint would.
#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "input/actions.hpp"
#include "input/parser.hpp"
#include "representation/compound.hpp"

namespace {

const char* functionText(AGGREGATE_FUNCTION f) {
    switch (f) {
        case AGGREGATE_FUNCTION::COUNT: return "#count";
        case AGGREGATE_FUNCTION::SUM: return "#sum";
        case AGGREGATE_FUNCTION::SUM_PLUS: return "#sum+";
        case AGGREGATE_FUNCTION::MIN: return "#min";
        default: return "#max";
    }
}

// A comparison as clingo writes it.
const char* comparisonText(int comparison) {
    switch (comparison) {
        case EQUAL: return "=";
        case NOT_EQUAL: return "!=";
        case LESS: return "<";
        case GREATER: return ">";
        case LESS_OR_EQUAL: return "<=";
        default: return ">=";
    }
}

bool isMember(const std::vector<IDENT>& list, IDENT t) {
    return std::find(list.begin(), list.end(), t) != list.end();
}

// The text of one aggregate under construction: its global variables
// become places of args, the others are written as L<number>, a name the
// program's own variables (X<number>) never take.
struct AGGREGATE_TEXT {
    const EXPANSIONS& expansions;  // of the statement
    const std::vector<IDENT>& globals;
    std::string text;
    std::vector<IDENT> args;
    std::string refusal;  // why it cannot be written, when not empty

    void term(IDENT t) {
        if (expansions.markerOf(t)) {
            refusal =
                "intervals and pools inside an aggregate or a choice condition are not "
                "supported; write the values out";
            return;
        }
        if (t.isVariable()) {
            text += variableText(t);
        } else if (t.kind() == IDENT::COMPOUND) {
            compound(t);
        } else {
            AppendTerm(text, t);
        }
    }
    // A function term or arithmetic: its variables written as term writes
    // a variable.
    void compound(IDENT t) {
        std::vector<int> variables;
        AppendVariables(t, variables);
        std::vector<std::string> names;
        for (int v : variables) {
            const auto n = static_cast<std::size_t>(v);
            if (names.size() <= n) names.resize(n + 1);
            if (names[n].empty()) names[n] = variableText(IDENT(IDENT::VARIABLE, v));
        }
        AppendNamedTerm(text, t, names);
    }
    // A global variable as its place in args, another as L<number>.
    std::string variableText(IDENT t) {
        if (!isMember(globals, t)) return 'L' + std::to_string(t.value());
        auto at = std::find(args.begin(), args.end(), t);
        if (at == args.end()) {
            if (args.size() == MaxAggregateArguments) {
                refusal = "an aggregate with more than 250 global variables";
                return "_";
            }
            at = args.insert(args.end(), t);
        }
        return {ArgumentMark, static_cast<char>(1 + (at - args.begin()))};
    }
    void terms(const std::vector<IDENT>& list) {
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (i) text += ',';
            term(list[i]);
        }
    }
    void literal(const LITERAL& l) {
        if (l.isComparison()) {
            term(l.args[0]);
            text += comparisonText(static_cast<int>(l.predicate));
            term(l.args[1]);
            return;
        }
        if (l.predicate < BUILTIN_COUNT && NumBuiltins == BUILTIN_COUNT) {
            refusal =
                "only comparisons among the builtins may stand inside an aggregate or a "
                "choice condition";
            return;
        }
        const std::string_view name = ATOM::Predicates.text(l.predicate);
        if (name.find('"') != std::string_view::npos) {
            refusal = "a quoted predicate name cannot stand inside an aggregate";
            return;
        }
        // clingo reads a name that begins with an upper-case letter as a
        // variable; outside aggregates the evaluation programs rename such a
        // predicate, inside one its text goes to clingo as it stands.
        const std::size_t sign = name.starts_with('-') ? 1 : 0;
        if (name.size() > sign &&
            (std::isupper(static_cast<unsigned char>(name[sign])) || name[sign] == '_')) {
            refusal =
                "a predicate name that begins with an upper-case letter or \"_\" cannot stand "
                "inside an aggregate or a condition";
            return;
        }
        if (l.doubled) text += "not ";
        if (l.negated) text += "not ";
        text += name;
        if (l.args.empty()) return;
        text += '(';
        terms(std::vector<IDENT>(l.args.begin(), l.args.end()));
        text += ')';
    }
    void guard(const AGGREGATE_GUARD& g, bool left) {
        if (!left) text += ' ';
        if (left) term(g.term);
        text += left ? " " : "";
        text += comparisonText(g.comparison);
        text += ' ';
        if (!left) term(g.term);
    }
};

// The variables of a conditional literal (literals: the literal, then its
// condition) that are not among globals nor bound by the positive atoms of
// the condition, nor by an assignment "X = t" of bound ones: as clingo, a
// conditional literal's local variables must be bound by its condition,
// except those that only a positive atom before the colon holds, which
// binds them itself ("s(X,Z) : r(X)" holds when some s(X,Z) does).
std::vector<IDENT> unboundLocals(const std::vector<LITERAL>& literals,
                                 const std::vector<IDENT>& globals) {
    std::vector<IDENT> bound = globals, all;
    for (const LITERAL& l : literals) {
        appendVariables(all, l);
        if (&l != literals.data() && !l.negated && !l.isComparison() &&
            !(l.predicate < BUILTIN_COUNT && NumBuiltins))
            appendVariables(bound, l);
    }
    for (bool more = true; more;) {
        more = false;
        for (const LITERAL& l : literals) {
            if (!l.isComparison() || l.predicate != EQUAL || l.negated) continue;
            for (int side : {0, 1}) {
                const IDENT v = l.args[side], other = l.args[1 - side];
                std::vector<int> needed;
                if (!v.isVariable() || isMember(bound, v)) continue;
                AppendVariables(other, needed);
                if (std::all_of(needed.begin(), needed.end(), [&](int n) {
                        return isMember(bound, IDENT(IDENT::VARIABLE, n));
                    })) {
                    bound.push_back(v);
                    more = true;
                }
            }
        }
    }
    std::vector<IDENT> inCondition;
    for (std::size_t k = 1; k < literals.size(); ++k) appendVariables(inCondition, literals[k]);
    const LITERAL& head = literals.front();
    const bool headBinds =
        !head.negated && !head.isComparison() && !(head.predicate < BUILTIN_COUNT && NumBuiltins);
    std::vector<IDENT> unbound;
    for (IDENT v : all)
        if (!isMember(bound, v) && !(headBinds && !isMember(inCondition, v))) unbound.push_back(v);
    return unbound;
}

// The clingo text of a conditional literal "l : l1, ..., lm".
void conditionalText(AGGREGATE_TEXT& t, const AGGREGATE_PARTS& a) {
    const std::vector<LITERAL>& literals = a.elements.front().condition;
    for (std::size_t k = 0; k < literals.size(); ++k) {
        t.text += k == 0 ? "" : k == 1 ? " : " : ", ";
        t.literal(literals[k]);
    }
}

// The variable a guard "X = #agg{...}" (or "#agg{...} = X") assigns, if any.
std::optional<IDENT> assignedVariable(const AGGREGATE_PARTS& a) {
    for (const auto& g : {a.left, a.right})
        if (g && g->comparison == EQUAL && g->term.isVariable()) return g->term;
    return std::nullopt;
}

// The literal of an aggregate whose global variables are among globals, or
// the reason it cannot be written.
std::pair<LITERAL, std::string> aggregateLiteral(const EXPANSIONS& expansions,
                                                 const AGGREGATE_PARTS& a,
                                                 const std::vector<IDENT>& globals) {
    AGGREGATE_TEXT t{expansions, globals, {}, {}, {}};
    if (a.function == AGGREGATE_FUNCTION::CONDITIONAL) {
        conditionalText(t, a);
        if (!t.refusal.empty()) return {LITERAL(), t.refusal};
        std::string name{AggregateMark, ConditionalMark};
        name += t.text;
        ATOM atom(name, ARGUMENTS(t.args), PREDICATE_NAMES::BUILTIN_PREDICATE);
        return {LITERAL(std::move(atom), false), {}};
    }
    const std::optional<IDENT> assigned = assignedVariable(a);
    if (assigned) t.args.push_back(*assigned);
    if (a.left) t.guard(*a.left, true);
    t.text += functionText(a.function);
    t.text += "{ ";
    for (std::size_t i = 0; i < a.elements.size(); ++i) {
        if (i) t.text += "; ";
        t.terms(a.elements[i].terms);
        if (a.elements[i].condition.empty()) continue;
        t.text += " : ";
        for (std::size_t k = 0; k < a.elements[i].condition.size(); ++k) {
            if (k) t.text += ", ";
            t.literal(a.elements[i].condition[k]);
        }
    }
    t.text += " }";
    if (a.right) t.guard(*a.right, false);
    if (!t.refusal.empty()) return {LITERAL(), t.refusal};
    std::string name{AggregateMark, assigned ? AssignsMark : NoAssignMark};
    name += t.text;
    ATOM atom(name, ARGUMENTS(t.args), PREDICATE_NAMES::BUILTIN_PREDICATE);
    return {LITERAL(std::move(atom), a.negated), {}};
}

void appendLiteralVariables(std::vector<IDENT>& out, const std::vector<LITERAL>& literals) {
    for (const LITERAL& l : literals) appendVariables(out, l);
}

// The rule's variables renumbered from 0 in the order they occur, so that
// the rewriting, which names a rule's variables X0 up to its highest, meets
// no number that the rule does not hold (a choice element or an aggregate
// leaves out variables of its statement). names: the statement's variable
// names, renumbered alike.
RULE withDenseVariables(const RULE& rule, std::vector<std::string>& names) {
    const auto h = rule.head();
    const auto body = rule.body();
    // The new number of each old one, in the order the variables occur,
    // those inside function terms and arithmetic included.
    std::map<int, int> number;
    std::vector<std::string> renamed;
    std::vector<IDENT> values;  // by old number: the variable it becomes
    auto noteVariables = [&](const ATOM& a) {
        std::vector<int> variables;
        for (const IDENT& t : a.args) AppendVariables(t, variables);
        for (int v : variables) {
            const auto [at, fresh] = number.emplace(v, static_cast<int>(number.size()));
            if (!fresh) continue;
            const auto old = static_cast<std::size_t>(v);
            renamed.push_back(old < names.size() ? names[old] : std::string());
            if (values.size() <= old) values.resize(old + 1);
            values[old] = IDENT(IDENT::VARIABLE, at->second);
        }
    };
    if (h)
        for (const ATOM& a : h->atoms) noteVariables(a);
    if (body)
        for (const LITERAL& l : body->literals) noteVariables(l);
    auto renumber = [&](const ATOM& a) {
        ATOM copy(a);
        for (IDENT& t : copy.args) {
            if (t.isVariable()) t = values[static_cast<std::size_t>(t.value())];
            // Renaming variables makes no operation undefined.
            else if (t.kind() == IDENT::COMPOUND) t = Substituted(t, values).value_or(t);
        }
        return copy;
    };
    std::vector<ATOM> head;
    if (h)
        for (const ATOM& a : h->atoms) head.push_back(renumber(a));
    std::vector<LITERAL> positive, negated;
    if (body)
        for (std::size_t k = 0; k < body->literals.size(); ++k) {
            const LITERAL& old = body->literals[k];
            LITERAL l(renumber(old), k >= body->firstNegated);
            l.doubled = old.doubled;
            (k < body->firstNegated ? positive : negated).push_back(std::move(l));
        }
    names = std::move(renamed);
    const RULE dense(head, positive, negated, body.has_value(), 1);
    return rule.isChoice() ? dense.asChoice() : dense;
}

// "Variables X and Y are unsafe in a conditional literal: ...", by the
// names the statement gives them.
std::string unsafeLocalsMessage(const PARSER& parser, const std::vector<IDENT>& unbound) {
    const std::vector<std::string> names = statementVariableNames(parser);
    std::string text = unbound.size() == 1 ? "variable " : "variables ";
    for (std::size_t i = 0; i < unbound.size(); ++i) {
        const auto n = static_cast<std::size_t>(unbound[i].value());
        text += (i == 0                    ? ""
                 : i + 1 == unbound.size() ? " and "
                                           : ", ") +
                (n < names.size() && !names[n].empty() ? names[n] : std::string("_"));
    }
    return text + (unbound.size() == 1 ? " is" : " are") +
           " unsafe in a conditional literal: its condition binds no such variable, and no "
           "other literal of the rule holds it";
}

// Which expansions of the statement the atoms use.
std::vector<bool> expansionsUsed(const EXPANSIONS& e, const std::vector<const ATOM*>& atoms) {
    std::vector<bool> used(e.list.size(), false);
    for (const ATOM* a : atoms)
        for (const IDENT& t : a->args)
            if (const EXPANSION* x = e.markerOf(t))
                used[static_cast<std::size_t>(x - e.list.data())] = true;
    return used;
}

// The instance numbers (see RuleInstance) that vary only the expansions
// used, each other expansion at its first alternative: one per instance
// of an element, whatever the other elements hold.
std::vector<std::size_t> instancesVarying(const EXPANSIONS& e, const std::vector<bool>& used,
                                          std::size_t count) {
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t rest = i;
        bool first = true;
        for (std::size_t k = e.list.size(); k-- > 0;) {
            if (e.list[k].consumed) continue;
            const std::size_t n = e.list[k].count();
            if (!used[k] && rest % n != 0) first = false;
            rest /= n;
        }
        if (first) out.push_back(i);
    }
    return out;
}

// The element as a rule "h :- c." whose instances give the element's.
RULE elementRule(const CHOICE_ELEMENT& e) {
    return RULE({&e.head, 1}, e.condition.positive, e.condition.negative, true, 1);
}

// The body B + c of an element instance's choice rule.
RULE choiceRule(const RULE& element, const BODY_PARTS* body) {
    const auto c = element.body();
    std::vector<LITERAL> positive, negated;
    if (body) {
        positive = body->positive;
        negated = body->negative;
    }
    for (std::size_t k = 0; k < c->literals.size(); ++k)
        (k < c->firstNegated ? positive : negated).push_back(c->literals[k]);
    const bool hasBody = body || !c->literals.empty();
    return RULE(element.head()->atoms, positive, negated, hasBody, 1).asChoice();
}

// The count of the chosen element atoms: one tuple per distinct atom (its
// predicate's number and its arguments), as clingo counts a choice's atoms.
AGGREGATE_PARTS boundCount(const std::vector<RULE>& elements) {
    AGGREGATE_PARTS count;
    for (const RULE& e : elements) {
        const ATOM& h = e.head()->atoms.front();
        AGGREGATE_ELEMENT element;
        element.terms.emplace_back(IDENT::INTEGER, static_cast<int>(h.predicate));
        element.terms.insert(element.terms.end(), h.args.begin(), h.args.end());
        element.condition.emplace_back(h, false);
        const auto condition = e.body();
        for (const LITERAL& l : condition->literals) element.condition.push_back(l);
        count.elements.push_back(std::move(element));
    }
    return count;
}

bool hasMarker(const EXPANSIONS& e, const std::vector<LITERAL>& literals) {
    for (const LITERAL& l : literals)
        for (const IDENT& t : l.args)
            if (e.markerOf(t)) return true;
    return false;
}

// The constraint ":- B, count op bound." of a choice's bound.
void storeBound(PARSER& parser, const BODY_PARTS* body, AGGREGATE_PARTS count, int op,
                IDENT bound) {
    count.right = AGGREGATE_GUARD{op, bound};
    BODY_PARTS constraint;
    if (body) {
        constraint.positive = body->positive;
        constraint.negative = body->negative;
    }
    constraint.aggregates.push_back(std::move(count));
    std::vector<IDENT> globals;
    if (bound.isVariable()) globals.push_back(bound);
    settleAggregates(parser, constraint, globals);
    if (!statementDropped(parser)) storeParsedConstraint(parser, constraint.conjunction());
}

}  // namespace

void appendVariables(std::vector<IDENT>& out, const ATOM& atom) {
    for (const IDENT& t : atom.args)
        if (t.isVariable() && !isMember(out, t)) out.push_back(t);
}

void settleAggregates(PARSER& parser, BODY_PARTS& body, const std::vector<IDENT>& outside) {
    if (body.aggregates.empty()) return;
    const bool conditional = std::any_of(
        body.aggregates.begin(), body.aggregates.end(),
        [](const AGGREGATE_PARTS& a) { return a.function == AGGREGATE_FUNCTION::CONDITIONAL; });
    if (parser.settings.programType == PROGRAM_TYPE::PEXA && conditional)
        return refuseInStatement(parser,
                                 "conditional literals are not part of pexa programs, whose "
                                 "rules are ground; write the instances out, or use the rox "
                                 "program type");
    if (parser.settings.programType == PROGRAM_TYPE::PEXA)
        return refuseInStatement(
            parser,
            "aggregates and the bounds of a choice are not part of pexa programs, which have no "
            "#count; use the rox program type");
    std::vector<IDENT> globals = outside;
    appendLiteralVariables(globals, body.positive);
    appendLiteralVariables(globals, body.negative);
    for (const AGGREGATE_PARTS& a : body.aggregates)
        for (const auto& g : {a.left, a.right})
            if (g && g->term.isVariable() && !isMember(globals, g->term))
                globals.push_back(g->term);
    parser.values.holdsAggregates = true;
    std::vector<AGGREGATE_PARTS> aggregates = std::move(body.aggregates);
    body.aggregates.clear();
    for (const AGGREGATE_PARTS& a : aggregates) {
        if (a.function == AGGREGATE_FUNCTION::CONDITIONAL)
            if (const std::vector<IDENT> unbound =
                    unboundLocals(a.elements.front().condition, globals);
                !unbound.empty())
                return refuseInStatement(parser, unsafeLocalsMessage(parser, unbound));
        auto [literal, refusal] = aggregateLiteral(parser.values.expansions, a, globals);
        if (!refusal.empty()) return refuseInStatement(parser, refusal);
        body.add(std::move(literal));
    }
}

std::vector<LITERAL> aggregateCondition(PARSER& parser, BODY_PARTS& condition) {
    if (!condition.aggregates.empty())
        refuseInStatement(parser, "an aggregate cannot stand inside another aggregate");
    std::vector<LITERAL> literals = std::move(condition.positive);
    for (LITERAL& l : condition.negative) literals.push_back(std::move(l));
    return literals;
}

AGGREGATE_PARTS conditionalParts(PARSER& parser, LITERAL&& literal, BODY_PARTS& condition) {
    AGGREGATE_PARTS parts;
    parts.function = AGGREGATE_FUNCTION::CONDITIONAL;
    AGGREGATE_ELEMENT element;
    element.condition.push_back(std::move(literal));
    for (LITERAL& l : aggregateCondition(parser, condition))
        element.condition.push_back(std::move(l));
    parts.elements.push_back(std::move(element));
    return parts;
}

void newRuleWithAggregates(PARSER& parser, const RULE& rule) {
    const std::vector<std::string> names = statementVariableNames(parser);
    const EXPANSIONS& expansions = parser.values.expansions;
    std::vector<RULE> instances;
    if (expansions.empty()) {
        instances.push_back(rule);
    } else if (const std::optional<std::size_t> n = InstanceCount(expansions)) {
        for (std::size_t i = 0; i < *n; ++i) instances.push_back(RuleInstance(rule, expansions, i));
    } else {
        refuseInStatement(parser,
                          "the intervals and pools of this rule stand for too many instances");
    }
    for (const RULE& r : instances) {
        std::vector<std::string> renamed = names;
        RULE dense = withDenseVariables(r, renamed);
        storeParsedRule(parser, std::move(dense), renamed);
    }
    finishStatement(parser);
}

void newChoice(PARSER& parser, CHOICE_PARTS& choice, BODY_PARTS* body) {
    const EXPANSIONS& expansions = parser.values.expansions;
    std::vector<IDENT> outside;
    for (const CHOICE_ELEMENT& e : choice.elements) {
        appendVariables(outside, e.head);
        appendLiteralVariables(outside, e.condition.positive);
        appendLiteralVariables(outside, e.condition.negative);
        if (!e.condition.aggregates.empty())
            refuseInStatement(parser,
                              "an aggregate cannot stand in the condition of a choice element");
    }
    if (body) settleAggregates(parser, *body, outside);
    if (body && (hasMarker(expansions, body->positive) || hasMarker(expansions, body->negative)))
        refuseInStatement(parser,
                          "intervals and pools in the body of a choice rule are not supported; "
                          "write them in the elements, or write a rule per value");
    std::vector<RULE> instances;  // of the elements, "h :- c."
    if (!statementDropped(parser)) {
        const std::optional<std::size_t> count = InstanceCount(expansions);
        if (!count)
            refuseInStatement(parser,
                              "the intervals and pools of this choice stand for too many "
                              "instances");
        for (const CHOICE_ELEMENT& e : count ? choice.elements : std::vector<CHOICE_ELEMENT>()) {
            const RULE element = elementRule(e);
            if (expansions.empty()) {
                instances.push_back(element);
                continue;
            }
            std::vector<const ATOM*> atoms{&e.head};
            for (const LITERAL& l : e.condition.positive) atoms.push_back(&l);
            for (const LITERAL& l : e.condition.negative) atoms.push_back(&l);
            for (std::size_t i :
                 instancesVarying(expansions, expansionsUsed(expansions, atoms), *count))
                instances.push_back(RuleInstance(element, expansions, i));
        }
    }
    if (!statementDropped(parser)) {
        const std::vector<std::string> names = statementVariableNames(parser);
        for (const RULE& element : instances) {
            std::vector<std::string> renamed = names;
            RULE rule = withDenseVariables(choiceRule(element, body), renamed);
            storeParsedRule(parser, std::move(rule), renamed);
        }
        const AGGREGATE_PARTS count = boundCount(instances);
        if (choice.lower) storeBound(parser, body, count, LESS, *choice.lower);
        // A lower bound refused already said why the statement is dropped.
        if (choice.upper && !statementDropped(parser))
            storeBound(parser, body, count, GREATER, *choice.upper);
    }
    finishStatement(parser);
}
