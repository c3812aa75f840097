// The parser's state and diagnostics, and the actions that store what the
// grammar has read: update programs, rules, constraints.
#include "input/actions.hpp"

#include <iostream>
#include <optional>
#include <utility>

#include "base/exits.hpp"
#include "base/options.hpp"
#include "common/contract.hpp"
#include "input/origins.hpp"
#include "input/parser.hpp"

unsigned parser_line = 1;
int parser_errors = 0;
const char* parser_file = "";
int CurrentUID = 0;
unsigned parser_column = 1;
unsigned parser_next_column = 1;
PARSE_VALUES ParseValues;

namespace {

// Set when the statement being read holds something that must not be
// stored (a builtin without registered builtins); it is then dropped.
bool parser_drop_statement = false;

// The line of the statement's first name (its head, for a rule), once that
// name is read.
std::optional<unsigned> parser_statement_line;

constexpr std::size_t MaxNameLength = 31;

void countedError(const char* message) {
    yyerror(message);
    ++parser_errors;
}

void endStatement() {
    LocalVariables.reset();
    ParseValues.expansions.clear();
    ParseValues.holdsAggregates = false;
    parser_drop_statement = false;
    parser_statement_line.reset();
}

}  // namespace

namespace {

std::vector<DIAGNOSTIC>*& diagnosticNotes() {
    static std::vector<DIAGNOSTIC>* notes = nullptr;
    return notes;
}

// The diagnostic for the notes: place is "line N" or "line N, column C".
void noteDiagnostic(const std::string& place, const char* message) {
    std::string rest;
    const std::size_t comma = place.find(", ");
    if (comma != std::string::npos) rest = place.substr(comma + 2) + ": ";
    diagnosticNotes()->push_back(
        DIAGNOSTIC{parser_file ? parser_file : "", parser_line, rest + message + "."});
}

// "FILE: line N[, column C]: MESSAGE." (with -v the program's name and
// the place in parentheses), built whole and written at once, so that the
// line is never split.
void writeDiagnostic(const std::string& place, const char* message) {
    if (diagnosticNotes()) noteDiagnostic(place, message);
    std::string line;
    if (OptionVerbosity) {
        line += WhoAmI ? WhoAmI : "";
        line += " (";
    }
    if (parser_file && *parser_file) {
        line += parser_file;
        line += ": ";
    }
    line += place;
    if (OptionVerbosity) line += ')';
    line += ": ";
    line += message;
    line += ".\n";
    std::cerr << line << std::flush;
}

}  // namespace

void NoteDiagnostics(std::vector<DIAGNOSTIC>* notes) { diagnosticNotes() = notes; }

void yyerror(const char* message) {
    writeDiagnostic("line " + std::to_string(parser_line), message);
}

void lexicalError(const std::string& message) { countedError(message.c_str()); }

namespace {
bool parser_refusal_reported = false;
}

void refuseConstruct(const std::string& message) {
    writeDiagnostic(
        "line " + std::to_string(parser_line) + ", column " + std::to_string(parser_column),
        message.c_str());
    ++parser_errors;
    parser_refusal_reported = true;
}

bool takeRefusalReported() { return std::exchange(parser_refusal_reported, false); }

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

void truncateName(std::string& text) {
    if (text.size() <= MaxNameLength) return;
    text.resize(MaxNameLength);
    countedError("identifier too long, truncated to 31 characters");
}

IDENT integerTerm(std::string_view digits, bool negative) {
    // The scanner lets at most 9 digits through, so this fits an int.
    int value = 0;
    for (char d : digits) value = value * 10 + (d - '0');
    return IDENT(IDENT::INTEGER, negative ? -value : value);
}

IDENT intervalMarker(IDENT low, IDENT high) {
    if (std::optional<IDENT> marker = ParseValues.expansions.interval(low, high)) return *marker;
    parser_drop_statement = true;
    return low;
}

std::vector<IDENT> poolMarkers(const std::vector<std::vector<IDENT>>& tuples) {
    if (std::optional<std::vector<IDENT>> markers = ParseValues.expansions.pool(tuples))
        return std::move(*markers);
    parser_drop_statement = true;
    return tuples.front();
}

IDENT undefinedTerm(const TERM_VALUE& term) {
    const IDENT t = identOf(term.term);
    if (!parser_drop_statement) {
        // clingo leaves out a rule or constraint with an undefined term,
        // and says so (an "info", not an error).
        std::string text;
        append_term(text, t);
        yyerror(("info: operation undefined: " + text +
                 "; the statement is left out, as clingo leaves it out")
                    .c_str());
        parser_drop_statement = true;
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

TERM_VALUE functionTerm(const std::string& name, const std::vector<IDENT>& arguments) {
    if (name.empty() || name[0] < 'a' || name[0] > 'z') {
        countedError(
            ("a function term needs a name beginning with a lower-case letter, not " + name)
                .c_str());
        parser_drop_statement = true;
    }
    for (IDENT t : arguments)
        if (ParseValues.expansions.markerOf(t)) {
            countedError(
                "an interval or a pool stands among an atom's arguments, not inside a "
                "function term: write the instances out");
            parser_drop_statement = true;
            break;
        }
    const IDENT functor(IDENT::CONSTANT, checkedNumber(IDENT::Constants.insert(name).first));
    return termValue(Compounds.make(TERM_OP::FUNCTION, functor, arguments), OTHER_SHAPE);
}

ATOM equalityAtom(const TERM_VALUE& left, const TERM_VALUE& right) {
    const bool token = left.shape == TOKEN_SHAPE || left.shape == NUMBER_SHAPE;
    if (token && (right.shape == SUM_SHAPE || right.shape == PRODUCT_SHAPE))
        return builtinAtom(right.shape == SUM_SHAPE ? PLUS : TIMES,
                           {identOf(right.left), identOf(right.right), identOf(left.term)});
    const IDENT l = identOf(left), r = identOf(right);
    if (NumBuiltins != BUILTIN_COUNT) {
        countedError("Builtin predicates are only available for rox programs");
        parser_drop_statement = true;
    }
    return newAssignment(l, r);
}

ATOM prefixAssignment(const std::vector<IDENT>& sides) {
    if (NumBuiltins != BUILTIN_COUNT) {
        countedError("Builtin predicates are only available for rox programs");
        parser_drop_statement = true;
    }
    return newAssignment(sides.at(0), sides.at(1));
}

void checkPlainArguments(const std::vector<IDENT>& args, const char* builtin) {
    for (IDENT t : args)
        if (t.kind() == IDENT::COMPOUND) {
            countedError((std::string(builtin) +
                          " takes names, numbers and variables; for arithmetic over other "
                          "terms write an assignment such as X = Y*2+1")
                             .c_str());
            parser_drop_statement = true;
            return;
        }
}

bool refuseDoubleNegation() {
    if (OptionProgram != PROGRAM_TYPE::PEXA) return false;
    refuseConstruct(
        "double negation (not not) has no form in pexa programs, whose literals are atoms and "
        "their default negations; use the rox form (-P=rox)");
    return true;
}

IDENT anonymousVariable() {
    return IDENT(IDENT::VARIABLE, static_cast<int>(LocalVariables.count++));
}

ATOM builtinAtom(BUILTIN builtin, const std::vector<IDENT>& args) {
    if (NumBuiltins != BUILTIN_COUNT) {
        countedError("Builtin predicates are only available for rox programs");
        parser_drop_statement = true;
    }
    return newBuiltin(builtin, ARGUMENTS(args));
}

void checkPredicateName(std::string_view name) {
    if (OptionProgram == PROGRAM_TYPE::PEXA && name.starts_with(PexaNegationPrefix))
        countedError(
            "predicate names beginning with NEG_ are reserved for strong negation in pexa "
            "programs");
}

void beginInput() {
    endStatement();
    parser_next_column = 1;
    parser_refusal_reported = false;
}

void noteStatementStart() {
    if (!parser_statement_line) parser_statement_line = parser_line;
}

void newConstant(INPUT_DIRECTIVES& directives, const std::string& name, const TERM_VALUE& value) {
    const IDENT term = identOf(value.term);
    if (value.undefined) {
        std::string text;
        append_term(text, term);
        countedError(
            ("#const " + name + " needs a value, and the operation " + text + " is undefined")
                .c_str());
    } else {
        DefineConstant(directives, name, term);
    }
    endStatement();
}

void newShow(INPUT_DIRECTIVES& directives, const char* negation, const std::string& name,
             const std::string& arity) {
    directives.showSeen = true;
    directives.shown.emplace_back(negation + name, integerTerm(arity, false).value());
    endStatement();
}

int newUpdateID() {
    unsigned vok = IDENT::Constants.insert("vok").first;
    UpdateIDs.emplace_back(IDENT(IDENT::CONSTANT, static_cast<int>(vok)));
    CurrentUID = static_cast<int>(UpdateIDs.size()) - 1;
    return CurrentUID;
}

namespace {

// The line after "Rule is not safe." or "Constraint is not safe.": which
// variables, by the names the statement gives them, no positive body
// literal binds.
void nameUnsafeVariables(const std::vector<int>& unsafe) {
    // An aggregate's guard can make a rule unsafe without a variable of
    // the rule's own being unbound: then there is no name to give.
    if (unsafe.empty()) return;
    std::vector<std::string> names(unsafe.size(), "_");
    for (const auto& [name, number] : LocalVariables.names)
        for (std::size_t i = 0; i < unsafe.size(); ++i)
            if (static_cast<int>(number) == unsafe[i]) names[i] = name;
    std::string text = names.size() == 1 ? "variable " : "variables ";
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    text += names.size() == 1 ? " is unsafe: no positive body literal binds it"
                              : " are unsafe: no positive body literal binds them";
    yyerror(text.c_str());
}

void storeRule(RULE rule, const std::vector<std::string>* variableNames) {
    if (!rule.isSafe()) {
        countedError("Rule is not safe");
        nameUnsafeVariables(rule.unsafeVariables());
    } else if (rule.head() && rule.head()->size() >= 2) {
        countedError("Can't handle disjunctive rules in update programs");
    } else {
        if (CurrentUID < 0 || static_cast<std::size_t>(CurrentUID) >= UpdateIDs.size() ||
            !UpdateIDs[static_cast<std::size_t>(CurrentUID)].rules)
            throw INTERNAL_ERROR{"Rule read outside an update program"};
        RULES& rules = *UpdateIDs[static_cast<std::size_t>(CurrentUID)].rules;
        if (OptionExplain)
            RecordRuleOrigin(static_cast<unsigned>(CurrentUID), static_cast<unsigned>(rules.size()),
                             parser_statement_line.value_or(parser_line), rule, variableNames);
        rules.push_back(std::move(rule));
    }
}

void storeConstraint(BODY body) {
    if (!body.isSafe()) {
        countedError("Constraint is not safe");
        nameUnsafeVariables(body.unsafeVariables());
    } else {
        Constraints.emplace_back(std::move(body));
    }
}

// The number of instances of a statement with intervals or pools; too
// many are a counted error.
std::optional<std::size_t> instanceCount() {
    std::optional<std::size_t> n = InstanceCount(ParseValues.expansions);
    if (!n)
        countedError(("the intervals and pools of this statement stand for more than " +
                      std::to_string(MaxInstances) + " instances")
                         .c_str());
    return n;
}

// A statement read: stored whole, or once per instance of its intervals
// and pools; nothing when it was refused where it was read (a builtin or
// an interval).
template <typename STATEMENT, typename STORE, typename INSTANCE>
void storeStatement(STATEMENT statement, STORE store, INSTANCE instance) {
    if (parser_drop_statement) {
    } else if (ParseValues.expansions.empty()) {
        store(std::move(statement));
    } else if (std::optional<std::size_t> n = instanceCount()) {
        for (std::size_t i = 0; i < *n; ++i) store(instance(statement, ParseValues.expansions, i));
    }
    endStatement();
}

}  // namespace

void newRule(RULE rule) {
    if (ParseValues.holdsAggregates && !parser_drop_statement) return newRuleWithAggregates(rule);
    storeStatement(
        std::move(rule), [](RULE r) { storeRule(std::move(r), nullptr); }, RuleInstance);
}

void storeParsedRule(RULE rule, const std::vector<std::string>& variableNames) {
    storeRule(std::move(rule), &variableNames);
}

void storeParsedConstraint(BODY body) { storeConstraint(std::move(body)); }

bool statementDropped() { return parser_drop_statement; }

void finishStatement() { endStatement(); }

void refuseInStatement(const std::string& message) {
    countedError(message.c_str());
    parser_drop_statement = true;
}

void newConstraint(BODY body) { storeStatement(std::move(body), storeConstraint, BodyInstance); }
