#include "evaluation/session/engine.hpp"

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <unordered_map>
#include <utility>

#include "evaluation/clingo/names.hpp"
#include "evaluation/clingo/one_run.hpp"
#include "evaluation/clingo/translate.hpp"
#include "evaluation/program/reader.hpp"
#include "evaluation/solve/answer_sets.hpp"
#include "evaluation/solve/session_clingo.hpp"
#include "evaluation/solve/solver.hpp"

namespace vok::evaluation {

namespace {

constexpr std::uint32_t None = UINT32_MAX;

enum class STANDING : std::uint8_t {
    NONE,     // nothing derives the literal
    BASE,     // only facts derive it, and it is in the base set
    DYNAMIC,  // it is in clingo
};

struct SESSION_LITERAL {
    std::string_view text;  // in clingo's form, kept in SESSION::texts
    std::uint32_t hash = 0;
    std::uint32_t signature = None;
    std::uint32_t complement = None;
    std::uint32_t firstFact = None;  // its facts, linked through SESSION_FACT::next
    std::uint32_t finalHook = None;  // the open hook f'(N,H) of the literal itself; None: undefined
    std::uint32_t firstRecord = None;  // without levels: the levels of its contributions
    STANDING standing = STANDING::NONE;
    bool chained = false;   // it has levels (SESSION::levels), as its complement has contributions
    bool finalNew = false;  // defined by the ground call of the step's rules
    bool touched = false;   // the step changed its standing
    bool wasBase = false;   // its standing at the start of the step was BASE
};

// A contribution to a literal without levels yet: the ground call that
// made it and its level, for the levels made later.
struct LEVEL_RECORD {
    std::uint32_t call;
    std::uint32_t level;
    std::uint32_t next;
};

struct SESSION_FACT {
    std::uint32_t program;
    std::uint32_t rule;
    std::uint32_t literal;
    std::uint32_t next;
};

struct SESSION_SIGNATURE {
    std::string name;  // the predicate in clingo's form, without "-"
    std::uint32_t arity = 0;
    bool negative = false;
    std::uint32_t complement = None;
    bool referenced = false;  // a rule body or a constraint uses it
    bool shown = false;
    std::vector<std::uint32_t> baseLiterals;  // may hold some no longer in the base
    // The rules and constraints with a positive body atom of it: (rule, atom).
    std::vector<std::pair<std::uint32_t, std::uint32_t>> positiveUses;
};

// A rule with a body, or a constraint, in clingo's form.
struct SESSION_RULE {
    std::uint32_t program = 0;
    std::uint32_t number = 0;  // among the rules of its program (facts count)
    bool constraint = false;
    std::string head, complement;
    std::uint32_t headSignature = None;
    std::vector<std::string> positive;
    std::vector<std::uint32_t> positiveSignatures;
    std::vector<std::string> negative;
    std::vector<std::string> builtins;
    std::string variables;  // the tuple of the rule's variables, "(X0,X1)"
};

struct SESSION_PROGRAM {
    bool late = false;  // a rule has a positive body atom: old levels may gain contributions
    // (number, index in rules) of its rules with a body, by number.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> rules;
    std::vector<std::uint32_t> constraints;
};

// What one literal received in the step.
struct RECEIVED {
    std::uint32_t literal;
    std::vector<std::pair<std::uint32_t, bool>> levels;  // (level, in the link call)
    bool fromRules = false;                              // in the ground call of the rules
    bool fromLink = false;                               // in the link call
};

// A level of a literal that has levels: h'(LEVEL,H), the ground call
// whose hook k'(HOOK,LEVEL,H) takes what later steps add to it, and the
// ground call that made it.
struct LEVEL {
    std::uint32_t level;
    std::uint32_t hook;
    std::uint32_t made;
};

struct STEP {
    std::uint32_t first = 0;             // the first program grounded in full
    std::vector<std::uint32_t> cFacts;   // facts grounded with the rules
    std::vector<std::uint32_t> lFacts;   // facts grounded with the link
    std::vector<std::uint32_t> touched;  // literals whose standing changed
    std::vector<std::uint32_t> newFinals;
    std::vector<RECEIVED> received;
    std::unordered_map<std::uint32_t, std::uint32_t> receivedAt;  // literal -> index
    std::vector<std::uint32_t> newlyReferenced;
    std::string rebuild;  // why the step is grounded again from scratch
    std::size_t contributions = 0;
};

// A signature as the text of an atom shows it.
struct SIGN {
    std::string key, name;  // key: "-p/2"
    std::uint32_t arity = 0;
    bool negative = false;
};

// A rule with a body, or a constraint, as read, before it is taken.
struct READ_RULE {
    std::uint32_t number = 0;
    SESSION_RULE rule;
    SIGN head;  // of a rule
    std::vector<SIGN> positive, negative;
};

// One program as read: its facts stay in the program read.
struct READ_PROGRAM {
    PROGRAM program;
    std::vector<READ_RULE> rules;
};

}  // namespace

struct SESSION {
    SESSION_CONFIG config;
    CLINGO_CHANNEL clingo;
    std::string script;
    std::uint32_t calls = 0;
    std::uint32_t steps = 0;
    // clingo's every ground call takes longer with every rule and external
    // statement it was given before: those of the last ground from scratch
    // (the rules of the sequence) and those added since.
    std::size_t scratchStatements = 0;
    std::size_t addedStatements = 0;
    std::size_t scratchContributions = 0;
    std::vector<SESSION_PROGRAM> programs;
    std::vector<SESSION_RULE> rules;
    std::vector<SESSION_FACT> facts;
    std::vector<SESSION_LITERAL> literals;
    BLOCKS<char> texts;                // the literals' texts
    std::vector<std::uint32_t> slots;  // the literals by hash: 1 + number, 0 free
    std::vector<SESSION_SIGNATURE> signatures;
    std::unordered_map<std::string, std::uint32_t> signatureIds;
    // The levels of the literals that have them, sorted: the levels of
    // their contributions and those their complement's rules ask about.
    std::unordered_map<std::uint32_t, std::vector<LEVEL>> levels;
    std::vector<LEVEL_RECORD> records;
    // The signature graph's components, by signature, while valid.
    std::vector<std::uint32_t> components;
    bool componentsValid = false;
};

namespace {

// ---- names and texts ------------------------------------------------------

std::string number(std::uint64_t n) { return std::to_string(n); }

// The atom in clingo's form; pexa's "NEG_p" is the strong negation of p.
struct ATOM_FORM {
    std::string text;
    SIGN sign;
};

ATOM_FORM formOf(const ATOM& atom, bool pexa) {
    ATOM_FORM f;
    bool negative = atom.stronglyNegated;
    NAME name = atom.predicate;
    if (pexa && name.text.size() > 4 && name.text.starts_with("NEG_")) {
        negative = !negative;
        name.text.remove_prefix(4);
        const bool quoted = name.text.find('"') != std::string_view::npos;
        name.kind = quoted ? NAME::KIND::QUOTED : NAME::KIND::IDENTIFIER;
    }
    f.sign.name = encodePredicate(name);
    f.sign.arity = static_cast<std::uint32_t>(atom.args.size());
    f.sign.negative = negative;
    f.sign.key = (negative ? "-" : "") + f.sign.name + "/" + number(f.sign.arity);
    if (negative) f.text += '-';
    f.text += f.sign.name;
    if (!atom.args.empty()) {
        f.text += '(';
        for (std::size_t i = 0; i < atom.args.size(); ++i) {
            if (i) f.text += ',';
            appendTerm(f.text, atom.args[i]);
        }
        f.text += ')';
    }
    return f;
}

std::string complementText(std::string_view literal) {
    return literal.starts_with('-') ? std::string(literal.substr(1)) : "-" + std::string(literal);
}

// p(X0,...,Xk-1) over a signature, for the rules that handle its atoms alike.
std::string pattern(const SESSION_SIGNATURE& sig, bool complement = false) {
    std::string p = (sig.negative != complement) ? "-" : "";
    p += sig.name;
    if (sig.arity == 0) return p;
    p += '(';
    for (std::uint32_t i = 0; i < sig.arity; ++i) p += (i ? ",X" : "X") + number(i);
    return p + ')';
}

std::string showOf(const SESSION_SIGNATURE& sig) {
    return "#show " + std::string(sig.negative ? "-" : "") + sig.name + "/" + number(sig.arity) +
           ".\n";
}

// The tuple of a rule's variables: X0, X1, ... in the order of their numbers
// when all are named so (as vok writes them), otherwise in order of
// appearance.
std::string variablesOf(const RULE& rule) {
    std::vector<std::string_view> names;
    auto note = [&](TERMS args) {
        for (const TERM& t : args)
            if (t.kind == TERM::KIND::VARIABLE &&
                std::find(names.begin(), names.end(), t.text) == names.end())
                names.push_back(t.text);
    };
    for (const ATOM& h : rule.head) note(h.args);
    for (const LITERAL& l : rule.body) note(l.atom.args);
    auto numbered = [](std::string_view v, unsigned long& n) {
        if (v.size() < 2 || v[0] != 'X') return false;
        n = 0;
        for (char c : v.substr(1)) {
            if (c < '0' || c > '9') return false;
            n = n * 10 + static_cast<unsigned long>(c - '0');
        }
        return true;
    };
    unsigned long n = 0;
    if (std::all_of(names.begin(), names.end(), [&](std::string_view v) { return numbered(v, n); }))
        std::sort(names.begin(), names.end(), [&](std::string_view a, std::string_view b) {
            unsigned long x = 0, y = 0;
            numbered(a, x);
            numbered(b, y);
            return x < y;
        });
    std::string t = "(";
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i) t += ',';
        t += names[i];
    }
    if (names.size() == 1) t += ',';
    return t + ')';
}

// The file's notation of an atom or term in clingo's form: names decoded,
// strings without escapes.
std::string fileNotation(std::string_view clingo) {
    if (clingo.find_first_of("'\"") == std::string_view::npos) return std::string(clingo);
    std::string set = formatAnswerSet(clingo);
    return set.substr(1, set.size() - 2);
}

std::string termNotation(std::string_view clingo) {
    if (!clingo.starts_with('"')) return std::string(clingo);
    std::string out = "\"";
    for (std::size_t i = 1; i + 1 < clingo.size(); ++i) {
        char c = clingo[i];
        if (c == '\\' && i + 2 < clingo.size()) {
            c = clingo[++i];
            if (c == 'n') c = '\n';
        }
        out += c;
    }
    return out + '"';
}

// pexa writes strong negation as the prefix "NEG_".
std::string pexaNotation(std::string atom) {
    return atom.starts_with('-') ? "NEG_" + atom.substr(1) : atom;
}

// ---- reading a step's programs --------------------------------------------

[[noreturn]] void refuse(std::size_t program, std::size_t count, int line, const std::string& why) {
    std::string where = count > 1 ? "program " + number(program + 1) + " of the step, " : "";
    throw SESSION_REFUSED(where + "line " + number(static_cast<std::uint64_t>(line)) + ": " + why);
}

bool isFact(const RULE& rule) { return rule.head.size() == 1 && rule.body.empty(); }

READ_RULE readRule(const RULE& rule, const SESSION_CONFIG& config, std::uint32_t number) {
    const bool pexa = config.form == FILE_FORM::PEXA;
    READ_RULE r;
    std::vector<std::string> parts = BodyParts(rule, config.maxint);
    r.number = number;
    if (rule.head.size() == 1) {
        ATOM_FORM h = formOf(rule.head[0], pexa);
        r.rule.complement = complementText(h.text);
        r.rule.head = std::move(h.text);
        r.head = h.sign;
    } else {
        r.rule.constraint = true;
    }
    std::size_t atoms = 0;
    for (const LITERAL& l : rule.body) {
        if (l.isBuiltin) continue;
        ATOM_FORM a = formOf(l.atom, pexa);
        ++atoms;
        if (l.negated) {
            r.rule.negative.push_back(std::move(a.text));
            r.negative.push_back(a.sign);
        } else {
            r.rule.positive.push_back(std::move(a.text));
            r.positive.push_back(a.sign);
        }
    }
    r.rule.builtins.assign(parts.begin() + static_cast<std::ptrdiff_t>(atoms), parts.end());
    r.rule.variables = variablesOf(rule);
    return r;
}

// Reads a program and checks what clingo will be given of it: rules with
// one head literal, ground facts, bodies it can translate.
READ_PROGRAM readProgram(const std::string& text, const SESSION_CONFIG& config, std::size_t program,
                         std::size_t count) {
    try {
        READ_PROGRAM read{config.form == FILE_FORM::ROX ? ReadRox(text) : ReadPexa(text), {}};
        std::uint32_t number = 0;
        for (const RULE& rule : read.program.rules) {
            if (rule.head.size() > 1)
                throw TRANSLATE_ERROR(rule.line, "an update program's rule has one head literal");
            if (isFact(rule)) {
                if (!isGround(rule.head[0].args))
                    throw TRANSLATE_ERROR(rule.line, "a fact holds no variable");
                ++number;
                continue;
            }
            read.rules.push_back(readRule(rule, config, number));
            if (!read.rules.back().rule.constraint) ++number;
        }
        return read;
    } catch (const SYNTAX_ERROR& e) {
        refuse(program, count, e.line, e.what());
    } catch (const TRANSLATE_ERROR& e) {
        refuse(program, count, e.line, e.what());
    }
}

// ---- the tables -------------------------------------------------------------

std::uint32_t signatureOf(SESSION& s, const SIGN& sign) {
    auto [at, fresh] =
        s.signatureIds.try_emplace(sign.key, static_cast<std::uint32_t>(s.signatures.size()));
    if (!fresh) return at->second;
    SESSION_SIGNATURE sig;
    sig.name = sign.name;
    sig.arity = sign.arity;
    sig.negative = sign.negative;
    s.signatures.push_back(std::move(sig));
    const std::uint32_t id = at->second;
    const std::string other = (sign.negative ? "" : "-") + sign.name + "/" + number(sign.arity);
    auto found = s.signatureIds.find(other);
    if (found != s.signatureIds.end()) {
        s.signatures[id].complement = found->second;
        s.signatures[found->second].complement = id;
    }
    return id;
}

std::uint32_t textHash(std::string_view text) {
    return static_cast<std::uint32_t>(std::hash<std::string_view>{}(text));
}

// The place of text in the slots: its literal's, or the free one it would
// take.
std::size_t probe(const SESSION& s, std::string_view text, std::uint32_t h) {
    const std::size_t mask = s.slots.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
        const std::uint32_t slot = s.slots[i];
        if (slot == 0) return i;
        const SESSION_LITERAL& l = s.literals[slot - 1];
        if (l.hash == h && l.text == text) return i;
    }
}

void growSlots(SESSION& s) {
    std::vector<std::uint32_t> slots(s.slots.empty() ? 1024 : 2 * s.slots.size(), 0);
    const std::size_t mask = slots.size() - 1;
    for (std::uint32_t id = 0; id < s.literals.size(); ++id) {
        std::size_t i = s.literals[id].hash & mask;
        while (slots[i] != 0) i = (i + 1) & mask;
        slots[i] = id + 1;
    }
    s.slots = std::move(slots);
}

// The literal of text, or None.
std::uint32_t findLiteral(const SESSION& s, std::string_view text) {
    if (s.slots.empty()) return None;
    const std::uint32_t slot = s.slots[probe(s, text, textHash(text))];
    return slot == 0 ? None : slot - 1;
}

std::uint32_t literalOf(SESSION& s, std::string_view text, std::uint32_t signature) {
    if (2 * (s.literals.size() + 1) > s.slots.size()) growSlots(s);
    const std::uint32_t h = textHash(text);
    const std::size_t at = probe(s, text, h);
    if (s.slots[at] != 0) return s.slots[at] - 1;
    SESSION_LITERAL l;
    const std::span<const char> kept =
        keep(s.texts, std::span<const char>(text.data(), text.size()));
    l.text = std::string_view(kept.data(), kept.size());
    l.hash = h;
    l.signature = signature;
    s.literals.push_back(l);
    s.slots[at] = static_cast<std::uint32_t>(s.literals.size());
    return static_cast<std::uint32_t>(s.literals.size() - 1);
}

// The complement if it is known, without making it; None otherwise.
std::uint32_t knownComplement(SESSION& s, std::uint32_t id, std::string& buffer) {
    if (s.literals[id].complement != None) return s.literals[id].complement;
    const std::string_view text = s.literals[id].text;
    buffer.clear();
    if (text.starts_with('-')) buffer.append(text.substr(1));
    else buffer.append("-").append(text);
    const std::uint32_t other = findLiteral(s, buffer);
    if (other != None) {
        s.literals[id].complement = other;
        s.literals[other].complement = id;
    }
    return other;
}

// Notes the literal's standing at the start of the step, once.
void touch(SESSION& s, STEP& step, std::uint32_t id) {
    SESSION_LITERAL& l = s.literals[id];
    if (l.touched) return;
    l.touched = true;
    l.wasBase = l.standing == STANDING::BASE;
    step.touched.push_back(id);
}

// The literal goes to clingo; with into, so do the facts it had in the base.
void makeDynamic(SESSION& s, STEP& step, std::uint32_t id, std::vector<std::uint32_t>& into) {
    SESSION_LITERAL& l = s.literals[id];
    if (l.standing == STANDING::DYNAMIC) return;
    if (l.standing == STANDING::BASE) {
        touch(s, step, id);
        for (std::uint32_t f = l.firstFact; f != None; f = s.facts[f].next) into.push_back(f);
    }
    l.standing = STANDING::DYNAMIC;
}

// What reading the facts of a program needs again and again: the atom's
// text and, by the program's number of a predicate name and its sign, the
// signature last found for it.
struct FACT_READER {
    std::string text, buffer;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> signatures;  // (arity + 1, signature)
};

std::uint32_t factSignature(SESSION& s, FACT_READER& r, const ATOM& atom, bool pexa) {
    const ATOM_FORM f = formOf(atom, pexa);
    r.text = f.text;
    const std::uint32_t name = atom.predicate.number;
    if (name == NAME::NoNumber) return signatureOf(s, f.sign);
    const std::size_t at = std::size_t{name} * 2 + (atom.stronglyNegated ? 1 : 0);
    if (at >= r.signatures.size()) r.signatures.resize(at + 1, {0, None});
    auto& cached = r.signatures[at];
    if (cached.first != atom.args.size() + 1)
        cached = {static_cast<std::uint32_t>(atom.args.size() + 1), signatureOf(s, f.sign)};
    return cached.second;
}

// A fact of a program taken in this step: in the base when nothing else can
// touch its literal, otherwise to clingo with the rules.
void takeFact(SESSION& s, STEP& step, FACT_READER& r, std::uint32_t program, std::uint32_t number,
              const ATOM& atom) {
    const std::uint32_t sig = factSignature(s, r, atom, s.config.form == FILE_FORM::PEXA);
    const std::uint32_t id = literalOf(s, r.text, sig);
    const std::uint32_t other = knownComplement(s, id, r.buffer);
    const STANDING otherStanding = other == None ? STANDING::NONE : s.literals[other].standing;
    const auto f = static_cast<std::uint32_t>(s.facts.size());
    s.facts.push_back({program, number, id, s.literals[id].firstFact});
    s.literals[id].firstFact = f;
    SESSION_LITERAL& l = s.literals[id];
    if (l.standing != STANDING::DYNAMIC && !s.signatures[sig].referenced &&
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
    if (!rule.constraint) rule.headSignature = signatureOf(s, r.head);
    for (std::size_t i = 0; i < r.positive.size(); ++i) {
        const std::uint32_t sig = signatureOf(s, r.positive[i]);
        rule.positiveSignatures.push_back(sig);
        s.signatures[sig].positiveUses.emplace_back(index, static_cast<std::uint32_t>(i));
        reference(s, step, sig);
    }
    for (const SIGN& n : r.negative) reference(s, step, signatureOf(s, n));
    if (!rule.positive.empty() && !rule.constraint) s.programs[program].late = true;
    s.rules.push_back(std::move(rule));
    s.componentsValid = false;
    return index;
}

// Takes the programs read: their rules, the signatures their bodies use
// (whose literals leave the base), then their facts.
void takePrograms(SESSION& s, STEP& step, std::vector<READ_PROGRAM>& read) {
    step.first = static_cast<std::uint32_t>(s.programs.size());
    for (READ_PROGRAM& program : read) {
        const auto k = static_cast<std::uint32_t>(s.programs.size());
        s.programs.emplace_back();
        for (READ_RULE& r : program.rules) {
            const std::uint32_t index = storeRule(s, step, k, r);
            if (s.rules[index].constraint) s.programs[k].constraints.push_back(index);
            else s.programs[k].rules.emplace_back(s.rules[index].number, index);
        }
        program.rules.clear();
    }
    for (std::uint32_t sig : step.newlyReferenced) {
        for (std::uint32_t id : s.signatures[sig].baseLiterals)
            makeDynamic(s, step, id, step.cFacts);
        std::vector<std::uint32_t>().swap(s.signatures[sig].baseLiterals);
    }
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
}

// ---- the ground call of the rules -----------------------------------------

// Rejection atoms are read by explanations and minimality only.
bool rejectionsWanted(const SESSION_CONFIG& config) {
    return config.explain || config.minimal != MINIMALITY::NONE;
}

// Without them, clingo prints the answer sets itself, faster than the
// script can.
bool clingoPrints(const SESSION_CONFIG& config) { return !rejectionsWanted(config); }

// The rule, or an instance of it grounded only where its positive body atom
// trigger first appears (none: -1).
void encodeRule(std::string& out, const SESSION_RULE& r, std::uint32_t call, int trigger,
                bool rejections) {
    std::string condition;
    auto add = [](std::string& to, std::string_view part) {
        if (!to.empty()) to += ", ";
        to += part;
    };
    for (const std::string& p : r.positive) add(condition, p);
    for (const std::string& b : r.builtins) add(condition, b);
    if (trigger >= 0)
        add(condition, "not z'(" + r.positive[static_cast<std::size_t>(trigger)] + ")");
    std::string body = condition;
    for (const std::string& n : r.negative) add(body, "not h'(0," + n + ")");
    const std::string when = condition.empty() ? "." : " : " + condition + ".";
    for (const std::string& n : r.negative) out += "#external h'(0," + n + ")" + when + "\n";
    if (r.constraint) {
        out += body.empty() ? ":- #true.\n" : ":- " + body + ".\n";
        return;
    }
    const std::string c = number(call), k = number(r.program), j = number(r.number);
    const std::string above = "h'(" + number(r.program + 1ull) + "," + r.complement + ")";
    std::string withBody = body;
    add(withBody, "not " + above);
    out += "o'" + c + "(" + k + "," + j + "," + r.head + ") :- " + withBody + ".\n";
    if (rejections) {
        withBody = body;
        add(withBody, above);
        out += "r'" + c + "(" + k + "," + j + "," + r.variables + "," + r.complement + ") :- " +
               withBody + ".\n";
    }
    out += "#external " + above + when + "\n";
}

// Facts as data, with the rule that makes their contributions.
void encodeFacts(SESSION& s, std::string& out, const std::vector<std::uint32_t>& facts,
                 std::uint32_t call) {
    if (facts.empty()) return;
    const std::string c = number(call);
    for (std::uint32_t f : facts) {
        const SESSION_FACT& fact = s.facts[f];
        const SESSION_LITERAL& l = s.literals[fact.literal];
        out += "d'" + c + "(" + number(fact.program) + "," + number(fact.rule) + "," +
               std::string(l.text) + "," + complementText(l.text) + ").\n";
    }
    out += "o'" + c + "(K,J,H) :- d'" + c + "(K,J,H,C), not h'(K+1,C).\n";
    if (rejectionsWanted(s.config))
        out += "r'" + c + "(K,J,(),C) :- d'" + c + "(K,J,H,C), h'(K+1,C).\n";
    out += "#external h'(K+1,C) : d'" + c + "(K,J,H,C).\n";
}

void show(SESSION& s, std::string& out, std::uint32_t sig) {
    if (s.signatures[sig].shown) return;
    s.signatures[sig].shown = true;
    out += showOf(s.signatures[sig]);
}

// The signatures whose literals may gain contributions in the call: heads
// of the new rules and facts, and of older rules fed by those.
std::vector<std::uint32_t> receivingSignatures(SESSION& s, const STEP& step) {
    std::vector<char> in(s.signatures.size(), 0);
    std::vector<std::uint32_t> list;
    auto add = [&](std::uint32_t sig) {
        if (sig == None || in[sig]) return;
        in[sig] = 1;
        list.push_back(sig);
    };
    for (std::uint32_t f : step.cFacts) add(s.literals[s.facts[f].literal].signature);
    for (std::uint32_t k = step.first; k < s.programs.size(); ++k)
        for (const auto& [j, index] : s.programs[k].rules) add(s.rules[index].headSignature);
    for (std::size_t i = 0; i < list.size(); ++i)
        for (const auto& [index, atom] : s.signatures[list[i]].positiveUses) {
            const SESSION_RULE& r = s.rules[index];
            if (r.program < step.first && !r.constraint) add(r.headSignature);
        }
    return list;
}

std::string rulesPart(SESSION& s, const STEP& step, std::uint32_t call) {
    std::string out;
    encodeFacts(s, out, step.cFacts, call);
    for (std::uint32_t k = step.first; k < s.programs.size(); ++k) {
        for (const auto& [j, index] : s.programs[k].rules)
            encodeRule(out, s.rules[index], call, -1, rejectionsWanted(s.config));
        for (std::uint32_t index : s.programs[k].constraints)
            encodeRule(out, s.rules[index], call, -1, false);
    }
    const std::vector<std::uint32_t> receiving = receivingSignatures(s, step);
    const std::string c = number(call);
    for (std::uint32_t sig : receiving) {
        // Older rules and constraints, for the instances the new atoms make.
        for (const auto& [index, atom] : s.signatures[sig].positiveUses)
            if (s.rules[index].program < step.first)
                encodeRule(out, s.rules[index], call, static_cast<int>(atom),
                           rejectionsWanted(s.config));
        // A literal is defined with its first contributions; later ones come
        // through its hook.
        const std::string p = pattern(s.signatures[sig]);
        out += p + " :- o'" + c + "(K,J," + p + "), not z'(" + p + ").\n";
        out += p + " :- f'(" + c + "," + p + ").\n";
        out +=
            "#external f'(" + c + "," + p + ") : o'" + c + "(K,J," + p + "), not z'(" + p + ").\n";
        show(s, out, sig);
    }
    if (rejectionsWanted(s.config)) out += "#show r'" + c + "/4.\n";
    return out;
}

// ---- talking to clingo ------------------------------------------------------

[[noreturn]] void clingoFailed(SESSION& s, const std::string& why) {
    StopSessionClingo(s.clingo, true);
    throw SESSION_FAILED(why);
}

std::string replyOf(SESSION& s) {
    std::string line;
    if (!ReadFromClingo(s.clingo, line)) clingoFailed(s, "clingo ended during the session");
    if (line.starts_with("error ")) clingoFailed(s, "clingo: " + line.substr(6));
    return line;
}

void send(SESSION& s, const std::string& text) {
    if (!SendToClingo(s.clingo, text)) clingoFailed(s, "clingo ended during the session");
}

// The statements of a part that make later ground calls slower: rules and
// externals (facts do not).
std::size_t heavyStatements(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t at = 0; (at = text.find(":-", at)) != std::string_view::npos; at += 2) ++n;
    for (std::size_t at = 0; (at = text.find("#external", at)) != std::string_view::npos; at += 9)
        ++n;
    return n;
}

// Adds a program part and grounds it.
void ground(SESSION& s, const std::string& name, const std::string& text) {
    s.addedStatements += heavyStatements(text);
    send(s, "add " + name + " " + number(text.size()) + "\n" + text);
    if (replyOf(s) != "ok") clingoFailed(s, "clingo answered out of turn");
}

void startClingo(SESSION& s) {
    std::vector<std::string> args{"--warn=none"};
    args.insert(args.end(), s.config.clingoOptions.begin(), s.config.clingoOptions.end());
    if (s.config.minimal != MINIMALITY::NONE) args.push_back("--heuristic=Domain");
    if (clingoPrints(s.config)) args.insert(args.end(), {"--outf=0", "--verbose=1"});
    else args.insert(args.end(), {"--outf=3", "--verbose=0"});
    args.push_back("/dev/fd/3");
    std::string error = StartSessionClingo(s.config.clingo, args, s.script, s.clingo);
    if (!error.empty()) throw SESSION_FAILED(error);
    // clingo's own first lines (its version, what it reads) come before
    // the script's.
    std::string line;
    bool read;
    while ((read = ReadFromClingo(s.clingo, line)) && line != "ready" &&
           !line.starts_with("error ")) {
    }
    if (!read) {
        const int status = StopSessionClingo(s.clingo, false);
        throw SESSION_FAILED(
            "clingo \"" + s.config.clingo + "\" did not start the session" +
            (WIFEXITED(status)
                 ? " (status " + number(static_cast<std::uint64_t>(WEXITSTATUS(status))) + ")"
                 : std::string()));
    }
    if (line != "ready")
        clingoFailed(s, line.starts_with("error ") ? "clingo: " + line.substr(6) : line);
}

// ---- linking the contributions ----------------------------------------------

RECEIVED& receivedBy(STEP& step, std::uint32_t literal) {
    auto [at, fresh] =
        step.receivedAt.try_emplace(literal, static_cast<std::uint32_t>(step.received.size()));
    if (fresh) {
        RECEIVED r;
        r.literal = literal;
        step.received.push_back(std::move(r));
    }
    return step.received[at->second];
}

void receive(STEP& step, std::uint32_t literal, std::uint32_t level, bool inLink) {
    RECEIVED& r = receivedBy(step, literal);
    (inLink ? r.fromLink : r.fromRules) = true;
    const std::pair<std::uint32_t, bool> at{level, inLink};
    if (std::find(r.levels.begin(), r.levels.end(), at) == r.levels.end()) r.levels.push_back(at);
}

// Tarjan's components of the graph from each rule's head signature to the
// signatures of its positive body atoms.
void computeComponents(SESSION& s) {
    const std::size_t n = s.signatures.size();
    std::vector<std::vector<std::uint32_t>> edges(n);
    for (const SESSION_RULE& r : s.rules)
        if (!r.constraint)
            for (std::uint32_t b : r.positiveSignatures) edges[r.headSignature].push_back(b);
    std::vector<std::uint32_t> index(n, None), low(n, 0);
    std::vector<char> onStack(n, 0);
    std::vector<std::uint32_t> stack;
    s.components.assign(n, None);
    std::uint32_t counter = 0;
    struct FRAME {
        std::uint32_t node;
        std::size_t edge;
    };
    for (std::uint32_t root = 0; root < n; ++root) {
        if (index[root] != None) continue;
        std::vector<FRAME> frames{{root, 0}};
        index[root] = low[root] = counter++;
        stack.push_back(root);
        onStack[root] = 1;
        while (!frames.empty()) {
            FRAME& f = frames.back();
            if (f.edge < edges[f.node].size()) {
                const std::uint32_t w = edges[f.node][f.edge++];
                if (index[w] == None) {
                    index[w] = low[w] = counter++;
                    stack.push_back(w);
                    onStack[w] = 1;
                    frames.push_back({w, 0});
                } else if (onStack[w]) {
                    low[f.node] = std::min(low[f.node], index[w]);
                }
                continue;
            }
            const std::uint32_t v = f.node;
            if (low[v] == index[v]) {
                for (;;) {
                    const std::uint32_t w = stack.back();
                    stack.pop_back();
                    onStack[w] = 0;
                    s.components[w] = index[v];
                    if (w == v) break;
                }
            }
            frames.pop_back();
            if (!frames.empty())
                low[frames.back().node] = std::min(low[frames.back().node], low[v]);
        }
    }
    s.componentsValid = true;
}

// Whether the rule's head and one of its positive body atoms share a
// positive cycle of predicates.
bool mayCloseLoop(SESSION& s, const SESSION_RULE& r) {
    if (!s.componentsValid) computeComponents(s);
    const std::uint32_t head = s.components[r.headSignature];
    return std::any_of(r.positiveSignatures.begin(), r.positiveSignatures.end(),
                       [&](std::uint32_t b) { return s.components[b] == head; });
}

const SESSION_RULE* ruleOf(const SESSION& s, std::uint32_t k, std::uint32_t j) {
    if (k >= s.programs.size()) return nullptr;
    const auto& rules = s.programs[k].rules;
    auto at = std::lower_bound(rules.begin(), rules.end(), std::make_pair(j, std::uint32_t{0}));
    return at != rules.end() && at->first == j ? &s.rules[at->second] : nullptr;
}

// Reads the contributions of the ground call of the rules: each literal is
// now in clingo, and so is its complement; one that had a literal of its own
// before takes them through its hook.
void readContributions(SESSION& s, STEP& step, std::uint32_t call) {
    send(s, "contributions o'" + number(call) + "\n");
    std::string line, buffer;
    for (;;) {
        line = replyOf(s);
        if (line == "end") break;
        // K J NEG ARITY NAME H
        std::size_t at[5];
        std::size_t pos = 0;
        for (std::size_t& a : at) {
            a = line.find(' ', pos);
            if (a == std::string::npos)
                clingoFailed(s, "clingo listed a contribution oddly: " + line);
            pos = a + 1;
        }
        const auto k = static_cast<std::uint32_t>(std::stoul(line.substr(0, at[0])));
        const auto j =
            static_cast<std::uint32_t>(std::stoul(line.substr(at[0] + 1, at[1] - at[0] - 1)));
        SIGN sign;
        sign.negative = line[at[1] + 1] == '1';
        sign.arity =
            static_cast<std::uint32_t>(std::stoul(line.substr(at[2] + 1, at[3] - at[2] - 1)));
        sign.name = line.substr(at[3] + 1, at[4] - at[3] - 1);
        sign.key = (sign.negative ? "-" : "") + sign.name + "/" + number(sign.arity);
        const std::uint32_t id = literalOf(s, line.substr(at[4] + 1), signatureOf(s, sign));
        ++step.contributions;
        SESSION_LITERAL& l = s.literals[id];
        const bool before = l.finalHook != None && !l.finalNew;
        if (l.finalHook == None) {
            l.finalNew = true;
            l.finalHook = call;
            step.newFinals.push_back(id);
        }
        if (before && step.rebuild.empty()) {
            const SESSION_RULE* r = ruleOf(s, k, j);
            if (r && mayCloseLoop(s, *r))
                step.rebuild = "rule " + number(j) + " of program " + number(k) +
                               " may close a positive loop across steps";
        }
        receive(step, id, k, false);
        makeDynamic(s, step, id, step.lFacts);
        const std::uint32_t other = knownComplement(s, id, buffer);
        if (other != None && s.literals[other].standing == STANDING::BASE)
            makeDynamic(s, step, other, step.lFacts);
    }
}

// The rows of a link call that make and join levels (see linkPart).
struct LEVEL_ROWS {
    std::string data;
    std::vector<std::uint32_t> calls;  // earlier calls whose contributions new levels take
    bool any = false;
};

// Level m of the literal: a new one (with its own hook, the contributions of
// the step at m, and what holds at the next level above), joined to the
// hook of the level below; or, when it exists, its hook takes the step's
// contributions at m. The hook of every level touched closes and a new one
// opens, once per step.
void ensureLevel(SESSION& s, LEVEL_ROWS& rows, std::uint32_t id, std::uint32_t m,
                 std::uint32_t call, std::vector<std::uint32_t>& touched) {
    std::vector<LEVEL>& levels = s.levels[id];
    const std::string h(s.literals[id].text), c = number(call);
    auto at = std::lower_bound(levels.begin(), levels.end(), m,
                               [](const LEVEL& l, std::uint32_t v) { return l.level < v; });
    auto touch = [&](LEVEL& l) {
        if (l.hook == call) return;
        rows.data += "t'" + c + "(" + number(l.level) + "," + h + "," + number(l.hook) + ").\n";
        l.hook = call;
    };
    rows.any = true;
    if (at != levels.end() && at->level == m) {
        touch(*at);
        return;
    }
    rows.data += "l'" + c + "(" + number(m) + "," + h + ").\n";
    if (at != levels.end())
        rows.data += "u'" + c + "(" + number(m) + "," + h + "," + number(at->level) + ").\n";
    at = levels.insert(at, LEVEL{m, call, call});
    if (at != levels.begin()) {
        // What holds at m holds at the level below: one made in this call
        // takes it as its next level above, an older one through its hook.
        LEVEL& below = *std::prev(at);
        if (below.made == call) {
            rows.data += "u'" + c + "(" + number(below.level) + "," + h + "," + number(m) + ").\n";
        } else {
            touch(below);
            rows.data += "i'" + c + "(" + number(below.level) + "," + h + "," + number(m) + ").\n";
        }
    }
    touched.push_back(id);
}

// The levels of a literal that gets them now: those of its contributions
// (recorded, and of the step) and those its complement's contributions ask
// about (the complement's level + 1), each with what it holds.
void makeLevels(SESSION& s, LEVEL_ROWS& rows, std::uint32_t id, std::uint32_t other,
                const STEP& step, std::uint32_t call, std::vector<std::uint32_t>& touched) {
    std::vector<std::uint32_t> wanted;
    const std::string h(s.literals[id].text), c = number(call);
    for (std::uint32_t i = s.literals[id].firstRecord; i != None; i = s.records[i].next) {
        const LEVEL_RECORD& record = s.records[i];
        if (record.level == 0) continue;
        wanted.push_back(record.level);
        rows.data +=
            "v'" + c + "(" + number(record.call) + "," + number(record.level) + "," + h + ").\n";
        if (std::find(rows.calls.begin(), rows.calls.end(), record.call) == rows.calls.end())
            rows.calls.push_back(record.call);
    }
    for (std::uint32_t i = s.literals[other].firstRecord; i != None; i = s.records[i].next)
        wanted.push_back(s.records[i].level + 1);
    for (std::uint32_t literal : {id, other}) {
        auto r = step.receivedAt.find(literal);
        if (r == step.receivedAt.end()) continue;
        for (const auto& [m, inLink] : step.received[r->second].levels)
            if (literal == other) wanted.push_back(m + 1);
            else if (m > 0) wanted.push_back(m);
    }
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    s.literals[id].chained = true;
    std::vector<LEVEL>& levels = s.levels[id];
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        rows.data += "l'" + c + "(" + number(wanted[i]) + "," + h + ").\n";
        if (i + 1 < wanted.size())
            rows.data +=
                "u'" + c + "(" + number(wanted[i]) + "," + h + "," + number(wanted[i + 1]) + ").\n";
        levels.push_back(LEVEL{wanted[i], call, call});
    }
    rows.any = rows.any || !wanted.empty();
    touched.push_back(id);
}

// Keeps a step's contributions to a literal without levels, for the levels
// made later.
void recordLevels(SESSION& s, const RECEIVED& r, std::uint32_t rulesCall, std::uint32_t call) {
    SESSION_LITERAL& l = s.literals[r.literal];
    for (const auto& [m, inLink] : r.levels) {
        s.records.push_back({inLink ? call : rulesCall, m, l.firstRecord});
        l.firstRecord = static_cast<std::uint32_t>(s.records.size() - 1);
    }
}

// The finals of the literals that received contributions: defined here for
// those that have none yet, otherwise through their open hook.
void linkFinals(SESSION& s, STEP& step, std::string& data, std::vector<std::uint32_t>& linked,
                std::uint32_t call, bool& hooks) {
    const std::string c = number(call);
    for (const RECEIVED& r : step.received) {
        SESSION_LITERAL& l = s.literals[r.literal];
        const std::string h(l.text);
        if (l.finalHook == None) {
            l.finalHook = call;
            step.newFinals.push_back(r.literal);
            linked.push_back(r.literal);
            data += "w'" + c + "(" + h + ").\n";
        } else if (!l.finalNew || r.fromLink) {
            data += "e'" + c + "(" + h + "," + number(l.finalHook) + "," +
                    (l.finalNew ? "0" : "1") + ").\n";
            l.finalHook = call;
            hooks = true;
        }
    }
}

// Levels only matter to a literal whose complement has contributions too
// (they decide whether the complement's rules are rejected): a literal gets
// its levels when both have contributions, and keeps a record of its
// contributions until then. A literal with levels has one at the level of
// each contribution (so that the newest program where it holds is a level
// of it) and at each level its complement's rules ask about.
void linkLevels(SESSION& s, STEP& step, LEVEL_ROWS& rows, std::uint32_t rulesCall,
                std::uint32_t call, std::vector<std::uint32_t>& touched) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs;  // (literal, complement) to level
    std::string buffer;
    for (const RECEIVED& r : step.received) {
        if (s.literals[r.literal].chained) continue;
        const std::uint32_t other = knownComplement(s, r.literal, buffer);
        if (other == None || s.literals[other].finalHook == None) continue;
        pairs.emplace_back(r.literal, other);
        pairs.emplace_back(other, r.literal);
    }
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    auto leveledNow = [&](std::uint32_t id) {
        auto at =
            std::lower_bound(pairs.begin(), pairs.end(), std::make_pair(id, std::uint32_t{0}));
        return at != pairs.end() && at->first == id;
    };
    // Literals that had levels: their contributions, then what their
    // complement's contributions ask about.
    for (const RECEIVED& r : step.received) {
        if (!s.literals[r.literal].chained || leveledNow(r.literal)) continue;
        for (const auto& [m, inLink] : r.levels)
            if (m > 0) ensureLevel(s, rows, r.literal, m, call, touched);
    }
    for (const RECEIVED& r : step.received) {
        const std::uint32_t other = knownComplement(s, r.literal, buffer);
        if (other == None || !s.literals[other].chained || leveledNow(other)) continue;
        for (const auto& [m, inLink] : r.levels) ensureLevel(s, rows, other, m + 1, call, touched);
    }
    for (const auto& [id, other] : pairs) makeLevels(s, rows, id, other, step, call, touched);
    for (const auto& [id, other] : pairs) {
        s.literals[id].firstRecord = None;
        (void)other;
    }
    for (const RECEIVED& r : step.received)
        if (!s.literals[r.literal].chained) recordLevels(s, r, rulesCall, call);
}

// The levels of the literals, by literal, as the script reads them to find
// the newest program where a literal holds: "levels M1,M2,... H".
std::string levelsCommand(const SESSION& s, std::vector<std::uint32_t>& touched) {
    std::sort(touched.begin(), touched.end());
    touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
    std::string out;
    for (std::uint32_t id : touched) {
        const std::vector<LEVEL>& levels = s.levels.at(id);
        out += "levels ";
        for (std::size_t i = 0; i < levels.size(); ++i)
            out += (i ? "," : "") + number(levels[i].level);
        out += " " + std::string(s.literals[id].text) + "\n";
    }
    return out;
}

// The link call: the step's contributions join the literals they
// contribute to (their finals and their levels), and the facts that left
// the base in this step are grounded. Levels:
//   h'(M,H) :- l'(M,H), o'(M,J,H).        a new level M: the step's contributions at M,
//   h'(M,H) :- l'(M,H), k'(N,M,H).        its hook for later ones,
//   h'(M,H) :- u'(M,H,M1), h'(M1,H).      what holds at the next level above;
//   k'(G,M,H) :- t'(M,H,G), o'(M,J,H).    an existing level: its old hook takes the step's
//   k'(G,M0,H) :- t'(M0,H,G), i'(M0,H,M), h'(M,H).   contributions and a new level above it,
//   k'(G,M,H) :- t'(M,H,G), k'(N,M,H).    and passes on to a new hook.
std::string linkPart(SESSION& s, STEP& step, std::uint32_t rulesCall, std::uint32_t call,
                     std::string& levelsChanged) {
    std::string out, data;
    const std::string c = number(call), x = number(rulesCall);
    encodeFacts(s, out, step.lFacts, call);
    for (std::uint32_t f : step.lFacts) receive(step, s.facts[f].literal, s.facts[f].program, true);

    bool hooks = false;
    std::vector<std::uint32_t> linked, touched;
    linkFinals(s, step, data, linked, call, hooks);
    LEVEL_ROWS rows;
    linkLevels(s, step, rows, rulesCall, call, touched);
    if (s.config.explain) levelsChanged = levelsCommand(s, touched);
    out += data;
    out += rows.data;
    if (hooks) {
        out += "f'(G,H) :- e'" + c + "(H,G,1), o'" + x + "(K,J,H).\n";
        out += "f'(G,H) :- e'" + c + "(H,G,F), o'" + c + "(K,J,H).\n";
        out += "f'(G,H) :- e'" + c + "(H,G,F), f'(" + c + ",H).\n";
        out += "#external f'(" + c + ",H) : e'" + c + "(H,G,F).\n";
    }
    if (rows.any) {
        for (const std::string& o : {x, c}) {
            out += "h'(M,H) :- l'" + c + "(M,H), o'" + o + "(M,J,H).\n";
            out += "k'(G,M,H) :- t'" + c + "(M,H,G), o'" + o + "(M,J,H).\n";
        }
        // Contributions of earlier steps to literals that get their levels now.
        for (std::uint32_t n : rows.calls)
            out += "h'(M,H) :- v'" + c + "(" + number(n) + ",M,H), o'" + number(n) + "(M,J,H).\n";
        out += "h'(M,H) :- l'" + c + "(M,H), k'(" + c + ",M,H).\n";
        out += "#external k'(" + c + ",M,H) : l'" + c + "(M,H).\n";
        out += "h'(M,H) :- u'" + c + "(M,H,M1), h'(M1,H).\n";
        out += "k'(G,M0,H) :- t'" + c + "(M0,H,G), i'" + c + "(M0,H,M), h'(M,H).\n";
        out += "k'(G,M,H) :- t'" + c + "(M,H,G), k'(" + c + ",M,H).\n";
        out += "#external k'(" + c + ",M,H) : t'" + c + "(M,H,G).\n";
    }
    // The literals defined in this step: level 0 is the literal, which never
    // holds together with its complement (clingo adds that constraint only
    // when the complement is grounded later than the literal).
    std::vector<char> done(s.signatures.size(), 0), inLink(s.signatures.size(), 0);
    for (std::uint32_t id : linked) inLink[s.literals[id].signature] = 1;
    for (std::uint32_t id : step.newFinals) {
        const std::string h(s.literals[id].text);
        out += "q'" + c + "(" + h + "). z'(" + h + ").\n";
        const std::uint32_t sig = s.literals[id].signature;
        if (done[sig]) continue;
        done[sig] = 1;
        const std::string p = pattern(s.signatures[sig]);
        out += "h'(0," + p + ") :- q'" + c + "(" + p + "), " + p + ".\n";
        out += ":- q'" + c + "(" + p + "), " + p + ", " + pattern(s.signatures[sig], true) + ".\n";
        if (inLink[sig]) {
            out += p + " :- w'" + c + "(" + p + "), o'" + c + "(K,J," + p + ").\n";
            out += p + " :- w'" + c + "(" + p + "), f'(" + c + "," + p + ").\n";
            out += "#external f'(" + c + "," + p + ") : w'" + c + "(" + p + ").\n";
        }
        show(s, out, sig);
    }
    if (!step.lFacts.empty() && rejectionsWanted(s.config)) out += "#show r'" + c + "/4.\n";
    return out;
}

// ---- a step -------------------------------------------------------------------

void clearStepMarks(SESSION& s, STEP& step) {
    for (std::uint32_t id : step.newFinals) s.literals[id].finalNew = false;
}

// Grounds the step: the rules with the facts they need, then the link.
// Empty when done, otherwise why it must be done again from scratch.
std::string groundStep(SESSION& s, STEP& step) {
    const std::uint32_t rulesCall = ++s.calls;
    ground(s, "c'" + number(rulesCall), rulesPart(s, step, rulesCall));
    readContributions(s, step, rulesCall);
    if (!step.rebuild.empty()) return step.rebuild;
    const std::uint32_t linkCall = ++s.calls;
    std::string levelsChanged;
    ground(s, "l'" + number(linkCall), linkPart(s, step, rulesCall, linkCall, levelsChanged));
    if (!step.rebuild.empty()) return step.rebuild;
    if (!levelsChanged.empty()) send(s, levelsChanged);
    if (s.config.minimal != MINIMALITY::NONE) {
        send(s, "rejections r'" + number(rulesCall) + "\n");
        replyOf(s);
        if (!step.lFacts.empty()) {
            send(s, "rejections r'" + number(linkCall) + "\n");
            replyOf(s);
        }
    }
    return {};
}

// A new clingo grounds everything at once.
void groundFromScratch(SESSION& s, STEP& step) {
    StopSessionClingo(s.clingo, true);
    s.addedStatements = 0;
    for (SESSION_LITERAL& l : s.literals) {
        l.finalHook = None;
        l.finalNew = false;
        l.chained = false;
        l.firstRecord = None;
    }
    s.records.clear();
    s.levels.clear();
    for (SESSION_SIGNATURE& sig : s.signatures) sig.shown = false;
    s.calls = 0;
    startClingo(s);
    step.first = 0;
    step.cFacts.clear();
    step.lFacts.clear();
    step.newFinals.clear();
    step.received.clear();
    step.receivedAt.clear();
    step.rebuild.clear();
    for (std::uint32_t f = 0; f < s.facts.size(); ++f)
        if (s.literals[s.facts[f].literal].standing == STANDING::DYNAMIC) step.cFacts.push_back(f);
    const std::string again = groundStep(s, step);
    if (!again.empty()) clingoFailed(s, "the session cannot ground its program: " + again);
    s.scratchStatements = s.addedStatements;
    s.scratchContributions = step.contributions;
}

// Why the step is better grounded from scratch: when the statements added
// since the last time cost more, in every ground call, than grounding the
// whole sequence again would once (the rules and what they contribute).
std::string statementsWeigh(const SESSION& s) {
    const std::size_t added = s.addedStatements - std::min(s.addedStatements, s.scratchStatements);
    const std::size_t whole =
        std::max<std::size_t>(4096, 2 * (s.scratchStatements + s.scratchContributions));
    if (added <= whole) return {};
    return number(added) +
           " rules and externals given to clingo since it grounded the sequence "
           "from scratch slow every ground call";
}

bool emitBaseChanges(SESSION& s, STEP& step, const std::function<bool(std::string_view)>& emit) {
    std::string out;
    const bool pexa = s.config.form == FILE_FORM::PEXA;
    for (std::uint32_t id : step.touched) {
        SESSION_LITERAL& l = s.literals[id];
        l.touched = false;
        const bool now = l.standing == STANDING::BASE;
        if (now == l.wasBase) continue;
        std::string atom = fileNotation(l.text);
        out += now ? "+ " : "- ";
        out += pexa ? pexaNotation(std::move(atom)) : atom;
        out += '\n';
        if (out.size() >= (1u << 16)) {
            if (!emit(out)) return false;
            out.clear();
        }
    }
    return out.empty() || emit(out);
}

// The answer set clingo printed, in the file's notation, sorted. A pexa
// program is propositional: its atoms are names, "-p" written "NEG_p".
std::string answerSetLine(const SESSION& s, std::string_view atoms) {
    if (s.config.form != FILE_FORM::PEXA) return formatAnswerSet(atoms) + "\n";
    std::vector<std::string> names;
    while (!atoms.empty()) {
        const std::size_t blank = atoms.find(' ');
        const std::string_view atom = atoms.substr(0, blank);
        if (!atom.empty()) {
            const bool negative = atom.starts_with('-');
            names.push_back((negative ? "NEG_" : "") +
                            decodePredicate(atom.substr(negative ? 1 : 0)));
        }
        if (blank == std::string_view::npos) break;
        atoms.remove_prefix(blank + 1);
    }
    std::sort(names.begin(), names.end());
    std::string line = "{";
    for (std::size_t i = 0; i < names.size(); ++i) line += (i ? ", " : "") + names[i];
    return line + "}\n";
}

// The answer sets of the step, then what solvedLine says (before "done").
void solveStep(SESSION& s, const std::function<bool(std::string_view)>& emit,
               const std::function<std::string()>& solvedLine) {
    send(s, "solve " + number(s.programs.empty() ? 0 : s.programs.size() - 1) + " " +
                number(s.steps) + "\n");
    std::string out, line;
    for (;;) {
        line = replyOf(s);
        if (line.starts_with("m ")) {
            out += answerSetLine(s, std::string_view(line).substr(2));
        } else if (line.starts_with("Answer: ")) {
            // clingo's own output: the answer set is the next line.
            out += answerSetLine(s, replyOf(s));
        } else if (line == "Solving...") {
        } else if (line.starts_with("r ")) {
            // r K J BY N, then N values
            unsigned long k = 0, j = 0, by = 0, n = 0;
            if (std::sscanf(line.c_str(), "r %lu %lu %lu %lu", &k, &j, &by, &n) != 4)
                clingoFailed(s, "clingo listed a rejection oddly: " + line);
            out += "rejected " + number(k) + " " + number(j) + " " + number(by) + " (";
            for (unsigned long v = 0; v < n; ++v) {
                if (v) out += ',';
                out += termNotation(replyOf(s));
            }
            out += ")\n";
        } else if (line.starts_with("done ")) {
            unsigned long count = 0, exhausted = 0;
            std::sscanf(line.c_str(), "done %lu %lu", &count, &exhausted);
            out += solvedLine();
            out += "done " + number(count) + (exhausted ? " complete\n" : " more\n");
            break;
        } else {
            clingoFailed(s, "clingo answered out of turn: " + line);
        }
        if (out.size() >= (1u << 16)) {
            if (!emit(out)) throw SESSION_FAILED("cannot write the answer sets");
            out.clear();
        }
    }
    if (!emit(out)) throw SESSION_FAILED("cannot write the answer sets");
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string seconds(double t) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", t);
    return text;
}

}  // namespace

void SESSION_END::operator()(SESSION* session) const {
    if (session) StopSessionClingo(session->clingo, true);
    delete session;
}

SESSION_PTR StartSession(const SESSION_CONFIG& config) {
    SESSION_PTR s(new SESSION);
    s->config = config;
    const char* minimal = config.minimal == MINIMALITY::STRICT ? "strict"
                          : config.minimal == MINIMALITY::MIN  ? "min"
                                                               : "none";
    s->script = "#script (lua)\nlocal minimal = \"" + std::string(minimal) +
                "\"\nlocal limit = " + number(config.maxModels) +
                "\nlocal explain = " + (config.explain ? "true" : "false") +
                "\nlocal clingo_prints = " + (clingoPrints(config) ? "true" : "false") + "\n" +
                std::string(BlockLua) + std::string(SessionLua) + "#end.\n";
    StopClingoOnSignals();
    startClingo(*s);
    return s;
}

void SessionStep(SESSION& s, const std::vector<std::string>& programs,
                 const std::function<bool(std::string_view)>& emit) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<READ_PROGRAM> read;
    for (std::size_t i = 0; i < programs.size(); ++i)
        read.push_back(readProgram(programs[i], s.config, i, programs.size()));

    STEP step;
    takePrograms(s, step, read);
    read.clear();
    std::string again = statementsWeigh(s);
    if (again.empty()) {
        again = groundStep(s, step);
        clearStepMarks(s, step);
    }
    if (!again.empty()) {
        if (s.config.verbose && !emit("info step " + number(s.steps) +
                                      ": grounded again from scratch: " + again + "\n"))
            throw SESSION_FAILED("cannot write the answer sets");
        groundFromScratch(s, step);
        clearStepMarks(s, step);
    }
    const double grounded = secondsSince(start);
    std::size_t base = 0;
    for (std::uint32_t id : step.touched) base += s.literals[id].standing == STANDING::BASE;
    if (!emitBaseChanges(s, step, emit)) throw SESSION_FAILED("cannot write the answer sets");
    if (s.config.verbose &&
        !emit("info step " + number(s.steps) + ": " + number(programs.size()) +
              (programs.size() == 1 ? " program, " : " programs, ") + number(step.contributions) +
              (step.contributions == 1 ? " contribution" : " contributions") + " grounded, " +
              number(base) + (base == 1 ? " literal" : " literals") + " into the base, in " +
              seconds(grounded) + " s\n"))
        throw SESSION_FAILED("cannot write the answer sets");
    const auto solving = std::chrono::steady_clock::now();
    solveStep(s, emit, [&] {
        return s.config.verbose ? "info step " + number(s.steps) + ": solved in " +
                                      seconds(secondsSince(solving)) + " s\n"
                                : std::string();
    });
    ++s.steps;
}

bool EndSession(SESSION& s) {
    if (s.clingo.pid < 0) return true;
    SendToClingo(s.clingo, "quit\n");
    // clingo's closing lines, when it prints its own output, are read to
    // their end: it must not stop on a broken pipe.
    std::string line;
    while (ReadFromClingo(s.clingo, line)) {
    }
    const int status = StopSessionClingo(s.clingo, false);
    // clingo's status after a script tells what its last solve call found.
    return WIFEXITED(status) && (WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == 10 ||
                                 WEXITSTATUS(status) == 20 || WEXITSTATUS(status) == 30);
}

}  // namespace vok::evaluation
