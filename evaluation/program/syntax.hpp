// The program as read from a rox or pexa file, before it is put into
// clingo's language.
//
// A large program is mostly ground rules of a few atoms each, so the
// records are small and flat: predicate names view texts kept once per
// program, terms view copies of theirs, and the atoms, literals and
// arguments of a rule are spans into blocks of the program's store.
// Nothing in the store moves or goes while the program lives; a PROGRAM is
// moved, never copied.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "common/chunks.hpp"
#include "common/contract.hpp"
#include "common/name_index.hpp"

namespace vok::evaluation {

// The two file forms: rox (rules as text) and pexa (propositional programs
// in the pexa notation).
enum class FILE_FORM { ROX, PEXA };

// A predicate name: either an identifier (p, P, rej_P0_R0) or a name with
// quoted strings in it ("my pred", "my pred"_P1), kept as written, quotes
// and all.
struct NAME {
    enum class KIND : std::uint8_t { IDENTIFIER, QUOTED };
    static constexpr std::uint32_t NoNumber = UINT32_MAX;

    std::string_view text;
    // For a name read from a file: its number among the program's distinct
    // predicate names (below PROGRAM::names), so that a pass over the
    // program can index by name without hashing it.
    std::uint32_t number = NoNumber;
    KIND kind = KIND::IDENTIFIER;

    NAME() = default;
    NAME(KIND k, std::string_view t, std::uint32_t n = NoNumber) : text(t), number(n), kind(k) {}
    bool operator==(const NAME& o) const { return kind == o.kind && text == o.text; }
};

// 24 bytes: a large program holds several terms per rule. An integer's
// magnitude is at most 2^31 - 1, as clingo computes with 32-bit integers.
// A compound term (a function term f(a,g(X)), arithmetic X+1, -a, |X|)
// keeps its whole text in clingo's form, which the translation writes as
// it is, and in value what it holds (COMPOUND_VARIABLES, COMPOUND_ARITHMETIC).
struct TERM {
    enum class KIND : std::uint8_t { VARIABLE, CONSTANT, INTEGER, STRING, COMPOUND };
    std::string_view text;   // the name, a string's content without quotes, a compound's text
    std::int32_t value = 0;  // for integers; for compound terms, what they hold
    KIND kind = KIND::CONSTANT;

    bool operator==(const TERM&) const = default;
};
inline constexpr std::int32_t COMPOUND_VARIABLES = 1;
inline constexpr std::int32_t COMPOUND_ARITHMETIC = 2;

// Calls visit(name) for every variable occurrence of the term.
template <class VISIT>
void forEachVariable(const TERM& t, VISIT&& visit) {
    if (t.kind == TERM::KIND::VARIABLE) visit(t.text);
    if (t.kind != TERM::KIND::COMPOUND || !(t.value & COMPOUND_VARIABLES)) return;
    const std::string_view s = t.text;
    for (std::size_t i = 0; i < s.size();) {
        const char c = s[i];
        if (c == '"') {
            // A string holds no quote (the file's strings have none).
            const std::size_t close = s.find('"', i + 1);
            i = close == std::string_view::npos ? s.size() : close + 1;
        } else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
                   (c >= '0' && c <= '9')) {
            std::size_t end = i;
            while (end < s.size() &&
                   (std::isalnum(static_cast<unsigned char>(s[end])) || s[end] == '_'))
                ++end;
            if (c >= 'A' && c <= 'Z') visit(s.substr(i, end - i));
            i = end;
        } else {
            ++i;
        }
    }
}

using TERMS = std::span<const TERM>;

inline bool sameTerms(TERMS a, TERMS b) { return std::ranges::equal(a, b); }

struct ATOM {
    bool stronglyNegated = false;  // written with a leading "-"
    NAME predicate;
    TERMS args;
};

// Numbered as vok numbers its builtins (BuiltinSignatures).
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
static_assert(static_cast<std::size_t>(BUILTIN::TIMES) + 1 == BuiltinCount);

// Number of arguments a builtin takes.
int builtinArity(BUILTIN b);
// The builtin's name as written in a file, e.g. "#succ" or "<=".
const char* builtinName(BUILTIN b);
// True for the builtins that need the largest integer (-N=).
bool isArithmetic(BUILTIN b);

// A builtin's arguments are kept in atom.args (its atom has no name), so
// that a literal takes 56 bytes: a large program holds several per rule.
struct LITERAL {
    ATOM atom;
    bool negated = false;  // default negation ("not" or "~")
    bool isBuiltin = false;
    BUILTIN builtin = BUILTIN::EQUAL;
    // An aggregate (#count{ X : p(X) } > 2), kept as the file writes it in
    // atom.predicate.text, which is clingo's language; atom.args holds the
    // variable its guard assigns ("X = #sum{...}"), if any.
    bool isAggregate = false;
    // A conditional literal (p(X) : q(X)), kept as an aggregate is; its
    // condition runs to the next ";" of the body.
    bool conditional = false;
    bool doubled = false;  // "not not": negated twice
};

// The flag sits beside the line, in what would be padding: a program holds
// a rule a line of its text, and a larger rule costs every large run.
struct RULE {
    int line = 0;                // line where the rule starts
    bool choice = false;         // "{ h } :- body.": h may hold when the body does
    std::span<const ATOM> head;  // disjunction; empty for a constraint
    std::span<const LITERAL> body;
};
static_assert(sizeof(RULE) <= sizeof(int) * 2 + 2 * sizeof(std::span<const ATOM>));

// Whether a rule is a choice or holds an aggregate, which the passes over
// normal rules (simplify.hpp, compact.hpp) do not look into.
bool hasChoiceOrAggregate(const RULE& rule);

// Whether no argument is a variable or holds one.
bool isGround(TERMS args);
// Whether the arguments are plain ground values: no variable, and no
// arithmetic, whose value clingo computes (a fact of them is data).
bool isPlainGround(TERMS args);
// A ground rule with a body and without builtins: the rules the compact
// text may put in a table or leave out, as their translation cannot fail.
bool isGroundWithBody(const RULE& rule);

// A comment that begins with "%vok:" (a declaration vok writes for the
// evaluation program, see declarations.hpp): its line and its text after
// "%vok:", kept in the program's store (a file vok writes for --one-run
// holds one per rule of the input).
struct DECLARATION {
    int line = 0;
    std::string_view text;
};

// The clingo text of one term, e.g. "X0", "a", "-3", "\"a b\"", "f(X0+1)".
void appendTerm(std::string& out, const TERM& term);
void appendNumber(std::string& out, std::int64_t n);

// Blocks grow from small to a huge page each (common/chunks.hpp): the size
// of the block after one of the given size.
std::size_t nextBlockBytes(std::size_t bytes);

// Elements kept in blocks that never move: a run of them, once kept, is a
// span that stays valid as long as the blocks. Only plain values that need
// no destructor are kept.
template <typename T>
struct BLOCKS {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);
    struct BLOCK {
        T* items;
        std::size_t bytes;
    };
    std::vector<BLOCK> blocks;
    std::size_t used = 0;  // of the last block
    std::size_t room = 0;  // elements the last block holds

    BLOCKS() = default;
    BLOCKS(const BLOCKS&) = delete;
    BLOCKS& operator=(const BLOCKS&) = delete;
    ~BLOCKS() {
        for (const BLOCK& b : blocks) releaseChunk(b.items, b.bytes);
    }
};

// A copy of items in blocks, as one run.
template <typename T>
std::span<const T> keep(BLOCKS<T>& b, std::span<const T> items) {
    if (items.empty()) return {};
    if (b.room - b.used < items.size()) {
        std::size_t bytes = nextBlockBytes(b.blocks.empty() ? 0 : b.blocks.back().bytes);
        bytes = std::max(bytes, items.size() * sizeof(T));
        b.blocks.push_back({static_cast<T*>(allocateChunk(bytes)), bytes});
        b.room = bytes / sizeof(T);
        b.used = 0;
    }
    T* at = b.blocks.back().items + b.used;
    std::memcpy(static_cast<void*>(at), items.data(), items.size() * sizeof(T));
    b.used += items.size();
    return {at, items.size()};
}

// What the rules of a program point into.
struct STORE {
    NAME_TEXTS names;    // each predicate name once
    BLOCKS<char> texts;  // each term's text
    BLOCKS<TERM> terms;
    BLOCKS<ATOM> atoms;
    BLOCKS<LITERAL> literals;
};

struct PROGRAM {
    std::vector<RULE> rules;
    std::vector<DECLARATION> declarations;  // in the order of the file
    std::uint32_t names = 0;                // distinct predicate names, the bound of NAME::number
    std::size_t sourceBytes = 0;            // the size of the text it was read from
    std::unique_ptr<STORE> store = std::make_unique<STORE>();
};

}  // namespace vok::evaluation
