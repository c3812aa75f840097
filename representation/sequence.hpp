// An update sequence as read: its programs in order, the constraints that
// hold for all of them, and what the reading learnt about it. Its caller
// owns it: the parser (input/parser.hpp) fills the one it is given, and the
// rewriting (rewriting/rewriting.hpp) translates it.
#pragma once

#include <memory>
#include <vector>

#include "representation/rule.hpp"

// One update program of the input sequence.
struct OID {
    IDENT id;
    std::unique_ptr<RULES> rules;  // in input order; may be null

    OID() = default;
    explicit OID(IDENT ident) : id(ident), rules(std::make_unique<RULES>()) {}
    OID(const OID& o) : id(o.id), rules(o.rules ? std::make_unique<RULES>(*o.rules) : nullptr) {}
    OID(OID&&) noexcept = default;
    OID& operator=(const OID& o) {
        if (this != &o) {
            id = o.id;
            rules = o.rules ? std::make_unique<RULES>(*o.rules) : nullptr;
        }
        return *this;
    }
    OID& operator=(OID&&) noexcept = default;
};

struct SEQUENCE {
    std::vector<OID> programs;
    std::vector<CONSTRAINT> constraints;  // wherever they stood in the input
    bool propositional = true;  // no atom with an argument list was read (pexa needs that)
};
