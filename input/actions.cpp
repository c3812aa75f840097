// The parser's state and diagnostics, and the actions that store what the
// grammar has read: update programs, rules, constraints.
#include "input/actions.hpp"

#include <iostream>
#include <optional>
#include <utility>

#include "base/exits.hpp"
#include "common/contract.hpp"
#include "input/origins.hpp"
#include "input/parser.hpp"

namespace {

constexpr std::size_t MaxNameLength = 31;

void countedError(PARSER& parser, const char* message) {
    yyerror(parser, message);
    ++parser.errors;
}

void endStatement(PARSER& parser) {
    parser.variables.reset();
    parser.values.expansions.clear();
    parser.values.holdsAggregates = false;
    parser.dropStatement = false;
    parser.statementLine.reset();
}

// The diagnostic for the notes: place is "line N" or "line N, column C".
void noteDiagnostic(PARSER& parser, const std::string& place, const char* message) {
    std::string rest;
    const std::size_t comma = place.find(", ");
    if (comma != std::string::npos) rest = place.substr(comma + 2) + ": ";
    parser.notes->push_back(
        DIAGNOSTIC{parser.file ? parser.file : "", parser.line, rest + message + "."});
}

// "FILE: line N[, column C]: MESSAGE." (with -v the program's name and
// the place in parentheses), built whole and written at once, so that the
// line is never split.
void writeDiagnostic(PARSER& parser, const std::string& place, const char* message) {
    if (parser.notes) noteDiagnostic(parser, place, message);
    std::string line;
    if (parser.settings.verbose) {
        line += parser.settings.invocation ? parser.settings.invocation : "";
        line += " (";
    }
    if (parser.file && *parser.file) {
        line += parser.file;
        line += ": ";
    }
    line += place;
    if (parser.settings.verbose) line += ')';
    line += ": ";
    line += message;
    line += ".\n";
    std::cerr << line << std::flush;
}

}  // namespace

void yyerror(PARSER& parser, const char* message) {
    writeDiagnostic(parser, "line " + std::to_string(parser.line), message);
}

void CountedError(PARSER& parser, const std::string& message) {
    countedError(parser, message.c_str());
}

void lexicalError(PARSER& parser, const std::string& message) {
    countedError(parser, message.c_str());
}

void refuseConstruct(PARSER& parser, const std::string& message) {
    writeDiagnostic(
        parser, "line " + std::to_string(parser.line) + ", column " + std::to_string(parser.column),
        message.c_str());
    ++parser.errors;
    parser.refusalReported = true;
}

bool takeRefusalReported(PARSER& parser) { return std::exchange(parser.refusalReported, false); }

std::string directiveRefusal(std::string_view word) {
    const std::string name(word);
    const std::string notPart = name + " is not part of update programs";
    if (word == "#minimize" || word == "#maximize" || word == "#minimise" || word == "#maximise")
        return notPart +
               ", which have answer sets, not optimal ones; -min and -strict select the "
               "minimal updates";
    if (word == "#program")
        return notPart + "; write the programs of a sequence as blocks: { ... } { ... }";
    if (word == "#external")
        return notPart + "; an atom needs no declaration to be derived by a later program";
    if (word == "#script")
        return notPart + "; compute the values beforehand and write them as facts";
    if (word == "#include")
        return "#include needs a quoted file name and a dot after it: #include \"b.lp\"";
    if (word == "#inf" || word == "#sup")
        return "#inf and #sup are not part of update programs yet; write an integer below or above "
               "every value compared";
    return "unknown directive " + name + "; update programs know #const and #show";
}

std::string printableByte(unsigned char byte) {
    if (byte >= 0x20 && byte < 0x7f) return std::string(1, static_cast<char>(byte));
    if (byte == 0) return "\\0";
    static const char digits[] = "0123456789abcdef";
    return std::string{'\\', 'x', digits[byte >> 4], digits[byte & 0xf]};
}

void truncateName(PARSER& parser, std::string& text) {
    if (text.size() <= MaxNameLength) return;
    text.resize(MaxNameLength);
    countedError(parser, "identifier too long, truncated to 31 characters");
}

IDENT integerTerm(std::string_view digits, bool negative) {
    // The scanner lets at most 9 digits through, so this fits an int.
    int value = 0;
    for (char d : digits) value = value * 10 + (d - '0');
    return IDENT(IDENT::INTEGER, negative ? -value : value);
}

IDENT intervalMarker(PARSER& parser, IDENT low, IDENT high) {
    if (std::optional<IDENT> marker = parser.values.expansions.interval(parser, low, high))
        return *marker;
    parser.dropStatement = true;
    return low;
}

std::vector<IDENT> poolMarkers(PARSER& parser, const std::vector<std::vector<IDENT>>& tuples) {
    if (std::optional<std::vector<IDENT>> markers = parser.values.expansions.pool(parser, tuples))
        return std::move(*markers);
    parser.dropStatement = true;
    return tuples.front();
}

IDENT undefinedTerm(PARSER& parser, const TERM_VALUE& term) {
    const IDENT t = identOf(term.term);
    if (!parser.dropStatement) {
        // clingo leaves out a rule or constraint with an undefined term,
        // and says so (an "info", not an error).
        std::string text;
        AppendTerm(text, t);
        yyerror(parser, ("info: operation undefined: " + text +
                         "; the statement is left out, as clingo leaves it out")
                            .c_str());
        parser.dropStatement = true;
    }
    return t;
}

TERM_VALUE operationTerm(TERM_OP op, const TERM_VALUE& left, const TERM_VALUE& right) {
    bool undefined = left.undefined || right.undefined;
    const IDENT operands[] = {identOf(left.term), identOf(right.term)};
    TERM_VALUE v = termValue(Operation(op, operands, undefined), OTHER_SHAPE);
    v.undefined = undefined;
    const bool tokens = left.shape == TOKEN_SHAPE || left.shape == NUMBER_SHAPE;
    if (tokens && (right.shape == TOKEN_SHAPE || right.shape == NUMBER_SHAPE) &&
        (op == TERM_OP::ADD || op == TERM_OP::MUL)) {
        v.shape = op == TERM_OP::ADD ? SUM_SHAPE : PRODUCT_SHAPE;
        v.left = left.term;
        v.right = right.term;
    }
    return v;
}

TERM_VALUE unaryTerm(TERM_OP op, const TERM_VALUE& operand) {
    bool undefined = operand.undefined;
    const IDENT t = identOf(operand.term);
    TERM_VALUE v = termValue(Operation(op, {&t, 1}, undefined), OTHER_SHAPE);
    v.undefined = undefined;
    // "-" and a number is one token of the old language.
    if (op == TERM_OP::MINUS && operand.shape == NUMBER_SHAPE) v.shape = TOKEN_SHAPE;
    return v;
}

TERM_VALUE groupedTerm(const TERM_VALUE& inner) {
    TERM_VALUE v = inner;
    v.shape = OTHER_SHAPE;
    return v;
}

TERM_VALUE functionTerm(PARSER& parser, const std::string& name,
                        const std::vector<IDENT>& arguments) {
    if (name.empty() || name[0] < 'a' || name[0] > 'z') {
        countedError(
            parser, ("a function term needs a name beginning with a lower-case letter, not " + name)
                        .c_str());
        parser.dropStatement = true;
    }
    for (IDENT t : arguments)
        if (parser.values.expansions.markerOf(t)) {
            countedError(parser,
                         "an interval or a pool stands among an atom's arguments, not inside a "
                         "function term: write the instances out");
            parser.dropStatement = true;
            break;
        }
    const IDENT functor(IDENT::CONSTANT, checkedNumber(IDENT::Constants.insert(name).first));
    return termValue(Compounds.make(TERM_OP::FUNCTION, functor, arguments), OTHER_SHAPE);
}

ATOM equalityAtom(PARSER& parser, const TERM_VALUE& left, const TERM_VALUE& right) {
    const bool token = left.shape == TOKEN_SHAPE || left.shape == NUMBER_SHAPE;
    if (token && (right.shape == SUM_SHAPE || right.shape == PRODUCT_SHAPE))
        return builtinAtom(parser, right.shape == SUM_SHAPE ? PLUS : TIMES,
                           {identOf(right.left), identOf(right.right), identOf(left.term)});
    const IDENT l = identOf(parser, left), r = identOf(parser, right);
    if (NumBuiltins != BUILTIN_COUNT) {
        countedError(parser, "Builtin predicates are only available for rox programs");
        parser.dropStatement = true;
    }
    return newAssignment(l, r);
}

ATOM prefixAssignment(PARSER& parser, const std::vector<IDENT>& sides) {
    if (NumBuiltins != BUILTIN_COUNT) {
        countedError(parser, "Builtin predicates are only available for rox programs");
        parser.dropStatement = true;
    }
    return newAssignment(sides.at(0), sides.at(1));
}

void checkPlainArguments(PARSER& parser, const std::vector<IDENT>& args, const char* builtin) {
    for (IDENT t : args)
        if (t.kind() == IDENT::COMPOUND) {
            countedError(parser, (std::string(builtin) +
                                  " takes names, numbers and variables; for arithmetic over other "
                                  "terms write an assignment such as X = Y*2+1")
                                     .c_str());
            parser.dropStatement = true;
            return;
        }
}

bool refuseDoubleNegation(PARSER& parser) {
    if (parser.settings.programType != PROGRAM_TYPE::PEXA) return false;
    refuseConstruct(
        parser,
        "double negation (not not) has no form in pexa programs, whose literals are atoms and "
        "their default negations; use the rox form (-P=rox)");
    return true;
}

IDENT anonymousVariable(PARSER& parser) {
    return IDENT(IDENT::VARIABLE, static_cast<int>(parser.variables.count++));
}

std::vector<std::string> statementVariableNames(const PARSER& parser) {
    std::vector<std::string> names(parser.variables.count);
    for (const auto& [name, n] : parser.variables.names)
        if (n < names.size()) names[n] = name;
    return names;
}

ATOM builtinAtom(PARSER& parser, BUILTIN builtin, const std::vector<IDENT>& args) {
    if (NumBuiltins != BUILTIN_COUNT) {
        countedError(parser, "Builtin predicates are only available for rox programs");
        parser.dropStatement = true;
    }
    return newBuiltin(builtin, ARGUMENTS(args));
}

void checkPredicateName(PARSER& parser, std::string_view name) {
    if (parser.settings.programType == PROGRAM_TYPE::PEXA && name.starts_with(PexaNegationPrefix))
        countedError(parser,
                     "predicate names beginning with NEG_ are reserved for strong negation in pexa "
                     "programs");
}

void beginInput(PARSER& parser) {
    endStatement(parser);
    parser.nextColumn = 1;
    parser.refusalReported = false;
}

void noteStatementStart(PARSER& parser) {
    if (!parser.statementLine) parser.statementLine = parser.line;
}

void newConstant(PARSER& parser, INPUT_DIRECTIVES& directives, const std::string& name,
                 const TERM_VALUE& value) {
    const IDENT term = identOf(value.term);
    if (value.undefined) {
        std::string text;
        AppendTerm(text, term);
        countedError(parser, ("#const " + name + " needs a value, and the operation " + text +
                              " is undefined")
                                 .c_str());
    } else {
        DefineConstant(parser, directives, name, term);
    }
    endStatement(parser);
}

void newShow(PARSER& parser, INPUT_DIRECTIVES& directives, const char* negation,
             const std::string& name, const std::string& arity) {
    directives.showSeen = true;
    directives.shown.emplace_back(negation + name, integerTerm(arity, false).value());
    endStatement(parser);
}

int newUpdateID(PARSER& parser) {
    unsigned vok = IDENT::Constants.insert("vok").first;
    std::vector<UPDATE_PROGRAM>& programs = parser.sequence.programs;
    programs.emplace_back(IDENT(IDENT::CONSTANT, static_cast<int>(vok)));
    parser.program = static_cast<int>(programs.size()) - 1;
    return parser.program;
}

namespace {

// The line after "Rule is not safe." or "Constraint is not safe.": which
// variables, by the names the statement gives them, no positive body
// literal binds.
void nameUnsafeVariables(PARSER& parser, const std::vector<int>& unsafe) {
    // An aggregate's guard can make a rule unsafe without a variable of
    // the rule's own being unbound: then there is no name to give.
    if (unsafe.empty()) return;
    std::vector<std::string> names(unsafe.size(), "_");
    for (const auto& [name, number] : parser.variables.names)
        for (std::size_t i = 0; i < unsafe.size(); ++i)
            if (static_cast<int>(number) == unsafe[i]) names[i] = name;
    std::string text = names.size() == 1 ? "variable " : "variables ";
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    text += names.size() == 1 ? " is unsafe: no positive body literal binds it"
                              : " are unsafe: no positive body literal binds them";
    yyerror(parser, text.c_str());
}

void storeRule(PARSER& parser, RULE rule, const std::vector<std::string>* variableNames) {
    std::vector<UPDATE_PROGRAM>& programs = parser.sequence.programs;
    if (!rule.isSafe()) {
        countedError(parser, "Rule is not safe");
        nameUnsafeVariables(parser, rule.unsafeVariables());
    } else if (rule.head() && rule.head()->size() >= 2) {
        countedError(parser, "Can't handle disjunctive rules in update programs");
    } else {
        if (parser.program < 0 || static_cast<std::size_t>(parser.program) >= programs.size() ||
            !programs[static_cast<std::size_t>(parser.program)].rules)
            throw INTERNAL_ERROR{"Rule read outside an update program"};
        RULES& rules = *programs[static_cast<std::size_t>(parser.program)].rules;
        if (parser.settings.explain)
            RecordRuleOrigin(
                parser.sequence.origins, parser.file, static_cast<unsigned>(parser.program),
                static_cast<unsigned>(rules.size()), parser.statementLine.value_or(parser.line),
                rule, variableNames ? *variableNames : statementVariableNames(parser));
        rules.push_back(std::move(rule));
    }
}

void storeConstraint(PARSER& parser, BODY body) {
    if (!body.isSafe()) {
        countedError(parser, "Constraint is not safe");
        nameUnsafeVariables(parser, body.unsafeVariables());
    } else {
        parser.sequence.constraints.emplace_back(std::move(body));
    }
}

// The number of instances of a statement with intervals or pools; too
// many are a counted error.
std::optional<std::size_t> instanceCount(PARSER& parser) {
    std::optional<std::size_t> n = InstanceCount(parser.values.expansions);
    if (!n)
        countedError(parser, ("the intervals and pools of this statement stand for more than " +
                              std::to_string(MaxInstances) + " instances")
                                 .c_str());
    return n;
}

// A statement read: stored whole, or once per instance of its intervals
// and pools; nothing when it was refused where it was read (a builtin or
// an interval).
template <typename STATEMENT, typename STORE, typename INSTANCE>
void storeStatement(PARSER& parser, STATEMENT statement, STORE store, INSTANCE instance) {
    if (parser.dropStatement) {
    } else if (parser.values.expansions.empty()) {
        store(std::move(statement));
    } else if (std::optional<std::size_t> n = instanceCount(parser)) {
        for (std::size_t i = 0; i < *n; ++i)
            store(instance(statement, parser.values.expansions, i));
    }
    endStatement(parser);
}

}  // namespace

void newRule(PARSER& parser, RULE rule) {
    if (parser.values.holdsAggregates && !parser.dropStatement)
        return newRuleWithAggregates(parser, rule);
    storeStatement(
        parser, std::move(rule), [&parser](RULE r) { storeRule(parser, std::move(r), nullptr); },
        RuleInstance);
}

void storeParsedRule(PARSER& parser, RULE rule, const std::vector<std::string>& variableNames) {
    storeRule(parser, std::move(rule), &variableNames);
}

void storeParsedConstraint(PARSER& parser, BODY body) { storeConstraint(parser, std::move(body)); }

bool statementDropped(const PARSER& parser) { return parser.dropStatement; }

void finishStatement(PARSER& parser) { endStatement(parser); }

void refuseInStatement(PARSER& parser, const std::string& message) {
    countedError(parser, message.c_str());
    parser.dropStatement = true;
}

void newConstraint(PARSER& parser, BODY body) {
    storeStatement(
        parser, std::move(body), [&parser](BODY b) { storeConstraint(parser, std::move(b)); },
        BodyInstance);
}
