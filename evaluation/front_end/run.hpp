// The evaluation programs rox-clingo and pexa-clingo: PROGRAM [OPTIONS]
// FILE reads FILE, puts it into clingo's language, runs clingo and prints
// one line "{...}" per answer set on standard output; messages go to
// standard error.
//
// They are built in rooms, each a library that includes only the rooms
// before it (tests/check_layers.sh checks that), and all of them only
// common/ besides:
//   program/    the records of a read program, the readers of the rox and
//               pexa forms, the rejection predicates a file declares
//   clingo/     the program in clingo's language: predicate names, the
//               translation, the ground rules left out (simplify), the
//               compact text of large programs, the atoms facts settle
//               (for the consequences), the one-run script
//   solve/      clingo as a child process (a run's, and a session's that
//               lives long), and its output read back into the file's
//               notation
//   session/    a session's steps answered in one clingo process (--session)
//   front_end/  the options, the messages, Run, a session's conversation
//               and the two mains
//
// The evaluation programs are written in the house style, with two
// deliberate differences from vok itself (the last two below):
// - As in vok (base/exits.hpp), a refusal is an exception, not the end of
//   the process: the readers, the translation, the model reader and the
//   option reader throw
//   SYNTAX_ERROR, TRANSLATE_ERROR, ANSWER_SET_ERROR and USAGE_ERROR (plain
//   records deriving from std::runtime_error; those of the readers and the
//   translation carry the line of the fault). The recursive readers meet a
//   fault deep down, and the one place that reports it is Run, which prints
//   the message and returns the exit status; the unit tests and the fuzz
//   targets catch the same exceptions to observe a refusal while the
//   process goes on.
// - The options of a run are a record (OPTIONS) that ParseOptions returns,
//   not global flags, so that a command line can be read again and again.
// - Everything is in the namespace vok::evaluation. These are programs of
//   their own, whose records (ATOM, RULE, LITERAL, BUILTIN, TERM) share their
//   names with vok's global ones; code that sees both, such as the fuzz
//   target that reads what vok writes, keeps them apart by the namespace.
#pragma once

#include "evaluation/front_end/options.hpp"

namespace vok::evaluation {

// Exit statuses.
constexpr int ExitFinished = 0;      // solving finished, with or without answer sets
constexpr int ExitBadProgram = 1;    // FILE unreadable, a syntax error, a refused construct
constexpr int ExitBadUsage = 2;      // a wrong command line
constexpr int ExitSolverFailed = 3;  // clingo missing, failing, killed or interrupted,
                                     // or the answer sets could not be written
constexpr int ExitOutOfMemory = 4;   // a memory request could not be met

// The whole run of one program; returns its exit status. From its start a
// memory request that cannot be met ends the process at once: clingo is
// stopped, "PROGRAM: out of memory" goes to standard error, and the exit
// status is ExitOutOfMemory.
int Run(FILE_FORM form, int argc, char** argv);

}  // namespace vok::evaluation
