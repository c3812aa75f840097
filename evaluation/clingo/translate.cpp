#include "evaluation/clingo/translate.hpp"

#include <charconv>
#include <string_view>
#include <unordered_set>

#include "evaluation/clingo/names.hpp"

namespace vok::evaluation {

namespace {

std::string clingoTerm(const TERM& term) {
    std::string out;
    appendTerm(out, term);
    return out;
}

// One atom in clingo's form; with data, as data when its predicate is.
void appendAtom(std::string& out, const ATOM& atom, const DATA_NAMES* data) {
    if (atom.stronglyNegated) out += '-';
    if (const std::uint32_t* id = data ? findDataName(*data, atom.predicate) : nullptr) {
        // p(t1,...,tk) is written g'F(id,t1,...,tk).
        out += DataPrefix;
        appendNumber(out, data->family[*id]);
        out += '(';
        appendNumber(out, *id);
        for (const TERM& t : atom.args) {
            out += ',';
            appendTerm(out, t);
        }
        out += ')';
        return;
    }
    out += encodePredicate(atom.predicate);
    if (atom.args.empty()) return;
    out += '(';
    for (std::size_t i = 0; i < atom.args.size(); ++i) {
        if (i) out += ',';
        appendTerm(out, atom.args[i]);
    }
    out += ')';
}

const char* clingoComparison(BUILTIN b) {
    switch (b) {
        case BUILTIN::EQUAL: return "=";
        case BUILTIN::UNEQUAL: return "!=";
        case BUILTIN::LESS: return "<";
        case BUILTIN::GREATER: return ">";
        case BUILTIN::LESS_EQUAL: return "<=";
        default: return ">=";
    }
}

// The body of one rule as it is being written: the parts written so far and
// the variables they bind.
struct BODY {
    const RULE& rule;
    std::optional<std::int64_t> maxint;
    const DATA_NAMES* data;                      // predicates written as data, or null
    std::string n;                               // maxint's text
    std::unordered_set<std::string_view> known;  // variables bound so far
    std::vector<std::string> parts;
};

bool isKnown(const BODY& body, const TERM& t) {
    if (t.kind == TERM::KIND::COMPOUND) {
        bool known = true;
        forEachVariable(t, [&](std::string_view v) { known = known && body.known.contains(v); });
        return known;
    }
    return t.kind != TERM::KIND::VARIABLE || body.known.contains(t.text);
}

// The variables of t become bound. For a compound term clingo decides which
// of them matching binds; a rule with one it does not bind is refused by
// clingo itself.
void bind(BODY& body, const TERM& t) {
    forEachVariable(t, [&](std::string_view v) { body.known.insert(v); });
}

bool ready(const BODY& body, const LITERAL& lit) {
    const auto& a = lit.atom.args;
    switch (lit.builtin) {
        case BUILTIN::EQUAL: return isKnown(body, a[0]) || isKnown(body, a[1]);
        case BUILTIN::INT: return isKnown(body, a[0]);
        case BUILTIN::SUCC: return isKnown(body, a[0]) || isKnown(body, a[1]);
        case BUILTIN::PLUS:
        case BUILTIN::TIMES: {
            int n = isKnown(body, a[0]) + isKnown(body, a[1]) + isKnown(body, a[2]);
            return n >= 2;
        }
        default: return isKnown(body, a[0]) && isKnown(body, a[1]);
    }
}

void add(BODY& body, std::string part) { body.parts.push_back(std::move(part)); }

// "T=expr": an assignment when T is an unbound variable, else a test.
void assign(BODY& body, const TERM& target, const std::string& expr) {
    add(body, clingoTerm(target) + "=" + expr);
    bind(body, target);
}

// T is an integer in 0..maxint.
void inRange(BODY& body, const TERM& t) {
    if (t.kind == TERM::KIND::INTEGER && t.value >= 0 && t.value <= *body.maxint) return;
    std::string s = clingoTerm(t);
    add(body, "0<=" + s);
    add(body, s + "<=" + body.n);
}

// Sums and products are checked against maxint before they are formed, so
// that clingo's 32-bit arithmetic never overflows.
// A+B <= maxint as A <= maxint-B.
std::string sumFits(const std::string& a, const std::string& b, const std::string& n) {
    return a + "<=" + n + "-" + b;
}
// A*B <= maxint as A <= maxint / max(B,1), where 0**B is 1 for B = 0 and 0
// otherwise.
std::string productFits(const std::string& a, const std::string& b, const std::string& n) {
    return a + "<=" + n + "/(" + b + "+0**" + b + ")";
}

// C and one summand K are known: the other is their difference.
void solveSum(BODY& body, const TERM& unknown, const std::string& k, const std::string& c) {
    add(body, k + "<=" + c);
    assign(body, unknown, c + "-" + k);
}

// C and one factor F are known. For F > 0 the other factor can only be C/F;
// for F = 0 it can be anything in 0..maxint (and C must be 0). With z = 0**F
// the candidates are (1-z)*(C/(F+z)) .. that + z*maxint.
void solveProduct(BODY& body, const TERM& unknown, const std::string& f, const std::string& c) {
    std::string z = "0**" + f;
    std::string low = "(1-" + z + ")*(" + c + "/(" + f + "+" + z + "))";
    add(body, std::string(unknown.text) + "=" + low + ".." + low + "+" + z + "*" + body.n);
    body.known.insert(unknown.text);
    add(body, c + "=" + f + "*" + std::string(unknown.text));
}

// What the translations of + and * differ in.
struct OPERATION {
    const char* symbol;
    std::string (*fits)(const std::string& a, const std::string& b, const std::string& n);
    void (*solve)(BODY& body, const TERM& unknown, const std::string& known, const std::string& c);
};

const OPERATION Sum{"+", sumFits, solveSum};
const OPERATION Product{"*", productFits, solveProduct};

// C = A op B with all three in 0..maxint: C from A and B, or the unknown
// operand from C and the known one.
void emitOperation(BODY& body, const OPERATION& op, const TERM& a, const TERM& b, const TERM& c) {
    const bool aKnown = isKnown(body, a);
    if (aKnown && isKnown(body, b)) {
        inRange(body, a);
        inRange(body, b);
        std::string x = clingoTerm(a), y = clingoTerm(b);
        add(body, op.fits(x, y, body.n));
        assign(body, c, x + op.symbol + y);
        return;
    }
    const TERM& known = aKnown ? a : b;
    const TERM& unknown = aKnown ? b : a;
    inRange(body, known);
    inRange(body, c);
    op.solve(body, unknown, clingoTerm(known), clingoTerm(c));
}

void emit(BODY& body, const LITERAL& lit) {
    const auto& a = lit.atom.args;
    switch (lit.builtin) {
        case BUILTIN::INT: inRange(body, a[0]); return;
        case BUILTIN::SUCC:
            if (isKnown(body, a[0])) {
                std::string x = clingoTerm(a[0]);
                add(body, "0<=" + x);
                add(body, x + "<" + body.n);
                assign(body, a[1], x + "+1");
            } else {
                std::string y = clingoTerm(a[1]);
                add(body, "0<" + y);
                add(body, y + "<=" + body.n);
                assign(body, a[0], y + "-1");
            }
            return;
        case BUILTIN::PLUS: emitOperation(body, Sum, a[0], a[1], a[2]); return;
        case BUILTIN::TIMES: emitOperation(body, Product, a[0], a[1], a[2]); return;
        case BUILTIN::EQUAL:
            if (!isKnown(body, a[0])) {
                assign(body, a[0], clingoTerm(a[1]));
                return;
            }
            if (!isKnown(body, a[1])) {
                assign(body, a[1], clingoTerm(a[0]));
                return;
            }
            [[fallthrough]];
        default:
            add(body, clingoTerm(a[0]) + clingoComparison(lit.builtin) + clingoTerm(a[1]));
            return;
    }
}

void checkSafety(const BODY& body) {
    auto check = [&](TERMS args) {
        for (const TERM& t : args)
            forEachVariable(t, [&](std::string_view v) {
                if (!body.known.contains(v))
                    throw TRANSLATE_ERROR(body.rule.line,
                                          "variable " + std::string(v) +
                                              " is unsafe: it occurs in no positive body "
                                              "atom and is bound by no builtin");
            });
    };
    for (const ATOM& h : body.rule.head) check(h.args);
    for (const LITERAL& lit : body.rule.body) check(lit.atom.args);
}

// Writes the atoms of the body, in their order, and binds the variables of
// the positive ones; returns the builtins, to be written after them.
std::vector<const LITERAL*> writeAtoms(BODY& body) {
    std::vector<const LITERAL*> builtins;
    for (const LITERAL& lit : body.rule.body) {
        if (lit.isAggregate) {
            add(body, (lit.negated ? "not " : "") + std::string(lit.atom.predicate.text));
            if (!lit.negated)
                for (const TERM& t : lit.atom.args) body.known.insert(t.text);
            continue;
        }
        if (lit.isBuiltin) {
            if (isArithmetic(lit.builtin) && !body.maxint)
                throw TRANSLATE_ERROR(
                    body.rule.line,
                    std::string("\"") + builtinName(lit.builtin) + "\" needs the largest integer",
                    LargestIntegerOption);
            builtins.push_back(&lit);
            continue;
        }
        std::string text = lit.doubled ? "not not " : lit.negated ? "not " : "";
        appendAtom(text, lit.atom, body.data);
        add(body, std::move(text));
        if (!lit.negated)
            for (const TERM& t : lit.atom.args) bind(body, t);
    }
    return builtins;
}

// Writes, in one pass, every pending builtin that has what it needs bound
// (each one written may bind what a later one needs); false when none had.
bool writeReadyBuiltins(BODY& body, std::vector<const LITERAL*>& pending) {
    bool progress = false;
    for (std::size_t i = 0; i < pending.size();) {
        if (ready(body, *pending[i])) {
            emit(body, *pending[i]);
            pending.erase(pending.begin() + static_cast<std::ptrdiff_t>(i));
            progress = true;
        } else {
            ++i;
        }
    }
    return progress;
}

// The first unbound variable of a pending arithmetic builtin, or empty. It
// is a variable, not the argument: an argument such as "A*B" that is
// ranged over as a whole binds neither of its variables.
std::string_view unboundArithmeticVariable(const BODY& body,
                                           const std::vector<const LITERAL*>& pending) {
    std::string_view unbound;
    for (const LITERAL* lit : pending) {
        if (!isArithmetic(lit->builtin)) continue;
        for (const TERM& t : lit->atom.args)
            forEachVariable(t, [&](std::string_view v) {
                if (unbound.empty() && !body.known.contains(v)) unbound = v;
            });
        if (!unbound.empty()) return unbound;
    }
    return unbound;
}

// Writes the body of one rule: its atoms, then its builtins in an order in
// which each one finds the variables it needs already bound.
std::vector<std::string> writeBody(const RULE& rule, std::optional<std::int64_t> maxint,
                                   const DATA_NAMES* data) {
    BODY body{rule, maxint, data, maxint ? std::to_string(*maxint) : std::string(), {}, {}};
    std::vector<const LITERAL*> pending = writeAtoms(body);
    while (!pending.empty()) {
        if (writeReadyBuiltins(body, pending)) continue;
        // Nothing is fixed by what is bound: let one variable of an
        // arithmetic builtin range over 0..maxint and try again.
        const std::string_view var = unboundArithmeticVariable(body, pending);
        if (var.empty()) break;  // only comparisons with unbound variables are left
        add(body, std::string(var) + "=0.." + body.n);
        body.known.insert(var);
    }
    checkSafety(body);
    return std::move(body.parts);
}

}  // namespace

std::vector<std::string> BodyParts(const RULE& rule, std::optional<std::int64_t> maxint) {
    return writeBody(rule, maxint, nullptr);
}

void appendRule(std::string& out, const RULE& rule, std::optional<std::int64_t> maxint,
                const DATA_NAMES* data) {
    if (rule.choice) out += "{ ";
    for (std::size_t i = 0; i < rule.head.size(); ++i) {
        if (i) out += "; ";
        appendAtom(out, rule.head[i], data);
    }
    if (rule.choice) out += " }";
    std::vector<std::string> body = writeBody(rule, maxint, data);
    if (body.empty()) {
        // clingo has no empty body: a fact, or a constraint that always fires.
        out += rule.head.empty() ? ":- #true." : ".";
        return;
    }
    out += rule.head.empty() ? ":- " : " :- ";
    // A conditional literal's condition would take in the parts after it.
    const bool conditional = std::any_of(rule.body.begin(), rule.body.end(),
                                         [](const LITERAL& l) { return l.conditional; });
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (i) out += conditional ? "; " : ", ";
        out += body[i];
    }
    out += '.';
}

void placeOnLine(std::string& out, LINE_PLACE& place, int line) {
    if (line > place.line) {
        out.append(static_cast<std::size_t>(line - place.line), '\n');
        place.line = line;
        place.used = false;
    }
    if (place.used) out += ' ';
    place.used = true;
}

namespace {

// The predicate names of a large program are met in no order: the
// translation starts fetching those of the rule this many places ahead.
// Always inlined: g++ drops calls to a function that only prefetches.
constexpr std::size_t Ahead = 8;

[[gnu::always_inline]] inline void prefetchNames(const RULE& rule) {
    for (const ATOM& a : rule.head) __builtin_prefetch(a.predicate.text.data());
    for (const LITERAL& l : rule.body)
        if (!l.isBuiltin) __builtin_prefetch(l.atom.predicate.text.data());
}

}  // namespace

std::string Translate(const PROGRAM& program, std::optional<std::int64_t> maxint,
                      std::string room) {
    // The translation is about as long as the file: room for that much at
    // once, so that a large text is not copied again and again as it grows.
    std::string out = std::move(room);
    out.clear();
    out.reserve(program.sourceBytes + 1);
    LINE_PLACE place;
    const std::vector<RULE>& rules = program.rules;
    for (std::size_t k = 0; k < rules.size(); ++k) {
        if (k + Ahead < rules.size()) prefetchNames(rules[k + Ahead]);
        const RULE& rule = rules[k];
        placeOnLine(out, place, rule.line);
        appendRule(out, rule, maxint, nullptr);
    }
    out += '\n';
    return out;
}

}  // namespace vok::evaluation
