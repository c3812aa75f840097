// What the grammar's actions and the scanner build on: the values of the
// grammar's symbols (token texts, terms, atoms, bodies under construction),
// builtin atoms and the per-statement parser state. Only input/ (and tests
// that drive the scanner themselves) include this; the public face is
// parser.hpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "input/directives.hpp"
#include "input/expansion.hpp"
#include "representation/compound.hpp"
#include "representation/rule.hpp"

struct PARSER;  // input/parser.hpp

// IDENT's two fields as a plain record, because members of the parser's
// value union must be trivial.
struct PLAIN_TERM {
    int kind;
    int value;
};

inline PLAIN_TERM plainTerm(IDENT term) { return {term.kind(), term.value()}; }
inline IDENT identOf(PLAIN_TERM term) { return IDENT(term.kind, term.value); }

// How a term was written, as far as the builtins of the old language care:
// one token of it (a name, "_", a number, "-" and a number), or the sum or
// product of two such tokens (X = Y + Z is the builtin +(Y,Z,X)).
enum TERM_SHAPE { OTHER_SHAPE, TOKEN_SHAPE, NUMBER_SHAPE, SUM_SHAPE, PRODUCT_SHAPE };

// A term on the parse stack: its value, its shape with the two operands of
// a sum or product, and whether a ground operation in it is undefined
// (a+1, 1/0), which drops the statement that uses it, as clingo drops it.
struct TERM_VALUE {
    PLAIN_TERM term;
    int shape;
    PLAIN_TERM left, right;
    bool undefined;
};

inline TERM_VALUE termValue(IDENT term, TERM_SHAPE shape = TOKEN_SHAPE) {
    return {plainTerm(term), shape, {}, {}, false};
}

// The term a statement uses; an undefined one drops the statement, with a
// note saying so.
IDENT undefinedTerm(PARSER& parser, const TERM_VALUE& term);
inline IDENT identOf(PARSER& parser, const TERM_VALUE& term) {
    return term.undefined ? undefinedTerm(parser, term) : identOf(term.term);
}

// The terms of the arithmetic and of function symbols.
TERM_VALUE operationTerm(TERM_OP op, const TERM_VALUE& left, const TERM_VALUE& right);
TERM_VALUE unaryTerm(TERM_OP op, const TERM_VALUE& operand);
// "(" term ")": the term, of no shape.
TERM_VALUE groupedTerm(const TERM_VALUE& inner);
// name(arguments); a name that is no constant, and an interval or pool among
// the arguments, are counted errors.
TERM_VALUE functionTerm(PARSER& parser, const std::string& name,
                        const std::vector<IDENT>& arguments);

// T = U: the builtin + or * of the old language when T is a token and U
// the sum or product of two, an assignment otherwise.
ATOM equalityAtom(PARSER& parser, const TERM_VALUE& left, const TERM_VALUE& right);

// "=(T, U)": the assignment T = U in the prefix form it is printed in.
ATOM prefixAssignment(PARSER& parser, const std::vector<IDENT>& sides);

// The builtins #int, #succ, + and * take tokens only: a compound term
// among args is a counted error.
void checkPlainArguments(PARSER& parser, const std::vector<IDENT>& args, const char* builtin);

// "not not": refused for the pexa form, which has no such literal; true
// when refused (the input is then given up, as after a syntax error).
bool refuseDoubleNegation(PARSER& parser);

// The functions an aggregate may apply, in clingo's words.
// CONDITIONAL: a conditional literal "l : l1, ..., lm", kept as an
// aggregate of one element whose condition is l, l1, ..., lm.
enum class AGGREGATE_FUNCTION { COUNT, SUM, SUM_PLUS, MIN, MAX, CONDITIONAL };

// A guard of an aggregate: a comparison (a BUILTIN from EQUAL to
// GREATER_OR_EQUAL) with a term, the aggregate on the other side.
struct AGGREGATE_GUARD {
    int comparison = 0;
    IDENT term;
};

// An element "t1, ..., tn : l1, ..., lm" of an aggregate.
struct AGGREGATE_ELEMENT {
    std::vector<IDENT> terms;
    std::vector<LITERAL> condition;
};

// An aggregate being read: it becomes a literal (see AggregateMark) once
// its rule is complete, since which of its variables are local depends on
// the rest of the rule.
struct AGGREGATE_PARTS {
    AGGREGATE_FUNCTION function = AGGREGATE_FUNCTION::COUNT;
    std::vector<AGGREGATE_ELEMENT> elements;
    std::optional<AGGREGATE_GUARD> left, right;
    bool negated = false;
    void clear() { *this = AGGREGATE_PARTS(); }
};

// A body being read. Positive and default-negated literals are collected
// apart and joined once, so that a body of n literals costs O(n) instead of
// the O(n^2) of inserting each positive literal in front of the negated
// ones. Its aggregates wait in aggregates until the rule is complete
// (settleAggregates).
struct BODY_PARTS {
    std::vector<LITERAL> positive;
    std::vector<LITERAL> negative;
    std::vector<AGGREGATE_PARTS> aggregates;

    void add(LITERAL&& literal) {
        (literal.negated ? negative : positive).push_back(std::move(literal));
    }
    // Adds the literals and aggregates of other after its own.
    void join(BODY_PARTS&& other) {
        for (auto* to : {&positive, &negative}) {
            auto& from = to == &positive ? other.positive : other.negative;
            to->insert(to->end(), std::make_move_iterator(from.begin()),
                       std::make_move_iterator(from.end()));
        }
        aggregates.insert(aggregates.end(), std::make_move_iterator(other.aggregates.begin()),
                          std::make_move_iterator(other.aggregates.end()));
    }
    // Positives first, each group in textual order; empties the parts.
    BODY conjunction() { return BODY(std::move(positive), std::move(negative)); }
    // The rule of head and this body, with room for the literal that the
    // rewriting adds to each rule (see TRULE).
    RULE rule(const ATOM& head) const { return RULE({&head, 1}, positive, negative, true, 1); }
    void clear() {
        positive.clear();
        negative.clear();
        aggregates.clear();
    }
};

// An element "h : l1, ..., lm" of a choice.
struct CHOICE_ELEMENT {
    ATOM head;
    BODY_PARTS condition;
};

// A choice head being read: its elements and bounds.
struct CHOICE_PARTS {
    std::vector<CHOICE_ELEMENT> elements;
    std::optional<IDENT> lower, upper;
    void clear() { *this = CHOICE_PARTS(); }
};

// A rule without body, with room for the literal that the rewriting adds.
inline RULE factOf(const ATOM& head) { return RULE({&head, 1}, {}, {}, false, 1); }

// Values of one kind for the grammar's symbols. The parser's value stack
// holds only trivial types, so a symbol's value is the number of a slot
// here: the action that makes a value puts it into a slot, the action that
// consumes it takes it out (or reads it and frees the slot), and the
// grammar's %destructors free the slots of the values that a syntax error
// leaves on the stack. Freed slots are reused and keep the room their
// lists had, so that after the first statements a statement's values cost
// no allocation.
template <class T>
struct TVALUES {
    std::vector<T> slots;
    std::vector<unsigned> unused;

    // A slot holding an empty value.
    unsigned fresh() {
        if (unused.empty()) {
            slots.emplace_back();
            return static_cast<unsigned>(slots.size() - 1);
        }
        const unsigned slot = unused.back();
        unused.pop_back();
        return slot;
    }
    unsigned put(T&& value) {
        const unsigned slot = fresh();
        slots[slot] = std::move(value);
        return slot;
    }
    T& operator[](unsigned slot) { return slots[slot]; }
    T take(unsigned slot) {
        T value = std::move(slots[slot]);
        free(slot);
        return value;
    }
    void free(unsigned slot) {
        emptied(slots[slot]);
        unused.push_back(slot);
    }

private:
    // Lists keep their room; anything else is replaced by an empty value.
    template <class V>
    static void emptied(V& value) {
        if constexpr (requires { value.clear(); }) value.clear();
        else value = V();
    }
};

// The values of the symbols on the parse stack, by kind.
struct PARSE_VALUES {
    TVALUES<std::string> texts;  // IDENTIFIER, NUMBER, name
    TVALUES<std::vector<IDENT>> terms;
    TVALUES<ATOM> atoms;  // atoms and builtins, a rule's head
    TVALUES<LITERAL> literals;
    TVALUES<BODY_PARTS> bodies;
    TVALUES<RULE> rules;
    TVALUES<std::vector<std::vector<IDENT>>> pools;  // a pool's argument tuples
    TVALUES<AGGREGATE_PARTS> aggregates;
    TVALUES<CHOICE_PARTS> choices;
    // The intervals and pools of the statement being read.
    EXPANSIONS expansions;
    // Whether the statement being read holds an aggregate.
    bool holdsAggregates = false;
};

// A token's text as a value.
inline unsigned textValue(PARSE_VALUES& values, const char* text, std::size_t length) {
    const unsigned slot = values.texts.fresh();
    values.texts[slot].assign(text, length);
    return slot;
}

// The text of a name token, cut to 31 characters if longer (a counted
// error).
void truncateName(PARSER& parser, std::string& text);

// A number token of at most 9 digits as an integer term, negated after a
// "-" (so that "-p(-3)" is the strong negation of p(-3)).
IDENT integerTerm(std::string_view digits, bool negative);

// The marker of the interval low..high in the statement being read; a
// bound that is no integer is a counted error, which drops the statement.
IDENT intervalMarker(PARSER& parser, IDENT low, IDENT high);

// The markers of a pool of argument tuples; tuples of different lengths
// are a counted error, which drops the statement.
std::vector<IDENT> poolMarkers(PARSER& parser, const std::vector<std::vector<IDENT>>& tuples);

// "_": a variable of its own, numbered after the statement's variables.
IDENT anonymousVariable(PARSER& parser);

// The names of the statement's variables by number ("" for "_").
std::vector<std::string> statementVariableNames(const PARSER& parser);

// A builtin atom. Without registered builtins (program types other than
// rox) the builtin's number would name a user predicate, so that is a
// counted error and the statement is dropped.
ATOM builtinAtom(PARSER& parser, BUILTIN builtin, const std::vector<IDENT>& args);

// pexa programs write strong negation as the prefix "NEG_", so there an
// input predicate with that prefix would be read back as a negated one: a
// counted error.
void checkPredicateName(PARSER& parser, std::string_view name);

// Starts fetching the places where a name the scanner has just read will be
// looked up (as a constant or as a predicate), so that the memory access
// overlaps with the parser's work until then.
inline void prefetchName(std::string_view name) {
    const std::uint32_t h = NAMES::hash(name);
    IDENT::Constants.prefetch(h);
    ATOM::Predicates.prefetch(h);
}

// Reports a construct that update programs do not have, at the line and
// column of the token read last, and counts it; the parse error that
// follows is then not reported, since this names the fault.
void refuseConstruct(PARSER& parser, const std::string& message);

// A disjunctive head, at its separator.
inline void refuseDisjunction(PARSER& parser) {
    refuseConstruct(
        parser,
        "disjunction is not part of update programs; a choice rule `1 { a; b } 1.` or an even "
        "loop says the same here");
}

// A conditional literal "p(X) : q(X)", at its colon: in a head, where it is
// a disjunction, or in the body of a choice rule.
inline void refuseConditionalLiteral(PARSER& parser, bool inHead) {
    refuseConstruct(
        parser,
        inHead ? "a conditional literal in a head (p(X) : q(X) :- ...) is a disjunction, which is "
                 "not part of update programs; a choice rule `{ p(X) : q(X) }.` says what may hold"
               : "a conditional literal (p(X) : q(X)) cannot stand in the body of a choice rule; "
                 "give the body to a new atom in a rule of its own");
}

// Whether a refusal was reported since the last call; clears it.
bool takeRefusalReported(PARSER& parser);

// The message that refuses a directive (#minimize, #program, ... or an
// unknown one) named by word, "#" included.
std::string directiveRefusal(std::string_view word);

// Reports a scanner error through yyerror and counts it.
void lexicalError(PARSER& parser, const std::string& message);

// How a byte that begins no token is shown in "syntax error (...)":
// printable ASCII as itself, NUL as \0, any other byte as \xHH, so that
// control characters never reach the terminal raw.
std::string printableByte(unsigned char byte);

// Clears the state of a statement: its variables and whether it is to be
// dropped. Called at the start of every input, so that a statement left
// unfinished by a syntax error does not leak into the next input.
void beginInput(PARSER& parser);

// "#const name=value.": defines the constant (input/directives.hpp) and
// ends the statement.
void newConstant(PARSER& parser, INPUT_DIRECTIVES& directives, const std::string& name,
                 const TERM_VALUE& value);

// "#show [-]name/arity.": the predicate joins those the results show.
void newShow(PARSER& parser, INPUT_DIRECTIVES& directives, const char* negation,
             const std::string& name, const std::string& arity);

// Notes the current line as the start of the statement being read, unless
// an earlier name of it was noted already.
void noteStatementStart(PARSER& parser);

// The aggregates of body become literals of it; outside: the variables
// that the rest of the rule (its head) holds. A refused aggregate drops
// the statement.
void settleAggregates(PARSER& parser, BODY_PARTS& body, const std::vector<IDENT>& outside);

// "L { h1 : c1; ... } U :- body.": each element instance is stored as a
// choice rule of the current program, the bounds as constraints over the
// element atoms; body may be null (no body).
void newChoice(PARSER& parser, CHOICE_PARTS& choice, BODY_PARTS* body);

// The variables among the arguments of atom, appended to out.
void appendVariables(std::vector<IDENT>& out, const ATOM& atom);

// A construct of the statement being read that cannot be stored: reported
// at the current line, counted, and the statement is dropped.
void refuseInStatement(PARSER& parser, const std::string& message);

// What newChoice stores through: a rule of the current program (checked
// for safety, with --explain its origin recorded under the variable names
// given, by number), an input constraint, whether the statement is to be
// dropped, and the end of the statement.
void storeParsedRule(PARSER& parser, RULE rule, const std::vector<std::string>& variableNames);
void storeParsedConstraint(PARSER& parser, BODY body);
bool statementDropped(const PARSER& parser);
void finishStatement(PARSER& parser);

// A rule that holds aggregates, stored once per instance with its
// variables renumbered (see input/choice.cpp).
void newRuleWithAggregates(PARSER& parser, const RULE& rule);

// The condition of an aggregate element, its positive literals first; an
// aggregate inside it (clingo has none there either) drops the statement.
std::vector<LITERAL> aggregateCondition(PARSER& parser, BODY_PARTS& condition);

// The conditional literal "literal : condition" as an aggregate to settle
// with its rule (AGGREGATE_FUNCTION::CONDITIONAL).
AGGREGATE_PARTS conditionalParts(PARSER& parser, LITERAL&& literal, BODY_PARTS& condition);
