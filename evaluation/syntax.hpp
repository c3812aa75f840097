// The program as read from a rox or pexa file, before it is put into
// clingo's language.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vok::evaluation {

// A predicate name: either an identifier (p, P, rej_P0_R0) or a name with
// quoted strings in it ("my pred", "my pred"_P1), kept as written, quotes
// and all.
struct NAME {
    enum class KIND { IDENTIFIER, QUOTED };
    KIND kind = KIND::IDENTIFIER;
    std::string text;

    bool operator==(const NAME&) const = default;
};

struct TERM {
    enum class KIND { VARIABLE, CONSTANT, INTEGER, STRING };
    KIND kind = KIND::CONSTANT;
    std::string text;        // the name, or a string's content without quotes
    std::int64_t value = 0;  // for integers

    bool operator==(const TERM&) const = default;
};

struct ATOM {
    bool stronglyNegated = false;  // written with a leading "-"
    NAME predicate;
    std::vector<TERM> args;

    bool operator==(const ATOM&) const = default;
};

enum class BUILTIN {
    EQUAL,          // ==(A,B)
    UNEQUAL,        // !=(A,B)
    LESS,           // <(A,B)
    GREATER,        // >(A,B)
    LESS_EQUAL,     // <=(A,B)
    GREATER_EQUAL,  // >=(A,B)
    INT,            // #int(A): A in 0..maxint
    SUCC,           // #succ(A,B): B = A+1
    PLUS,           // +(A,B,C): C = A+B
    TIMES,          // *(A,B,C): C = A*B
};

// Number of arguments a builtin takes.
int builtinArity(BUILTIN b);
// The builtin's name as written in a file, e.g. "#succ" or "<=".
const char* builtinName(BUILTIN b);
// True for the builtins that need the largest integer (-N=).
bool isArithmetic(BUILTIN b);

struct LITERAL {
    bool negated = false;  // default negation ("not" or "~")
    bool isBuiltin = false;
    ATOM atom;  // when !isBuiltin
    BUILTIN builtin = BUILTIN::EQUAL;
    std::vector<TERM> args;  // when isBuiltin

    bool operator==(const LITERAL&) const = default;
};

struct RULE {
    int line = 0;            // line where the rule starts
    std::vector<ATOM> head;  // disjunction; empty for a constraint
    std::vector<LITERAL> body;
};

// A comment that begins with "%vok:" (a declaration vok writes for the
// evaluation program, see one_run.hpp): its line and its text after "%vok:".
struct DECLARATION {
    int line = 0;
    std::string text;
};

struct PROGRAM {
    std::vector<RULE> rules;
    std::vector<DECLARATION> declarations;  // in the order of the file
};

}  // namespace vok::evaluation
