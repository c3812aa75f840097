// Fresh tables and options for every rewriting test, and builders for
// update sequences written out by hand.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rewriting/rewriting.hpp"
#include "tests/support/builders.hpp"
#include "tests/support/capture.hpp"
#include "tests/support/rewriting/fresh_run.hpp"

// The sequence a rewriting test builds by hand and translates.
inline SEQUENCE& Sequence() {
    static SEQUENCE sequence;
    return sequence;
}

struct Rewriting : ::testing::Test {
    TRANSLATION T;
    REWRITING_SETTINGS S;

    void SetUp() override { fresh(); }
    void TearDown() override { fresh(); }
    // A run that has read nothing, translated nothing, with default settings.
    void fresh(PROGRAM_TYPE program = PROGRAM_TYPE::ROX) {
        freshRun(program);
        Sequence() = SEQUENCE();
        T = TRANSLATION();
        S = REWRITING_SETTINGS();
        S.notation = T.notation = NotationOf(program);
    }
    // Translates the sequence read so far into T.
    void translate() { UpdateRewriting(Sequence().programs, Sequence().constraints, S, T); }
    // The translated program's rules, one a line.
    std::string translatedLines() const {
        std::ostringstream out;
        PrintTranslatedRules(out, T, 0, T.ruleCount(), "\n", T.notation);
        return out.str();
    }
};

// Terms by their texts (upper case: variables of the current rule).
inline std::vector<IDENT> terms(std::initializer_list<const char*> args) {
    std::vector<IDENT> t;
    for (const char* a : args) t.push_back(termOf(a));
    return t;
}

inline ATOM strong(const std::string& name, std::initializer_list<const char*> args = {}) {
    std::vector<IDENT> t = terms(args);
    return newNegativeATOM(name, args.size() ? ARGUMENTS(t) : std::nullopt);
}

// A rule or fact as the parser stores it; variables are numbered per rule.
inline RULE rule(ATOM head, std::vector<LITERAL> body) {
    BODY b;
    for (LITERAL& l : body) b.add(std::move(l));
    TestVariables().reset();
    return RULE(HEAD(std::move(head)), std::move(b));
}
inline RULE fact(ATOM head) {
    TestVariables().reset();
    return RULE(HEAD(std::move(head)));
}

// Appends one update program to the sequence.
inline void program(std::vector<RULE> rules) {
    std::vector<UPDATE_PROGRAM>& programs = Sequence().programs;
    programs.emplace_back(termOf("vok"));
    for (RULE& r : rules) programs.back().rules->push_back(std::move(r));
}

// A rule or constraint list, one item per line.
template <class LIST>
std::string lines(const LIST& list, NOTATION notation = NOTATION::INPUT) {
    std::ostringstream out;
    PrintList(out, list, "\n", notation);
    return out.str();
}
inline std::string join(const std::vector<std::string>& items) {
    std::string all;
    for (const std::string& i : items) all += (all.empty() ? "" : "\n") + i;
    return all;
}
