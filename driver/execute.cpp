// Minimal runner: passes the evaluation program's output through. The
// output filter replaces it.
#include "execute.hpp"

#include <sys/wait.h>

#include <cstdio>
#include <iostream>

#include "exits.hpp"
#include "options.hpp"

int ExecuteProgram(std::string program, std::string options, std::string file, bool& found,
                   bool& answer, std::string& witness) {
    std::string command = program + " " + options + " " + file;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) SafeExit(1);
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe))
        OutputFilter(buffer, program, options, file, answer, witness);
    if (!OptionStore) {
        RemoveFile(file);
        UnregisterTemporaryFile(file);
    }
    int status = ::pclose(pipe);
    found = false;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return 1;
}

void OutputFilter(std::string chunk, std::string, std::string, std::string, bool&, std::string&) {
    std::cout << chunk;
}
