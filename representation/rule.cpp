#include "rule.hpp"

#include <unordered_set>

// Never destroyed, like the name tables (see ident.cpp): freeing every rule
// at exit would only cost time.
std::vector<OID>& UpdateIDs = *new std::vector<OID>;
RULES& Pupd = *new RULES;
std::vector<CONSTRAINT>& Constraints = *new std::vector<CONSTRAINT>;
RULES& MinRules = *new RULES;
std::vector<CONSTRAINT>& MinConstraints = *new std::vector<CONSTRAINT>;

bool Saves(const BODY& body, const IDENT& term) {
    for (const LITERAL& l : body.literals) {
        if (l.negated || l.isComparison() || !l.args) continue;
        for (const IDENT& t : *l.args)
            if (t == term) return true;
    }
    return false;
}

namespace {

// The variables that the positive non-comparison literals of a body bind.
// Collected once, so that checking a body is linear in its size.
std::unordered_set<int> boundVariables(const BODY& body) {
    std::unordered_set<int> bound;
    for (const LITERAL& l : body.literals) {
        if (l.negated || l.isComparison() || !l.args) continue;
        for (const IDENT& t : *l.args)
            if (t.isVariable()) bound.insert(t.value);
    }
    return bound;
}

bool bodyIsSafe(const BODY& body, const std::unordered_set<int>& bound) {
    for (const LITERAL& l : body.literals) {
        if (!(l.negated || l.isComparison()) || !l.args) continue;
        for (const IDENT& t : *l.args)
            if (t.isVariable() && !bound.count(t.value)) return false;
    }
    return true;
}

}  // namespace

template <>
bool BODY::isSafe() const {
    return bodyIsSafe(*this, boundVariables(*this));
}

template <>
bool RULE::isSafe() const {
    std::unordered_set<int> bound;
    if (body) bound = boundVariables(*body);
    if (head)
        for (const ATOM& a : head->atoms) {
            if (!a.args) continue;
            for (const IDENT& t : *a.args)
                if (t.isVariable() && (!body || !bound.count(t.value))) return false;
        }
    if (!body) return true;
    return bodyIsSafe(*body, bound);
}

void print_list(std::ostream& out, const HEAD& head, const char* sep) {
    print_list(out, head.atoms.data(), head.atoms.data() + head.atoms.size(), sep);
}

void print_list(std::ostream& out, const BODY& body, const char* sep) {
    print_list(out, body.literals.data(), body.literals.data() + body.literals.size(), sep);
}

namespace {

void appendLiterals(std::string& out, const BODY& body) {
    for (std::size_t i = 0; i < body.literals.size(); ++i) {
        if (i) out += ", ";
        append_literal(out, body.literals[i]);
    }
}

void appendRule(std::string& out, const RULE& rule) {
    if (rule.head)
        for (std::size_t i = 0; i < rule.head->atoms.size(); ++i) {
            if (i) out += " v ";
            append_atom(out, rule.head->atoms[i]);
        }
    if (rule.body) {
        out += " :- ";
        appendLiterals(out, *rule.body);
    }
    out += '.';
}

void appendConstraint(std::string& out, const CONSTRAINT& constraint) {
    out += ":- ";
    appendLiterals(out, constraint);
    out += '.';
}

// Long lists go out in pieces of about this size.
constexpr std::size_t Piece = 1 << 16;

}  // namespace

void print_rule(std::ostream& out, const RULE& rule) {
    std::string text;
    appendRule(text, rule);
    out << text;
}

void print_constraint(std::ostream& out, const CONSTRAINT& constraint) {
    std::string text;
    appendConstraint(text, constraint);
    out << text;
}

void print_list(std::ostream& out, const RULE* first, const RULE* last, const char* sep) {
    std::string text;
    for (const RULE* r = first; r != last; ++r) {
        if (r != first) text += sep;
        appendRule(text, *r);
        if (text.size() >= Piece) {
            out << text;
            text.clear();
        }
    }
    out << text;
}

void print_list(std::ostream& out, const CONSTRAINT* first, const CONSTRAINT* last, const char* sep) {
    std::string text;
    for (const CONSTRAINT* c = first; c != last; ++c) {
        if (c != first) text += sep;
        appendConstraint(text, *c);
        if (text.size() >= Piece) {
            out << text;
            text.clear();
        }
    }
    out << text;
}
