// The ground call of a step's rules (encoding.hpp).
#include "evaluation/session/encoding.hpp"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "evaluation/session/literals.hpp"

namespace vok::evaluation::engine {

namespace {

// The rule, or an instance of it grounded only where its positive body atom
// trigger first appears (none: -1).
void encodeRule(std::string& out, const SESSION_RULE& r, std::uint32_t call, int trigger,
                bool rejections) {
    const std::string_view holds = primed(PRIMED::HOLDS);
    std::string condition;
    // A conditional literal's condition would take in the literals after
    // it: a body that holds one separates its literals with ";".
    const std::string_view separator = r.conditionals.empty() ? ", " : "; ";
    auto add = [&](std::string& to, const auto&... part) {
        if (!to.empty()) to += separator;
        put(to, part...);
    };
    for (const std::string& p : r.positive) add(condition, p);
    for (const std::string& a : r.aggregates) add(condition, a);
    for (const std::string& b : r.builtins) add(condition, b);
    if (trigger >= 0)
        add(condition, "not ", primed(PRIMED::DEFINED), "(",
            r.positive[static_cast<std::size_t>(trigger)], ")");
    std::string body = condition;
    for (const std::string& c : r.conditionals) add(body, c);
    for (const std::string& n : r.negative) add(body, "not ", holds, "(0,", n, ")");
    for (const std::string& n : r.doubled) add(body, "not not ", holds, "(0,", n, ")");
    // The externals' condition leaves the conditional literals out (they
    // bind nothing); it may read ";" as clingo reads a body.
    const std::string when = condition.empty() ? "." : " : " + condition + ".";
    for (const auto* atoms : {&r.negative, &r.doubled})
        for (const std::string& n : *atoms)
            put(out, "#external ", holds, "(0,", n, ")", when, "\n");
    if (r.constraint) {
        if (body.empty()) put(out, ":- #true.\n");
        else put(out, ":- ", body, ".\n");
        return;
    }
    const std::string c = number(call), k = number(r.program), j = number(r.number);
    std::string above;
    put(above, holds, "(", number(r.program + 1ull), ",", r.complement, ")");
    std::string withBody = body;
    add(withBody, "not ", above);
    if (r.choice) {
        // The instance contributes when its program chose the head: one
        // choice per program and literal, as the rewriting has one update
        // atom, so that the rules of a program that choose the same literal
        // make one answer set, not one per rule (the constraints of
        // putChoiceConstraints make the choice where something else makes
        // the literal hold anyway).
        const std::string chosen =
            std::string(primed(PRIMED::CHOSEN)) + c + "(" + k + "," + r.head + ")";
        put(out, "{ ", chosen, " } :- ", withBody, ".\n");
        put(out, primed(PRIMED::CHOOSABLE), c, "(", k, ",", r.head, ") :- ", withBody, ".\n");
        put(out, primed(PRIMED::CHOICE_RULE), c, "(", k, ",", j, ").\n");
        std::string chosenBody = chosen;
        add(chosenBody, withBody);
        withBody = std::move(chosenBody);
    }
    put(out, primed(PRIMED::CONTRIBUTES), c, "(", k, ",", j, ",", r.head, ") :- ", withBody, ".\n");
    if (rejections) {
        withBody = body;
        add(withBody, above);
        put(out, primed(PRIMED::REJECTED), c, "(", k, ",", j, ",", r.variables, ",", r.complement,
            ") :- ", withBody, ".\n");
    }
    put(out, "#external ", above, when, "\n");
}

// Whether an atom's text is a ground atom written as clingo writes it:
// names, integers and parentheses only. Two such texts are the same atom
// exactly when they are the same text.
bool isPlainGround(std::string_view atom) {
    for (const char c : atom)
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '(' ||
              c == ')' || c == ',' || c == '-'))
            return false;
    return true;
}

// The atoms a signature may gain in the call, where all of them are known
// ground atoms (none: any atom may come, from a head with variables or
// from more atoms than are worth listing).
struct NEW_ATOMS {
    bool any = false;
    std::unordered_set<std::string_view> atoms;

    void add(std::string_view atom) {
        constexpr std::size_t Listed = 4096;
        if (any) return;
        if (!isPlainGround(atom) || atoms.size() == Listed) {
            any = true;
            atoms.clear();
            return;
        }
        atoms.insert(atom);
    }
    // An older rule needs its instance for a body atom only if the call may
    // bring that atom: a ground body atom that none of these is cannot be
    // defined anew, and its instance would never hold.
    bool mayBring(std::string_view atom) const {
        return any || !isPlainGround(atom) || atoms.contains(atom);
    }
};

// The signatures whose literals may gain contributions in the call: heads
// of the new rules and facts, and of older rules fed by those or by the
// handed signatures (which gain none themselves); with the atoms each may
// gain.
std::vector<std::uint32_t> receivingSignatures(
    const SESSION& s, const STEP& step, const std::vector<std::uint32_t>& handed,
    std::unordered_map<std::uint32_t, NEW_ATOMS>& gains) {
    std::vector<char> in(s.signatures.size(), 0);
    std::vector<std::uint32_t> list;
    auto add = [&](std::uint32_t sig, std::string_view atom) {
        if (sig == None) return;
        gains[sig].add(atom);
        if (in[sig]) return;
        in[sig] = 1;
        list.push_back(sig);
    };
    for (std::uint32_t f : step.cFacts) {
        const SESSION_LITERAL& l = s.literals[s.facts[f].literal];
        add(l.signature, l.text);
    }
    for (std::uint32_t k = step.first; k < s.programs.size(); ++k)
        for (const auto& [j, index] : s.programs[k].rules)
            if (!s.rules[index].kept) add(s.rules[index].headSignature, s.rules[index].head);
    auto feed = [&](std::uint32_t sig) {
        for (const auto& [index, atom] : s.signatures[sig].positiveUses) {
            const SESSION_RULE& r = s.rules[index];
            if (r.program < step.first && !r.constraint && !r.kept) add(r.headSignature, r.head);
        }
    };
    for (std::uint32_t sig : handed) feed(sig);
    for (std::size_t i = 0; i < list.size(); ++i) feed(list[i]);
    return list;
}

// The handed literals (maintained.hpp) that the step made true for the
// first time since clingo started become externals of the call, read at
// level 0 as a literal clingo defines; every handed literal whose truth
// clingo may not know gets its assignment (step.assignments). Returns the
// signatures of the new externals, whose older readers need instances.
std::vector<std::uint32_t> handTruths(SESSION& s, STEP& step, std::string& out,
                                      std::string_view call) {
    std::sort(step.handed.begin(), step.handed.end());
    step.handed.erase(std::unique(step.handed.begin(), step.handed.end()), step.handed.end());
    std::vector<std::uint32_t> sigs;
    for (std::uint32_t id : step.handed) {
        SESSION_LITERAL& l = s.literals[id];
        const bool truth = s.maintained->literals[id].truth;
        if (!l.handed && !truth) continue;
        if (!l.handed) {
            l.handed = true;
            row(out, PRIMED::HANDED, call, l.text);
            sigs.push_back(l.signature);
        }
        put(step.assignments, truth ? "1 " : "0 ", l.text, "\n");
    }
    std::sort(sigs.begin(), sigs.end());
    sigs.erase(std::unique(sigs.begin(), sigs.end()), sigs.end());
    const std::string_view handed = primed(PRIMED::HANDED);
    for (std::uint32_t sig : sigs) {
        const std::string p = pattern(s.signatures[sig]);
        put(out, "#external ", p, " : ", handed, call, "(", p, ").\n");
        put(out, primed(PRIMED::HOLDS), "(0,", p, ") :- ", handed, call, "(", p, "), ", p, ".\n");
    }
    step.declared = !sigs.empty();
    return sigs;
}

// A hook per literal costs clingo a frozen atom in every later solve, and
// going without one costs a ground from scratch should the literal gain a
// contribution later (said with -v), after which its predicate's literals
// all get hooks. Only a predicate that no rule derives and that takes many
// facts in the call goes without: a later step rarely states one of those
// facts again, and their hooks would weigh on every step.
void markBareSignatures(SESSION& s, const STEP& step, std::uint32_t call) {
    constexpr std::uint32_t BareFrom = 4096;                 // facts of the predicate in the call
    std::unordered_map<std::uint32_t, std::uint32_t> facts;  // signature -> count
    for (std::uint32_t f : step.cFacts) {
        const std::uint32_t sig = s.literals[s.facts[f].literal].signature;
        if (s.signatures[sig].hooked) continue;
        if (++facts[sig] == BareFrom) s.signatures[sig].bareCall = call;
    }
}

}  // namespace

void encodeFacts(const SESSION& s, std::string& out, const std::vector<std::uint32_t>& facts,
                 std::uint32_t call) {
    if (facts.empty()) return;
    const std::string c = number(call);
    // Each fact is one row of plain terms: a strongly negated literal goes
    // to rows of its own as its atom, and the rules below form each
    // complement. clingo reads a row with a "-" term, or a second compound
    // term, several times slower, and step 0 holds a row per fact.
    const std::string_view fact = primed(PRIMED::FACT), negated = primed(PRIMED::NEGATED_FACT);
    bool signs[2] = {false, false};
    for (std::uint32_t f : facts) {
        const SESSION_FACT& d = s.facts[f];
        const std::string_view text = s.literals[d.literal].text;
        const bool negative = text.starts_with('-');
        signs[negative] = true;
        put(out, negative ? negated : fact, c, "(", number(d.program), ",", number(d.rule), ",",
            negative ? text.substr(1) : text, ").\n");
    }
    const std::string_view holds = primed(PRIMED::HOLDS), contributes = primed(PRIMED::CONTRIBUTES),
                           rejected = primed(PRIMED::REJECTED);
    const bool rejections = rejectionsWanted(s.config);
    for (const bool negative : {false, true}) {
        if (!signs[negative]) continue;
        const std::string_view row = negative ? negated : fact;
        // (the literal, its complement) over the row's atom A
        const std::string_view literal = negative ? "-A" : "A", complement = negative ? "A" : "-A";
        put(out, contributes, c, "(K,J,", literal, ") :- ", row, c, "(K,J,A), not ", holds, "(K+1,",
            complement, ").\n");
        if (rejections)
            put(out, rejected, c, "(K,J,(),", complement, ") :- ", row, c, "(K,J,A), ", holds,
                "(K+1,", complement, ").\n");
        put(out, "#external ", holds, "(K+1,", complement, ") : ", row, c, "(K,J,A).\n");
    }
}

void show(SESSION& s, std::string& out, std::uint32_t sig) {
    if (s.signatures[sig].shown || s.signatures[sig].hidden) return;
    s.signatures[sig].shown = true;
    out += showOf(s.signatures[sig]);
}

std::string rulesPart(SESSION& s, STEP& step, std::uint32_t call) {
    markBareSignatures(s, step, call);
    std::string out;
    const bool rejections = rejectionsWanted(s.config);
    encodeFacts(s, out, step.cFacts, call);
    const std::string c = number(call);
    const std::vector<std::uint32_t> handed =
        s.maintained ? handTruths(s, step, out, c) : std::vector<std::uint32_t>();
    for (std::uint32_t k = step.first; k < s.programs.size(); ++k) {
        for (const auto& [j, index] : s.programs[k].rules)
            if (!s.rules[index].kept) encodeRule(out, s.rules[index], call, -1, rejections);
        for (std::uint32_t index : s.programs[k].constraints)
            encodeRule(out, s.rules[index], call, -1, false);
    }
    std::unordered_map<std::uint32_t, NEW_ATOMS> gains;
    const std::vector<std::uint32_t> receiving = receivingSignatures(s, step, handed, gains);
    for (std::uint32_t sig : handed)
        for (const auto& [index, atom] : s.signatures[sig].positiveUses)
            if (s.rules[index].program < step.first && !s.rules[index].kept)
                encodeRule(out, s.rules[index], call, static_cast<int>(atom), rejections);
    const std::string_view contributes = primed(PRIMED::CONTRIBUTES),
                           defined = primed(PRIMED::DEFINED), hook = primed(PRIMED::FINAL_HOOK);
    for (std::uint32_t sig : receiving) {
        // Older rules and constraints, for the instances the new atoms make.
        const NEW_ATOMS& gained = gains[sig];
        for (const auto& [index, atom] : s.signatures[sig].positiveUses) {
            const SESSION_RULE& r = s.rules[index];
            if (r.program < step.first && !r.kept && gained.mayBring(r.positive[atom]))
                encodeRule(out, r, call, static_cast<int>(atom), rejections);
        }
        // A literal is defined with its first contributions; later ones come
        // through its hook.
        const std::string p = pattern(s.signatures[sig]);
        put(out, p, " :- ", contributes, c, "(K,J,", p, "), not ", defined, "(", p, ").\n");
        if (s.signatures[sig].bareCall != call) {
            put(out, p, " :- ", hook, "(", c, ",", p, ").\n");
            put(out, "#external ", hook, "(", c, ",", p, ") : ", contributes, c, "(K,J,", p,
                "), not ", defined, "(", p, ").\n");
        }
        show(s, out, sig);
    }
    if (rejections) put(out, "#show ", primed(PRIMED::REJECTED), c, "/4.\n");
    return out;
}

}  // namespace vok::evaluation::engine
