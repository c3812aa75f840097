// Intervals (1..3) and pools (p(a;b), p(1,2;3,4)) in the arguments of a
// statement's atoms: the statement stands for its instances, one for each
// choice of a value per interval and an alternative per pool, each stored
// as a statement of its own (so that each instance of a rule is rejected
// on its own). While the statement is read, an interval or a pool stands
// in its atoms as markers: integers no input can write (the scanner takes
// at most 9 digits), which the instances replace.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "representation/rule.hpp"

struct PARSER;  // input/parser.hpp

// The most instances one statement may stand for.
inline constexpr std::size_t MaxInstances = 1000000;

struct EXPANSION {
    unsigned firstMarker = 0;  // of its width markers, one per column
    unsigned width = 1;
    std::vector<IDENT> tuples;  // a pool: width terms per alternative
    int low = 0, high = -1;     // an interval: width 1, no tuples
    bool consumed = false;      // taken into a pool, which stands for it

    std::size_t count() const;
    IDENT value(std::size_t alternative, unsigned column) const;
};

// The intervals and pools of the statement being read.
struct EXPANSIONS {
    std::vector<EXPANSION> list;
    std::vector<unsigned> owners;  // by marker: its expansion

    bool empty() const { return list.empty(); }
    void clear() {
        list.clear();
        owners.clear();
    }
    // The marker of low..high; nothing if a bound is no integer (the
    // reason is reported and counted).
    std::optional<IDENT> interval(PARSER& parser, IDENT low, IDENT high);
    // The markers of a pool of tuples (at least two); the intervals among
    // their terms are expanded into the alternatives. Nothing if the
    // tuples differ in length (reported and counted).
    std::optional<std::vector<IDENT>> pool(PARSER& parser,
                                           const std::vector<std::vector<IDENT>>& tuples);
    // Whether term is a marker, and of which expansion.
    const EXPANSION* markerOf(IDENT term) const;
};

// The number of instances, or nothing if it exceeds MaxInstances.
std::optional<std::size_t> InstanceCount(const EXPANSIONS& expansions);

// Instance number i (counted over the expansions not consumed, the first
// varying slowest) of a rule or a constraint's body.
RULE RuleInstance(const RULE& rule, const EXPANSIONS& expansions, std::size_t i);
BODY BodyInstance(const BODY& body, const EXPANSIONS& expansions, std::size_t i);
