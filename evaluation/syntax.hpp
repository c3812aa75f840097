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
struct Name {
    enum class Kind { Identifier, Quoted };
    Kind kind = Kind::Identifier;
    std::string text;

    bool operator==(const Name&) const = default;
};

struct Term {
    enum class Kind { Variable, Constant, Integer, String };
    Kind kind = Kind::Constant;
    std::string text;        // the name, or a string's content without quotes
    std::int64_t value = 0;  // for integers

    bool operator==(const Term&) const = default;
};

struct Atom {
    bool strongly_negated = false;  // written with a leading "-"
    Name predicate;
    std::vector<Term> args;

    bool operator==(const Atom&) const = default;
};

enum class Builtin {
    Equal,      // ==(A,B)
    Unequal,    // !=(A,B)
    Less,       // <(A,B)
    Greater,    // >(A,B)
    LessEq,     // <=(A,B)
    GreaterEq,  // >=(A,B)
    Int,        // #int(A): A in 0..maxint
    Succ,       // #succ(A,B): B = A+1
    Plus,       // +(A,B,C): C = A+B
    Times,      // *(A,B,C): C = A*B
};

// Number of arguments a builtin takes.
int builtin_arity(Builtin b);
// The builtin's name as written in a file, e.g. "#succ" or "<=".
const char* builtin_name(Builtin b);
// True for the builtins that need the largest integer (-N=).
bool builtin_is_arithmetic(Builtin b);

struct Literal {
    bool negated = false;  // default negation ("not" or "~")
    bool is_builtin = false;
    Atom atom;  // when !is_builtin
    Builtin builtin = Builtin::Equal;
    std::vector<Term> args;  // when is_builtin

    bool operator==(const Literal&) const = default;
};

struct Rule {
    int line = 0;            // line where the rule starts
    std::vector<Atom> head;  // disjunction; empty for a constraint
    std::vector<Literal> body;
};

struct Program {
    std::vector<Rule> rules;
};

}  // namespace vok::evaluation
