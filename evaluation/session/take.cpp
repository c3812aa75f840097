// Taking a step's programs into the session's tables (take.hpp).
#include "evaluation/session/take.hpp"

#include <algorithm>
#include <vector>

#include "evaluation/session/keep.hpp"

namespace vok::evaluation::engine {

void touch(SESSION& s, STEP& step, std::uint32_t id) {
    SESSION_LITERAL& l = s.literals[id];
    if (l.touched) return;
    l.touched = true;
    l.wasBase = l.standing == STANDING::BASE;
    step.touched.push_back(id);
}

void makeDynamic(SESSION& s, STEP& step, std::uint32_t id, std::vector<std::uint32_t>& into) {
    SESSION_LITERAL& l = s.literals[id];
    if (l.standing == STANDING::DYNAMIC) return;
    if (l.standing == STANDING::BASE) {
        touch(s, step, id);
        for (std::uint32_t f = l.firstFact; f != None; f = s.facts[f].next) into.push_back(f);
    }
    l.standing = STANDING::DYNAMIC;
}

namespace {

// What reading the facts of a program needs again and again: the atom's
// text and, by the program's number of a predicate name and its sign, the
// signature last found for it.
struct FACT_READER {
    std::string text;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> signatures;  // (arity + 1, signature)
};

std::uint32_t factSignature(SESSION& s, FACT_READER& r, const ATOM& atom, bool pexa) {
    const ATOM_FORM f = formOf(atom, pexa);
    r.text = f.text;
    const std::uint32_t name = atom.predicate.number;
    if (name == NAME::NoNumber) return s.signatures.of(f.sign);
    const std::size_t at = std::size_t{name} * 2 + (atom.stronglyNegated ? 1 : 0);
    if (at >= r.signatures.size()) r.signatures.resize(at + 1, {0, None});
    auto& cached = r.signatures[at];
    if (cached.first != atom.args.size() + 1)
        cached = {static_cast<std::uint32_t>(atom.args.size() + 1), s.signatures.of(f.sign)};
    return cached.second;
}

// A fact of a program taken in this step: in the maintained part when its
// group is kept, otherwise to clingo with the rules.
void takeKeptFact(SESSION& s, STEP& step, std::uint32_t sig, std::uint32_t id,
                  std::uint32_t program) {
    const char where = groupStanding(s, sig);
    if (where != CLINGO) keepFact(s, id, program);
    if (where == KEPT || where == HANDED) return;
    s.literals[id].standing = STANDING::DYNAMIC;
    step.cFacts.push_back(s.literals[id].firstFact);
}

// A fact of a program taken in this step: in the base when nothing else can
// touch its literal, otherwise to clingo with the rules.
void takeFact(SESSION& s, STEP& step, FACT_READER& r, std::uint32_t program, std::uint32_t number,
              const ATOM& atom) {
    const std::uint32_t sig = factSignature(s, r, atom, s.config.form == FILE_FORM::PEXA);
    const std::uint32_t id = s.literals.intern(r.text, sig);
    if (s.maintained) {
        s.facts.push_back({program, number, id, s.literals[id].firstFact});
        s.literals[id].firstFact = static_cast<std::uint32_t>(s.facts.size() - 1);
        return takeKeptFact(s, step, sig, id, program);
    }
    const std::uint32_t other = s.literals.knownComplement(id);
    const STANDING otherStanding = other == None ? STANDING::NONE : s.literals[other].standing;
    const auto f = static_cast<std::uint32_t>(s.facts.size());
    s.facts.push_back({program, number, id, s.literals[id].firstFact});
    s.literals[id].firstFact = f;
    SESSION_LITERAL& l = s.literals[id];
    if (l.standing != STANDING::DYNAMIC && !s.signatures[sig].referenced && !s.aggregates &&
        otherStanding == STANDING::NONE) {
        if (l.standing == STANDING::NONE) {
            touch(s, step, id);
            l.standing = STANDING::BASE;
            s.signatures[sig].baseLiterals.push_back(id);
        }
        return;
    }
    if (l.standing == STANDING::BASE) {
        makeDynamic(s, step, id, step.cFacts);
    } else {
        l.standing = STANDING::DYNAMIC;
        step.cFacts.push_back(f);
    }
    if (otherStanding == STANDING::BASE) makeDynamic(s, step, other, step.cFacts);
}

void reference(SESSION& s, STEP& step, std::uint32_t sig) {
    if (s.signatures[sig].referenced) return;
    s.signatures[sig].referenced = true;
    step.newlyReferenced.push_back(sig);
}

std::uint32_t storeRule(SESSION& s, STEP& step, std::uint32_t program, READ_RULE& r) {
    SESSION_RULE rule = std::move(r.rule);
    rule.program = program;
    rule.number = r.number;
    const auto index = static_cast<std::uint32_t>(s.rules.size());
    if (!rule.constraint) {
        rule.headSignature = s.signatures.of(r.head);
        s.signatures[rule.headSignature].hooked = true;
        s.signatures[rule.headSignature].hidden = r.hidden;
    }
    for (std::size_t i = 0; i < r.positive.size(); ++i) {
        const std::uint32_t sig = s.signatures.of(r.positive[i]);
        rule.positiveSignatures.push_back(sig);
        s.signatures[sig].positiveUses.emplace_back(index, static_cast<std::uint32_t>(i));
        reference(s, step, sig);
    }
    for (const SIGN& n : r.negative) reference(s, step, s.signatures.of(n));
    if (!rule.positive.empty() && !rule.constraint) s.programs[program].late = true;
    if ((!rule.aggregates.empty() || !rule.conditionals.empty()) && !s.aggregates) {
        // An aggregate may count any literal: none stays in the base.
        s.aggregates = true;
        for (std::uint32_t sig = 0; sig < s.signatures.size(); ++sig) reference(s, step, sig);
    }
    s.choices = s.choices || rule.choice;
    s.rules.push_back(std::move(rule));
    s.componentsValid = false;
    return index;
}

}  // namespace

void takePrograms(SESSION& s, STEP& step, std::vector<READ_PROGRAM>& read) {
    step.first = static_cast<std::uint32_t>(s.programs.size());
    for (READ_PROGRAM& program : read) {
        const auto k = static_cast<std::uint32_t>(s.programs.size());
        s.programs.emplace_back();
        for (READ_RULE& r : program.rules) {
            const std::uint32_t index = storeRule(s, step, k, r);
            if (s.maintained) keepRule(s, index, r);
            if (s.rules[index].constraint) s.programs[k].constraints.push_back(index);
            else s.programs[k].rules.emplace_back(s.rules[index].number, index);
        }
        program.rules.clear();
    }
    if (s.maintained) step.rebuild = settleGroups(s, step);
    for (std::uint32_t sig : step.newlyReferenced) {
        for (std::uint32_t id : s.signatures[sig].baseLiterals)
            makeDynamic(s, step, id, step.cFacts);
        std::vector<std::uint32_t>().swap(s.signatures[sig].baseLiterals);
    }
    // The facts' literals, at most one per fact: the tables grow once for a
    // step of many facts.
    std::size_t facts = 0;
    for (const READ_PROGRAM& r : read)
        facts += static_cast<std::size_t>(
            std::count_if(r.program.rules.begin(), r.program.rules.end(), isFact));
    s.literals.reserve(facts);
    if (s.maintained) reserveMore(s.maintained->literals, facts);
    for (std::size_t i = 0; i < read.size(); ++i) {
        FACT_READER reader;
        std::uint32_t number = 0;
        for (const RULE& rule : read[i].program.rules) {
            if (rule.head.size() != 1) continue;
            if (isFact(rule))
                takeFact(s, step, reader, step.first + static_cast<std::uint32_t>(i), number,
                         rule.head[0]);
            ++number;
        }
        read[i].program = PROGRAM();
    }
    if (!s.maintained) return;
    std::string why = updateKept(s, step);
    if (step.rebuild.empty()) step.rebuild = std::move(why);
}

}  // namespace vok::evaluation::engine
