// rox-clingo --session and pexa-clingo --session: a conversation with a
// front end over standard input and output, each step a few update programs
// in the file form and the answer sets of the whole sequence so far (see
// session/engine.hpp for how, rox-clingo(1) for the protocol).
#pragma once

#include "evaluation/front_end/options.hpp"

namespace vok::evaluation {

// The whole session; returns the exit status.
int RunSession(FILE_FORM form, const OPTIONS& options);

}  // namespace vok::evaluation
