// What a session keeps from step to step (SESSION) and what one step
// gathers (STEP); the files of this folder each work on a part of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "evaluation/session/engine.hpp"
#include "evaluation/session/maintained.hpp"
#include "evaluation/session/tables.hpp"
#include "evaluation/solve/solver.hpp"

namespace vok::evaluation {

namespace engine {

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

// A rule with a body, or a constraint, in clingo's form.
struct SESSION_RULE {
    std::uint32_t program = 0;
    std::uint32_t number = 0;  // among the rules of its program (facts count)
    bool constraint = false;
    bool kept = false;    // the maintained part evaluates it, clingo never sees it
    bool choice = false;  // "{ h } :- body.": its head may hold when the body does
    std::string head, complement;
    std::uint32_t headSignature = None;
    std::vector<std::string> positive;
    std::vector<std::uint32_t> positiveSignatures;
    std::vector<std::string> negative;
    std::vector<std::string> doubled;  // the atoms of "not not" literals
    std::vector<std::string> builtins;
    // Aggregates, as clingo reads them: over the literals themselves, so
    // they see every atom only when the sequence is grounded at once.
    std::vector<std::string> aggregates;
    // Conditional literals, as clingo reads them: in the body only (they
    // bind nothing), which then separates its literals with ";".
    std::vector<std::string> conditionals;
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
    // Handed literals (maintained.hpp) whose truth clingo may not know yet.
    std::vector<std::uint32_t> handed;
    std::string assignments;  // "1 H" or "0 H" a line, for clingo after the call of the rules
    bool declared = false;    // the call of the rules declares handed literals
    std::string rebuild;      // why the step is grounded again from scratch
    std::size_t contributions = 0;
};

}  // namespace engine

struct SESSION {
    SESSION_CONFIG config;
    LINE_CHANNEL clingo;
    std::string script;
    std::uint32_t calls = 0;
    std::uint32_t steps = 0;
    // clingo's every ground call takes longer with every rule and external
    // statement it was given before: those of the last ground from scratch
    // (the rules of the sequence) and those added since.
    std::size_t scratchStatements = 0;
    std::size_t addedStatements = 0;
    std::size_t scratchContributions = 0;
    // What the ground calls since the last ground from scratch paid for the
    // statements added before them: the sum, over the calls, of those added.
    std::size_t paidStatements = 0;
    std::vector<engine::SESSION_PROGRAM> programs;
    std::vector<engine::SESSION_RULE> rules;
    std::vector<engine::SESSION_FACT> facts;
    engine::LITERALS literals;
    engine::SIGNATURES signatures;
    // The levels of the literals that have them, sorted: the levels of
    // their contributions and those their complement's rules ask about.
    std::unordered_map<std::uint32_t, std::vector<engine::LEVEL>> levels;
    std::vector<engine::LEVEL_RECORD> records;
    // The signature graph's components, by signature, while valid.
    std::vector<std::uint32_t> components;
    bool componentsValid = false;
    // The facts and rules that need no search (maintained.hpp); none when
    // the rejected rules are asked for, which clingo lists.
    std::unique_ptr<engine::MAINTAINED> maintained;
    // The sequence holds an aggregate: its facts all go to clingo, and each
    // step that gives clingo anything is grounded from scratch, as an
    // aggregate grounded once would not count the atoms that later steps
    // bring.
    bool aggregates = false;
    // The sequence holds a choice rule: each step that gives clingo
    // anything is grounded from scratch, as the choices' canonical form
    // (encoding.hpp) reads the contributions of every step at once.
    bool choices = false;
    // The choice rules whose bodies were read as rules of their own (m'N).
    std::uint32_t choiceBodies = 0;
    // The answers of the last solve call, kept while clingo is told
    // nothing new: a step that changes only what the maintained part holds
    // leaves clingo's program as it was, and its answers with it.
    struct LAST_SOLVE {
        bool valid = false;
        std::string lines;  // the answer sets as written, without "done"
        std::uint64_t count = 0;
        bool exhausted = false;
    } lastSolve;
};

namespace engine {

// The number's decimal text.
inline std::string number(std::uint64_t n) { return std::to_string(n); }

// Rejection atoms are read by explanations and minimality only.
inline bool rejectionsWanted(const SESSION_CONFIG& config) {
    return config.explain || config.minimal != MINIMALITY::NONE;
}

// Without them, clingo prints the answer sets itself, faster than the
// script can.
inline bool clingoPrints(const SESSION_CONFIG& config) { return !rejectionsWanted(config); }

}  // namespace engine

}  // namespace vok::evaluation
