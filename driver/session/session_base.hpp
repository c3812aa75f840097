// The base set of a session: atoms that every answer set of the sequence so
// far holds, which the evaluation program names once instead of in every
// answer set (rox-clingo(1), SESSIONS). An answer set printed is the base
// together with the atoms of its own line.
//
// The atoms are kept in the evaluation program's order (byte order of its
// notation, which is the order of a run's answer sets) in chunks, each with
// its printed atoms made once: a change costs its chunk, and an answer set
// of a million atoms is put together at the speed of copying its text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "driver/output/answer.hpp"
#include "driver/show.hpp"

struct BASE_SET {
    struct CHUNK {
        std::vector<std::string> atoms;  // sorted, the evaluation program's notation
        ANSWER_ATOMS printed;            // those shown (--show), as printed
        bool stale = true;
    };
    std::vector<CHUNK> chunks;
    std::size_t size = 0;
    // The sum of AtomHash over the atoms: with that of a line's atoms, a
    // hash of a whole answer set, which tells answer sets apart without
    // reading the base.
    std::uint64_t hash = 0;
    bool pexa = false;  // "NEG_p" is printed "-p"
    // The predicates printed, for which the chunks' printed atoms are made.
    SHOWN_PREDICATES shown;
};

// The base printed with shown from now on: every chunk's printed atoms are
// made again when they change (a block's #show).
void ShowInBase(BASE_SET& base, const SHOWN_PREDICATES& shown);

// The hash of one atom; a set's hash is the sum over its atoms, so that it
// follows changes of the set atom by atom.
std::uint64_t AtomHash(std::string_view atom);

// The atom as vok prints it.
std::string PrintedAtom(const BASE_SET& base, std::string_view atom);

// Takes the changes of one step (each list in any order).
void ChangeBase(BASE_SET& base, std::vector<std::string> added, std::vector<std::string> removed);

bool BaseHolds(const BASE_SET& base, std::string_view atom);

// Whether the atoms of a line (sorted) hold atom.
bool LineHolds(const ANSWER_ATOMS& line, std::string_view atom);

// The atoms of a line in the evaluation program's order, which its lines
// keep already: sorted only where they are not.
void SortLine(ANSWER_ATOMS& line);

// The atoms of the answer set of the base and atoms (sorted, none in the
// base) as vok prints them, those that --show leaves out left out, in the
// evaluation program's order.
void AnswerSetOf(BASE_SET& base, const ANSWER_ATOMS& atoms, ANSWER_ATOMS& out);

// Adds atom (the evaluation program's notation) to out as vok prints it,
// unless the base's shown predicates leave it out.
void AddShownAtom(const BASE_SET& base, std::string_view atom, ANSWER_ATOMS& out);
