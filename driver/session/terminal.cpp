#include "driver/session/terminal.hpp"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#ifdef VOK_READLINE
#include <readline/history.h>
#include <readline/readline.h>
#endif

#ifdef VOK_READLINE

bool EditsLines() { return ::isatty(STDIN_FILENO) != 0; }

bool ReadEditedLine(const std::string& prompt, std::string& line) {
    // Prompts and editing go to standard error, which leaves standard
    // output to the results. A signal while a line is typed first gives
    // the terminal back its settings (readline's handler), then ends the
    // session through vok's own handler, which it passes the signal on to.
    rl_outstream = stderr;
    char* typed = ::readline(prompt.c_str());
    if (!typed) return false;
    line = typed;
    std::free(typed);
    if (!line.empty()) ::add_history(line.c_str());
    line += '\n';
    return true;
}

void EndLineEditing() { ::clear_history(); }

#else

bool EditsLines() { return false; }

bool ReadEditedLine(const std::string&, std::string&) { return false; }

void EndLineEditing() {}

#endif
