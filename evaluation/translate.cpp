#include "translate.hpp"

#include <string_view>
#include <unordered_set>

#include "names.hpp"

namespace vok::evaluation {

std::string clingoTerm(const TERM& term) {
    switch (term.kind) {
        case TERM::KIND::VARIABLE:
        case TERM::KIND::CONSTANT: return term.text;
        case TERM::KIND::INTEGER: return std::to_string(term.value);
        case TERM::KIND::STRING: {
            // The file's strings have no escapes; clingo's treat "\" as one and
            // have no raw line ends.
            std::string out = "\"";
            for (char c : term.text) {
                if (c == '\n') {
                    out += "\\n";
                    continue;
                }
                if (c == '\\') out += '\\';
                out += c;
            }
            out += '"';
            return out;
        }
    }
    return {};
}

namespace {

void appendAtom(std::string& out, const ATOM& atom) {
    if (atom.stronglyNegated) out += '-';
    out += encodePredicate(atom.predicate);
    if (atom.args.empty()) return;
    out += '(';
    for (std::size_t i = 0; i < atom.args.size(); ++i) {
        if (i) out += ',';
        out += clingoTerm(atom.args[i]);
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

// Writes the body of one rule: its atoms, then its builtins in an order in
// which each one finds the variables it needs already bound.
class BODY_WRITER {
public:
    BODY_WRITER(const RULE& rule, std::optional<std::int64_t> maxint)
        : rule_(rule), maxint_(maxint) {}

    std::vector<std::string> write() {
        std::vector<const LITERAL*> pending;
        for (const LITERAL& lit : rule_.body) {
            if (lit.isBuiltin) {
                if (isArithmetic(lit.builtin) && !maxint_)
                    throw TRANSLATE_ERROR(rule_.line,
                                          std::string("\"") + builtinName(lit.builtin) +
                                              "\" needs the largest integer: give -N=<n>");
                pending.push_back(&lit);
                continue;
            }
            std::string text = lit.negated ? "not " : "";
            appendAtom(text, lit.atom);
            parts_.push_back(std::move(text));
            if (!lit.negated)
                for (const TERM& t : lit.atom.args)
                    if (t.kind == TERM::KIND::VARIABLE) known_.insert(t.text);
        }
        if (maxint_) n_ = std::to_string(*maxint_);

        while (!pending.empty()) {
            bool progress = false;
            for (std::size_t i = 0; i < pending.size();) {
                if (ready(*pending[i])) {
                    emit(*pending[i]);
                    pending.erase(pending.begin() + static_cast<std::ptrdiff_t>(i));
                    progress = true;
                } else {
                    ++i;
                }
            }
            if (progress) continue;
            // Nothing is fixed by what is bound: let one variable of an
            // arithmetic builtin range over 0..maxint and try again.
            const TERM* var = nullptr;
            for (const LITERAL* lit : pending) {
                if (!isArithmetic(lit->builtin)) continue;
                for (const TERM& t : lit->args)
                    if (!isKnown(t)) {
                        var = &t;
                        break;
                    }
                if (var) break;
            }
            if (!var) break;  // only comparisons with unbound variables are left
            parts_.push_back(var->text + "=0.." + n_);
            known_.insert(var->text);
        }
        checkSafety();
        return std::move(parts_);
    }

private:
    bool isKnown(const TERM& t) const {
        return t.kind != TERM::KIND::VARIABLE || known_.contains(t.text);
    }

    bool ready(const LITERAL& lit) const {
        const auto& a = lit.args;
        switch (lit.builtin) {
            case BUILTIN::EQUAL: return isKnown(a[0]) || isKnown(a[1]);
            case BUILTIN::INT: return isKnown(a[0]);
            case BUILTIN::SUCC: return isKnown(a[0]) || isKnown(a[1]);
            case BUILTIN::PLUS:
            case BUILTIN::TIMES: {
                int n = isKnown(a[0]) + isKnown(a[1]) + isKnown(a[2]);
                return n >= 2;
            }
            default: return isKnown(a[0]) && isKnown(a[1]);
        }
    }

    void add(std::string part) { parts_.push_back(std::move(part)); }

    // "T=expr": an assignment when T is an unbound variable, else a test.
    void set(const TERM& target, const std::string& expr) {
        add(clingoTerm(target) + "=" + expr);
        if (target.kind == TERM::KIND::VARIABLE) known_.insert(target.text);
    }

    // T is an integer in 0..maxint.
    void inRange(const TERM& t) {
        if (t.kind == TERM::KIND::INTEGER && t.value >= 0 && t.value <= *maxint_) return;
        std::string s = clingoTerm(t);
        add("0<=" + s);
        add(s + "<=" + n_);
    }

    void emit(const LITERAL& lit) {
        const auto& a = lit.args;
        switch (lit.builtin) {
            case BUILTIN::INT: inRange(a[0]); return;
            case BUILTIN::SUCC:
                if (isKnown(a[0])) {
                    std::string x = clingoTerm(a[0]);
                    add("0<=" + x);
                    add(x + "<" + n_);
                    set(a[1], x + "+1");
                } else {
                    std::string y = clingoTerm(a[1]);
                    add("0<" + y);
                    add(y + "<=" + n_);
                    set(a[0], y + "-1");
                }
                return;
            case BUILTIN::PLUS: emitPlus(a[0], a[1], a[2]); return;
            case BUILTIN::TIMES: emitTimes(a[0], a[1], a[2]); return;
            case BUILTIN::EQUAL:
                if (!isKnown(a[0])) {
                    set(a[0], clingoTerm(a[1]));
                    return;
                }
                if (!isKnown(a[1])) {
                    set(a[1], clingoTerm(a[0]));
                    return;
                }
                [[fallthrough]];
            default:
                add(clingoTerm(a[0]) + clingoComparison(lit.builtin) + clingoTerm(a[1]));
                return;
        }
    }

    // C = A+B with all three in 0..maxint.
    void emitPlus(const TERM& a, const TERM& b, const TERM& c) {
        if (isKnown(a) && isKnown(b)) {
            inRange(a);
            inRange(b);
            std::string x = clingoTerm(a), y = clingoTerm(b);
            add(x + "<=" + n_ + "-" + y);  // A+B <= maxint, without forming A+B
            set(c, x + "+" + y);
            return;
        }
        // C and one summand are known: the other is their difference.
        const TERM& known = isKnown(a) ? a : b;
        const TERM& unknown = isKnown(a) ? b : a;
        inRange(known);
        inRange(c);
        std::string k = clingoTerm(known), s = clingoTerm(c);
        add(k + "<=" + s);
        set(unknown, s + "-" + k);
    }

    // C = A*B with all three in 0..maxint.
    void emitTimes(const TERM& a, const TERM& b, const TERM& c) {
        if (isKnown(a) && isKnown(b)) {
            inRange(a);
            inRange(b);
            std::string x = clingoTerm(a), y = clingoTerm(b);
            // A*B <= maxint, without forming A*B: A <= maxint / max(B,1), where
            // 0**B is 1 for B = 0 and 0 otherwise.
            add(x + "<=" + n_ + "/(" + y + "+0**" + y + ")");
            set(c, x + "*" + y);
            return;
        }
        // C and one factor F are known. For F > 0 the other factor can only be
        // C/F; for F = 0 it can be anything in 0..maxint (and C must be 0).
        // With z = 0**F the candidates are (1-z)*(C/(F+z)) .. that + z*maxint.
        const TERM& known = isKnown(a) ? a : b;
        const TERM& unknown = isKnown(a) ? b : a;
        inRange(known);
        inRange(c);
        std::string f = clingoTerm(known), p = clingoTerm(c);
        std::string z = "0**" + f;
        std::string low = "(1-" + z + ")*(" + p + "/(" + f + "+" + z + "))";
        add(unknown.text + "=" + low + ".." + low + "+" + z + "*" + n_);
        known_.insert(unknown.text);
        add(p + "=" + f + "*" + unknown.text);
    }

    void checkSafety() const {
        auto check = [&](const std::vector<TERM>& args) {
            for (const TERM& t : args)
                if (!isKnown(t))
                    throw TRANSLATE_ERROR(rule_.line,
                                          "variable " + t.text +
                                              " is unsafe: it occurs in no positive body "
                                              "atom and is bound by no builtin");
        };
        for (const ATOM& h : rule_.head) check(h.args);
        for (const LITERAL& lit : rule_.body) check(lit.isBuiltin ? lit.args : lit.atom.args);
    }

    const RULE& rule_;
    std::optional<std::int64_t> maxint_;
    std::string n_;
    std::unordered_set<std::string_view> known_;
    std::vector<std::string> parts_;
};

}  // namespace

std::string Translate(const PROGRAM& program, std::optional<std::int64_t> maxint) {
    std::string out;
    int line = 1;
    bool lineUsed = false;
    for (const RULE& rule : program.rules) {
        if (rule.line > line) {
            out.append(static_cast<std::size_t>(rule.line - line), '\n');
            line = rule.line;
            lineUsed = false;
        }
        if (lineUsed) out += ' ';
        lineUsed = true;

        for (std::size_t i = 0; i < rule.head.size(); ++i) {
            if (i) out += "; ";
            appendAtom(out, rule.head[i]);
        }
        std::vector<std::string> body = BODY_WRITER(rule, maxint).write();
        if (body.empty()) {
            // clingo has no empty body: a fact, or a constraint that always fires.
            out += rule.head.empty() ? ":- #true." : ".";
            continue;
        }
        out += rule.head.empty() ? ":- " : " :- ";
        for (std::size_t i = 0; i < body.size(); ++i) {
            if (i) out += ", ";
            out += body[i];
        }
        out += '.';
    }
    out += '\n';
    return out;
}

}  // namespace vok::evaluation
