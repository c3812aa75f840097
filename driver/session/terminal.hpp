// Lines typed at a terminal, with line editing and a history of the lines
// of the session, where vok was built with a line editor (readline); a
// session whose standard input is no terminal reads it as it comes.
#pragma once

#include <string>

// Whether the session reads standard input through the line editor: it is
// a terminal and a line editor was built in.
bool EditsLines();

// The next line typed after prompt (written to standard error), with its
// line end; false at the end of the input.
bool ReadEditedLine(const std::string& prompt, std::string& line);

// Gives back what the line editor holds (its history).
void EndLineEditing();
