#include "representation/compound.hpp"

#include <algorithm>
#include <charconv>
#include <cstdlib>

#include "common/never_destroyed.hpp"

namespace {
NEVER_DESTROYED<COMPOUNDS> CompoundTable;
}  // namespace
COMPOUNDS& Compounds = CompoundTable.get();

namespace {

// The integers the input can write (9 digits): a value beyond them is kept
// as a constant of its digits, and interval markers stay above them.
constexpr std::int64_t WritableInteger = 999999999;

bool isCompound(IDENT t) { return t.kind() == IDENT::COMPOUND; }

// Binding strength as clingo's grammar orders the operators; a name, a
// number, a function term or |X| binds as tightly as anything.
int precedence(IDENT t) {
    if (!isCompound(t)) return 4;
    switch (Compounds.at(t).op) {
        case TERM_OP::ADD:
        case TERM_OP::SUB: return 1;
        case TERM_OP::MUL:
        case TERM_OP::DIV:
        case TERM_OP::MOD: return 2;
        case TERM_OP::POW: return 3;
        default: return 4;
    }
}

// A term whose text begins with "-": as the right operand it is put in
// parentheses, so that no "--" or "*-" is written.
bool beginsWithMinus(IDENT t) {
    if (t.kind() == IDENT::INTEGER) return t.value() < 0;
    if (t.kind() == IDENT::CONSTANT)
        return IDENT::Constants.text(static_cast<unsigned>(t.value())).starts_with('-');
    return isCompound(t) && Compounds.at(t).op == TERM_OP::MINUS;
}

const char* operatorText(TERM_OP op) {
    switch (op) {
        case TERM_OP::ADD: return "+";
        case TERM_OP::SUB: return "-";
        case TERM_OP::MUL: return "*";
        case TERM_OP::DIV: return "/";
        case TERM_OP::MOD: return "\\";
        case TERM_OP::POW: return "**";
        default: return "";
    }
}

// Writes a term through put(out, term) with the parentheses its place
// needs, for both text forms (numbered and named variables).
template <class PUT>
void appendStructure(std::string& out, TERM_OP op, IDENT functor, std::span<const IDENT> a,
                     PUT put) {
    auto grouped = [&](IDENT t, bool parens) {
        if (parens) out += '(';
        put(out, t);
        if (parens) out += ')';
    };
    switch (op) {
        case TERM_OP::FUNCTION:
            AppendTerm(out, functor);
            out += '(';
            for (std::size_t i = 0; i < a.size(); ++i) {
                if (i) out += ',';
                put(out, a[i]);
            }
            out += ')';
            return;
        case TERM_OP::MINUS:
            out += '-';
            grouped(a[0], precedence(a[0]) < 4 || beginsWithMinus(a[0]));
            return;
        case TERM_OP::ABS:
            out += '|';
            put(out, a[0]);
            out += '|';
            return;
        default: {
            const int p = op == TERM_OP::POW ? 3 : op == TERM_OP::ADD || op == TERM_OP::SUB ? 1 : 2;
            // Left-associative but for "**", which groups to the right.
            const bool right = op == TERM_OP::POW;
            grouped(a[0], precedence(a[0]) < p || (right && precedence(a[0]) == p));
            out += operatorText(op);
            grouped(a[1], precedence(a[1]) < p || (!right && precedence(a[1]) == p) ||
                              beginsWithMinus(a[1]));
            return;
        }
    }
}

// The integer a ground term stands for: an integer, or a constant of
// digits that holds one beyond the writable range.
std::optional<std::int64_t> integerOf(IDENT t) {
    if (t.kind() == IDENT::INTEGER) return t.value();
    if (t.kind() != IDENT::CONSTANT) return std::nullopt;
    const std::string_view text = IDENT::Constants.text(static_cast<unsigned>(t.value()));
    if (text.empty() || !(text[0] == '-' || (text[0] >= '0' && text[0] <= '9')))
        return std::nullopt;
    std::int64_t v = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return v;
}

IDENT integerTerm(std::int64_t v) {
    const auto wrapped = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    if (wrapped >= -WritableInteger && wrapped <= WritableInteger)
        return IDENT(IDENT::INTEGER, wrapped);
    return IDENT(IDENT::CONSTANT,
                 checkedNumber(IDENT::Constants.insert(std::to_string(wrapped)).first));
}

bool isString(IDENT t) {
    return t.kind() == IDENT::CONSTANT &&
           IDENT::Constants.text(static_cast<unsigned>(t.value())).starts_with('"');
}

// #inf or #sup, which clingo does not negate.
bool isInfOrSup(IDENT t) {
    return t.kind() == IDENT::CONSTANT &&
           IDENT::Constants.text(static_cast<unsigned>(t.value())).starts_with('#');
}

std::optional<std::int64_t> power(std::int64_t base, std::int64_t exponent) {
    if (exponent < 0) {
        if (base == 0) return std::nullopt;
        if (base == 1) return 1;
        if (base == -1) return exponent % 2 ? -1 : 1;
        return 0;
    }
    std::uint32_t result = 1, b = static_cast<std::uint32_t>(base);
    for (auto e = static_cast<std::uint64_t>(exponent); e; e >>= 1) {
        if (e & 1) result *= b;
        b *= b;
    }
    return static_cast<std::int32_t>(result);
}

std::optional<std::int64_t> arithmetic(TERM_OP op, std::int64_t x, std::int64_t y) {
    const auto ux = static_cast<std::uint32_t>(x), uy = static_cast<std::uint32_t>(y);
    switch (op) {
        case TERM_OP::ADD: return static_cast<std::int32_t>(ux + uy);
        case TERM_OP::SUB: return static_cast<std::int32_t>(ux - uy);
        case TERM_OP::MUL: return static_cast<std::int32_t>(ux * uy);
        case TERM_OP::DIV:
            if (y == 0) return std::nullopt;
            return x / y;
        case TERM_OP::MOD:
            if (y == 0) return std::nullopt;
            return x % y;
        case TERM_OP::POW: return power(x, y);
        default: return std::nullopt;
    }
}

}  // namespace

IDENT COMPOUNDS::make(TERM_OP op, IDENT functor, std::span<const IDENT> operands) {
    std::string text;
    appendStructure(text, op, functor, operands,
                    [](std::string& out, IDENT t) { AppendTerm(out, t); });
    const auto [n, fresh] = texts.insert(text);
    if (fresh) {
        COMPOUND c;
        c.op = op;
        c.functor = functor;
        c.first = static_cast<std::uint32_t>(args.size());
        c.count = static_cast<std::uint32_t>(operands.size());
        c.arithmetic = op != TERM_OP::FUNCTION;
        for (IDENT t : operands) {
            c.highestVariable = std::max(c.highestVariable, HighestVariable(t));
            if (isCompound(t) && at(t).arithmetic) c.arithmetic = true;
        }
        args.insert(args.end(), operands.begin(), operands.end());
        entries.push_back(c);
    }
    return IDENT(IDENT::COMPOUND, checkedNumber(n));
}

void COMPOUNDS::truncate(unsigned n) {
    if (n >= entries.size()) return;
    args.resize(entries[n].first);
    entries.resize(n);
    texts.truncate(n);
}

int HighestVariable(IDENT term) {
    if (term.isVariable()) return term.value();
    return isCompound(term) ? Compounds.at(term).highestVariable : -1;
}

void AppendVariables(IDENT term, std::vector<int>& out) {
    if (term.isVariable()) out.push_back(term.value());
    if (!isCompound(term) || Compounds.at(term).highestVariable < 0) return;
    for (IDENT t : Compounds.argsOf(Compounds.at(term))) AppendVariables(t, out);
}

namespace {

bool isGround(IDENT t) { return HighestVariable(t) < 0; }

// A term with one variable that clingo solves for: X, -L, L+G, G+L, L-G,
// G-L, L*G and G*L for a linear L and ground G.
std::optional<IDENT> linearVariable(IDENT t) {
    if (t.isVariable()) return t;
    if (!isCompound(t)) return std::nullopt;
    const COMPOUND& c = Compounds.at(t);
    const auto a = Compounds.argsOf(c);
    switch (c.op) {
        case TERM_OP::MINUS: return linearVariable(a[0]);
        case TERM_OP::ADD:
        case TERM_OP::SUB:
        case TERM_OP::MUL:
            if (isGround(a[0])) return linearVariable(a[1]);
            if (isGround(a[1])) return linearVariable(a[0]);
            return std::nullopt;
        default: return std::nullopt;
    }
}

}  // namespace

void AppendBindable(IDENT term, std::vector<int>& out) {
    if (term.isVariable()) {
        out.push_back(term.value());
        return;
    }
    if (!isCompound(term) || isGround(term)) return;
    const COMPOUND& c = Compounds.at(term);
    if (c.op == TERM_OP::FUNCTION || c.op == TERM_OP::MINUS) {
        for (IDENT t : Compounds.argsOf(c)) AppendBindable(t, out);
        return;
    }
    if (const auto v = linearVariable(term)) out.push_back(v->value());
}

std::optional<IDENT> GroundOperation(TERM_OP op, std::span<const IDENT> a) {
    if (op == TERM_OP::FUNCTION) return std::nullopt;
    if (op == TERM_OP::MINUS) {
        if (const auto v = integerOf(a[0])) return integerTerm(-*v);
        if (isString(a[0]) || isInfOrSup(a[0])) return std::nullopt;
        // -(-t) is t; -t of a name or a function term is its negation.
        if (isCompound(a[0]) && Compounds.at(a[0]).op == TERM_OP::MINUS)
            return Compounds.argsOf(Compounds.at(a[0]))[0];
        if (isCompound(a[0]) && Compounds.at(a[0]).op != TERM_OP::FUNCTION) return std::nullopt;
        return Compounds.make(op, IDENT(), a);
    }
    if (op == TERM_OP::ABS) {
        const auto v = integerOf(a[0]);
        if (!v) return std::nullopt;
        return integerTerm(*v < 0 ? -*v : *v);
    }
    const auto x = integerOf(a[0]), y = integerOf(a[1]);
    if (!x || !y) return std::nullopt;
    const auto v = arithmetic(op, *x, *y);
    if (!v) return std::nullopt;
    return integerTerm(*v);
}

IDENT Operation(TERM_OP op, std::span<const IDENT> operands, bool& undefined) {
    if (op != TERM_OP::FUNCTION && std::all_of(operands.begin(), operands.end(), isGround)) {
        if (const auto v = GroundOperation(op, operands)) return *v;
        undefined = true;
    }
    return Compounds.make(op, IDENT(), operands);
}

void AppendNamedTerm(std::string& out, IDENT term, const std::vector<std::string>& names) {
    if (term.isVariable()) {
        const auto n = static_cast<std::size_t>(term.value());
        out += n < names.size() && !names[n].empty() ? names[n] : std::string("_");
        return;
    }
    if (!isCompound(term)) {
        AppendTerm(out, term);
        return;
    }
    const COMPOUND& c = Compounds.at(term);
    appendStructure(out, c.op, c.functor, Compounds.argsOf(c),
                    [&](std::string& o, IDENT t) { AppendNamedTerm(o, t, names); });
}

std::optional<IDENT> Substituted(IDENT term, std::span<const IDENT> values) {
    if (term.isVariable()) {
        const auto n = static_cast<std::size_t>(term.value());
        return n < values.size() ? values[n] : term;
    }
    if (!isCompound(term) || isGround(term)) return term;
    // Copied first: the substitutions below make terms, which may move the
    // table that c and its arguments live in.
    const COMPOUND c = Compounds.at(term);
    const auto args = Compounds.argsOf(c);
    std::vector<IDENT> operands(args.begin(), args.end());
    for (IDENT& t : operands) {
        const auto s = Substituted(t, values);
        if (!s) return std::nullopt;
        t = *s;
    }
    if (c.op == TERM_OP::FUNCTION) return Compounds.make(c.op, c.functor, operands);
    bool undefined = false;
    const IDENT result = Operation(c.op, operands, undefined);
    if (undefined) return std::nullopt;
    return result;
}
