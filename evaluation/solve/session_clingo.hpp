// The clingo process of a session: started once with a Lua script that takes
// commands on clingo's standard input and answers on its standard output
// (session/session.lua says which), and kept until the session ends. It is
// started through common/child.hpp and stopped on the ending signals as
// Solve's clingo is (solver.hpp).
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

namespace vok::evaluation {

struct CLINGO_CHANNEL {
    pid_t pid = -1;
    int in = -1;          // commands go here
    int out = -1;         // replies come from here
    std::string pending;  // read from out, not yet taken
    std::size_t taken = 0;
};

// Starts clingo with the arguments and the script, which clingo reads from
// descriptor 3 (no file is written). Returns why it could not, or nothing.
std::string StartSessionClingo(const std::string& clingo, const std::vector<std::string>& args,
                               std::string_view script, CLINGO_CHANNEL& channel);

// Writes text whole; false when clingo no longer reads.
bool SendToClingo(CLINGO_CHANNEL& channel, std::string_view text);

// The next line clingo wrote, without its line end; false at the end of its
// output.
bool ReadFromClingo(CLINGO_CHANNEL& channel, std::string& line);

// Closes both pipes and waits for clingo (killing it first when kill is
// set); its wait status.
int StopSessionClingo(CLINGO_CHANNEL& channel, bool kill);

}  // namespace vok::evaluation
