// What --stats reports after the results: how the run ended and its
// figures. The steps of the run note them here as they go; the results
// writer (answers.hpp) prints them with the results, in text or JSON.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "common/contract.hpp"

// The phases of a run whose time is reported.
enum class PHASE { READING, REWRITING, WRITING, SOLVING };
inline constexpr int PhaseCount = 4;

struct RUN_SUMMARY {
    std::size_t models = 0;  // answer sets that stand (printed, or examined for a goal)
    // More answer sets may exist: the evaluation program said so (its
    // limit, or it did not finish), or vok stopped it at -n.
    bool more = false;
    unsigned calls = 0;                // runs of the evaluation program, candidate tests included
    unsigned tested = 0;               // candidates tested for minimality
    std::optional<std::string> error;  // why the run did not get to its end, where known
    std::string testReason;            // why the last candidate test did not finish, as it said
    bool reported = false;             // the text summary was written
    // With --enum-mode=brave or cautious: the atoms of the consequence set
    // printed, once it is.
    std::optional<std::size_t> consequences;
    // Seconds of solving when the first and the last answer set stood.
    double firstModel = 0;
    double lastModel = 0;
    // The program file's size as the translation makes it: with -integral
    // the minimality part is in it. Noted once the translation is made.
    std::size_t programRules = 0;
    std::size_t programConstraints = 0;
};

RUN_SUMMARY& RunSummary();

// The phase that begins now; the one before ends.
void StartPhase(PHASE phase);

// Seconds spent in a phase so far (the current one up to now), since the
// run began, and of processor time by vok and the evaluation programs that
// ended.
double PhaseSeconds(PHASE phase);
double TotalSeconds();
double ProcessorSeconds();

// An outcome line of the evaluation program, which --stats asked for: of
// the main run it says whether more answer sets may exist and why solving
// did not finish; of a candidate test, why it did not finish.
void NoteOutcome(const SOLVING_OUTCOME& outcome, bool testRun);
