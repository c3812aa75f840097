// An update sequence as read: its programs in order, the constraints that
// hold for all of them, and what the reading learnt about it. Its caller
// owns it: the parser (input/parser.hpp) fills the one it is given, and the
// rewriting (rewriting/rewriting.hpp) translates it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "representation/rule.hpp"

// One update program of the input sequence.
struct UPDATE_PROGRAM {
    IDENT id;
    std::unique_ptr<RULES> rules;  // in input order; may be null

    UPDATE_PROGRAM() = default;
    explicit UPDATE_PROGRAM(IDENT ident) : id(ident), rules(std::make_unique<RULES>()) {}
    UPDATE_PROGRAM(const UPDATE_PROGRAM& o)
        : id(o.id), rules(o.rules ? std::make_unique<RULES>(*o.rules) : nullptr) {}
    UPDATE_PROGRAM(UPDATE_PROGRAM&&) noexcept = default;
    UPDATE_PROGRAM& operator=(const UPDATE_PROGRAM& o) {
        if (this != &o) {
            id = o.id;
            rules = o.rules ? std::make_unique<RULES>(*o.rules) : nullptr;
        }
        return *this;
    }
    UPDATE_PROGRAM& operator=(UPDATE_PROGRAM&&) noexcept = default;
};

// Where a rule of the sequence was read, kept only when the run explains
// its answer sets (--explain): the input and line, the rule as the input
// language writes it with the variables under their own names, and its
// head (input/origins.hpp records them).
struct RULE_ORIGIN {
    unsigned input = 0;  // in RULE_ORIGINS::inputs
    unsigned line = 0;   // where the rule's head begins
    std::string text;    // "p(X) :- q(X, Y), not r(Y)."
    ATOM head;           // as read, before the rewriting renames it
    // The variable names by number; "" for an anonymous variable "_".
    std::vector<std::string> variables;
};

struct RULE_ORIGINS {
    // The names of the inputs, in reading order; standard input is "<stdin>".
    std::vector<std::string> inputs;
    // rules[i][j]: rule j of update program i.
    std::vector<std::vector<RULE_ORIGIN>> rules;
};

struct SEQUENCE {
    std::vector<UPDATE_PROGRAM> programs;
    std::vector<CONSTRAINT> constraints;  // wherever they stood in the input
    bool propositional = true;  // no atom with an argument list was read (pexa needs that)
    RULE_ORIGINS origins;       // empty without --explain
};
