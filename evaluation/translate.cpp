#include "translate.hpp"

#include <string_view>
#include <unordered_set>

#include "names.hpp"

namespace vok::evaluation {

std::string clingo_term(const Term& term) {
    switch (term.kind) {
        case Term::Kind::Variable:
        case Term::Kind::Constant: return term.text;
        case Term::Kind::Integer: return std::to_string(term.value);
        case Term::Kind::String: {
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

void append_atom(std::string& out, const Atom& atom) {
    if (atom.strongly_negated) out += '-';
    out += encode_predicate(atom.predicate);
    if (atom.args.empty()) return;
    out += '(';
    for (std::size_t i = 0; i < atom.args.size(); ++i) {
        if (i) out += ',';
        out += clingo_term(atom.args[i]);
    }
    out += ')';
}

const char* clingo_comparison(Builtin b) {
    switch (b) {
        case Builtin::Equal: return "=";
        case Builtin::Unequal: return "!=";
        case Builtin::Less: return "<";
        case Builtin::Greater: return ">";
        case Builtin::LessEq: return "<=";
        default: return ">=";
    }
}

// Writes the body of one rule: its atoms, then its builtins in an order in
// which each one finds the variables it needs already bound.
class BodyWriter {
public:
    BodyWriter(const Rule& rule, std::optional<std::int64_t> maxint)
        : rule_(rule), maxint_(maxint) {}

    std::vector<std::string> write() {
        std::vector<const Literal*> pending;
        for (const Literal& lit : rule_.body) {
            if (lit.is_builtin) {
                if (builtin_is_arithmetic(lit.builtin) && !maxint_)
                    throw TranslateError(rule_.line,
                                         std::string("\"") + builtin_name(lit.builtin) +
                                             "\" needs the largest integer: give -N=<n>");
                pending.push_back(&lit);
                continue;
            }
            std::string text = lit.negated ? "not " : "";
            append_atom(text, lit.atom);
            parts_.push_back(std::move(text));
            if (!lit.negated)
                for (const Term& t : lit.atom.args)
                    if (t.kind == Term::Kind::Variable) known_.insert(t.text);
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
            const Term* var = nullptr;
            for (const Literal* lit : pending) {
                if (!builtin_is_arithmetic(lit->builtin)) continue;
                for (const Term& t : lit->args)
                    if (!is_known(t)) {
                        var = &t;
                        break;
                    }
                if (var) break;
            }
            if (!var) break;  // only comparisons with unbound variables are left
            parts_.push_back(var->text + "=0.." + n_);
            known_.insert(var->text);
        }
        check_safety();
        return std::move(parts_);
    }

private:
    bool is_known(const Term& t) const {
        return t.kind != Term::Kind::Variable || known_.contains(t.text);
    }

    bool ready(const Literal& lit) const {
        const auto& a = lit.args;
        switch (lit.builtin) {
            case Builtin::Equal: return is_known(a[0]) || is_known(a[1]);
            case Builtin::Int: return is_known(a[0]);
            case Builtin::Succ: return is_known(a[0]) || is_known(a[1]);
            case Builtin::Plus:
            case Builtin::Times: {
                int n = is_known(a[0]) + is_known(a[1]) + is_known(a[2]);
                return n >= 2;
            }
            default: return is_known(a[0]) && is_known(a[1]);
        }
    }

    void add(std::string part) { parts_.push_back(std::move(part)); }

    // "T=expr": an assignment when T is an unbound variable, else a test.
    void set(const Term& target, const std::string& expr) {
        add(clingo_term(target) + "=" + expr);
        if (target.kind == Term::Kind::Variable) known_.insert(target.text);
    }

    // T is an integer in 0..maxint.
    void in_range(const Term& t) {
        if (t.kind == Term::Kind::Integer && t.value >= 0 && t.value <= *maxint_) return;
        std::string s = clingo_term(t);
        add("0<=" + s);
        add(s + "<=" + n_);
    }

    void emit(const Literal& lit) {
        const auto& a = lit.args;
        switch (lit.builtin) {
            case Builtin::Int: in_range(a[0]); return;
            case Builtin::Succ:
                if (is_known(a[0])) {
                    std::string x = clingo_term(a[0]);
                    add("0<=" + x);
                    add(x + "<" + n_);
                    set(a[1], x + "+1");
                } else {
                    std::string y = clingo_term(a[1]);
                    add("0<" + y);
                    add(y + "<=" + n_);
                    set(a[0], y + "-1");
                }
                return;
            case Builtin::Plus: emit_plus(a[0], a[1], a[2]); return;
            case Builtin::Times: emit_times(a[0], a[1], a[2]); return;
            case Builtin::Equal:
                if (!is_known(a[0])) {
                    set(a[0], clingo_term(a[1]));
                    return;
                }
                if (!is_known(a[1])) {
                    set(a[1], clingo_term(a[0]));
                    return;
                }
                [[fallthrough]];
            default:
                add(clingo_term(a[0]) + clingo_comparison(lit.builtin) + clingo_term(a[1]));
                return;
        }
    }

    // C = A+B with all three in 0..maxint.
    void emit_plus(const Term& a, const Term& b, const Term& c) {
        if (is_known(a) && is_known(b)) {
            in_range(a);
            in_range(b);
            std::string x = clingo_term(a), y = clingo_term(b);
            add(x + "<=" + n_ + "-" + y);  // A+B <= maxint, without forming A+B
            set(c, x + "+" + y);
            return;
        }
        // C and one summand are known: the other is their difference.
        const Term& known = is_known(a) ? a : b;
        const Term& unknown = is_known(a) ? b : a;
        in_range(known);
        in_range(c);
        std::string k = clingo_term(known), s = clingo_term(c);
        add(k + "<=" + s);
        set(unknown, s + "-" + k);
    }

    // C = A*B with all three in 0..maxint.
    void emit_times(const Term& a, const Term& b, const Term& c) {
        if (is_known(a) && is_known(b)) {
            in_range(a);
            in_range(b);
            std::string x = clingo_term(a), y = clingo_term(b);
            // A*B <= maxint, without forming A*B: A <= maxint / max(B,1), where
            // 0**B is 1 for B = 0 and 0 otherwise.
            add(x + "<=" + n_ + "/(" + y + "+0**" + y + ")");
            set(c, x + "*" + y);
            return;
        }
        // C and one factor F are known. For F > 0 the other factor can only be
        // C/F; for F = 0 it can be anything in 0..maxint (and C must be 0).
        // With z = 0**F the candidates are (1-z)*(C/(F+z)) .. that + z*maxint.
        const Term& known = is_known(a) ? a : b;
        const Term& unknown = is_known(a) ? b : a;
        in_range(known);
        in_range(c);
        std::string f = clingo_term(known), p = clingo_term(c);
        std::string z = "0**" + f;
        std::string low = "(1-" + z + ")*(" + p + "/(" + f + "+" + z + "))";
        add(unknown.text + "=" + low + ".." + low + "+" + z + "*" + n_);
        known_.insert(unknown.text);
        add(p + "=" + f + "*" + unknown.text);
    }

    void check_safety() const {
        auto check = [&](const std::vector<Term>& args) {
            for (const Term& t : args)
                if (!is_known(t))
                    throw TranslateError(rule_.line,
                                         "variable " + t.text +
                                             " is unsafe: it occurs in no positive body "
                                             "atom and is bound by no builtin");
        };
        for (const Atom& h : rule_.head) check(h.args);
        for (const Literal& lit : rule_.body) check(lit.is_builtin ? lit.args : lit.atom.args);
    }

    const Rule& rule_;
    std::optional<std::int64_t> maxint_;
    std::string n_;
    std::unordered_set<std::string_view> known_;
    std::vector<std::string> parts_;
};

}  // namespace

std::string translate(const Program& program, std::optional<std::int64_t> maxint) {
    std::string out;
    int line = 1;
    bool line_used = false;
    for (const Rule& rule : program.rules) {
        if (rule.line > line) {
            out.append(static_cast<std::size_t>(rule.line - line), '\n');
            line = rule.line;
            line_used = false;
        }
        if (line_used) out += ' ';
        line_used = true;

        for (std::size_t i = 0; i < rule.head.size(); ++i) {
            if (i) out += "; ";
            append_atom(out, rule.head[i]);
        }
        std::vector<std::string> body = BodyWriter(rule, maxint).write();
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
