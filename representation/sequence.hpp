// An update sequence as read: its programs in order, the constraints that
// hold for all of them, and what the reading learnt about it. Its caller
// owns it: the parser (input/parser.hpp) fills the one it is given, and the
// rewriting (rewriting/rewriting.hpp) translates it.
#pragma once

#include <memory>
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

struct SEQUENCE {
    std::vector<UPDATE_PROGRAM> programs;
    std::vector<CONSTRAINT> constraints;  // wherever they stood in the input
    bool propositional = true;  // no atom with an argument list was read (pexa needs that)
};
