// --json: the run's result as one JSON document on standard output, in the
// shape of the solver's own JSON output: "Solver", "Input", "Call" with the
// "Witnesses" (each a "Value" list of atoms, with --explain also
// "Rejected"), "Result", "Models" and, for a goal query, "Goal".
//
// Everything else the run prints on standard output (banner, verbose
// lines, text of the evaluation program outside answer sets) goes to
// standard error instead. Witnesses are written as they come; every end of
// the run closes the document, an early one with "Result": "UNKNOWN".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "driver/explain.hpp"

// The atoms of the goal's witness, kept with it.
extern std::vector<std::string> WitnessAtoms;

// text as a JSON string, quotes included. Control bytes are escaped,
// valid UTF-8 is kept, and a byte that is not part of valid UTF-8 is
// written as \u00XX (the character of that code).
std::string JsonString(std::string_view text);

// Starts the document on standard output ("Solver": solver, "Input":
// inputs) and sends what the run would print there to standard error from
// now on.
void JsonBegin(const std::string& solver, const std::vector<std::string>& inputs);

// One answer set; rejected is null without --explain.
void JsonWitness(const std::vector<std::string>& atoms, const std::vector<EXPLANATION>* rejected);

// Closes the document. evaluated: the evaluation program ran and its answer
// sets were read; status: its exit status. answer: the goal's verdict.
void JsonFinish(bool evaluated, int status, bool answer);
