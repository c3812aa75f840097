// What the files of the maintained part (maintained.hpp) share among
// themselves.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "evaluation/session/maintained.hpp"
#include "evaluation/session/state.hpp"

namespace vok::evaluation::engine {

// The group of a signature: the lower of it and its complement.
std::uint32_t groupOf(const SESSION& s, std::uint32_t sig);

// Makes the part's tables as large as the session's.
void growTables(SESSION& s);

// The value of the text, interned.
std::uint32_t valueId(MAINTAINED& m, std::string_view text, VALUE_KIND kind, std::int64_t number);

// Makes a fact's literal known to the part, its values to come.
void keepWithValuesToCome(SESSION& s, std::uint32_t id);

// Reads the values of the signature's literals that have them to come:
// before a join reads the signature.
void internValuesToCome(SESSION& s, std::uint32_t sig);

// The values of a kept literal's arguments.
const std::uint32_t* argsOf(const MAINTAINED& m, std::uint32_t literal);

// The key of values at the positions in mask.
std::uint64_t keyOf(const std::uint32_t* values, std::uint32_t arity, std::uint32_t mask);

// The index of the signature by the positions in mask, made when first
// asked for; nullptr when the signature has as many as a literal can note.
KEPT_INDEX* indexFor(SESSION& s, std::uint32_t sig, std::uint32_t mask);

// Puts a literal that holds (or is about to) into each index of its signature.
void indexTrue(SESSION& s, std::uint32_t id);

// Drops the literals no longer true from an index that holds more of them
// than of true ones.
void pruneIndexes(SESSION& s, std::uint32_t sig);

// Marks in clingo every group that must go there and orders the rest into
// components, lowest first (MAINTAINED::order).
void decideGroups(SESSION& s);

// Moves the groups marked in clingo since (not in was) out of the part.
// Returns why the step must be grounded from scratch, or nothing.
std::string releaseGroups(SESSION& s, STEP& step, const std::vector<char>& was);

}  // namespace vok::evaluation::engine
