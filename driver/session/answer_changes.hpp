// --changes: a session's answer sets told by what changed since the answer
// sets printed before them.
//
// An answer set of a step is kept as the atoms of its line (in the
// evaluation program's notation and order, none of them in the base) with
// the hash of the base it came with, from which equal answer sets are
// found without reading the base. The answer sets of a step are matched with
// those printed before: one on each side are matched; otherwise each one
// equal to an answer set before is matched with it, and the others are
// paired in the order printed, each told whole where its changes would be
// more atoms than the answer set itself, as is every one left over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "driver/output/answer.hpp"
#include "driver/session/session_base.hpp"

struct KEPT_ANSWER {
    ANSWER_ATOMS line;
    std::uint64_t baseHash = 0;  // the base's when the answer set came
};

// How the base changed since the answer sets before: the atoms that
// entered it and those that left it, each list sorted.
struct BASE_DELTA {
    std::vector<std::string> added, removed;
};

// For each answer set of now (base: the base now), what changed against
// the answer set before that it is matched with, or nothing where it is
// told whole.
std::vector<std::optional<ANSWER_CHANGES>> StepChanges(const std::vector<KEPT_ANSWER>& before,
                                                       const std::vector<KEPT_ANSWER>& now,
                                                       const BASE_SET& base,
                                                       const BASE_DELTA& delta);
