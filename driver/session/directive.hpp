// A session's directives: lines of standard input outside braces that
// begin with "#" and end with ".", in the style of the input language's
// directives; they ask something of the session instead of adding a
// program:
//
//   #undo.            takes back the last block taken
//   #save "FILE".     writes the sequence so far to FILE, as one input
//   #brave GOAL.      answers a goal over the sequence so far, as -FB= would
//   #cautious GOAL.   ... as -FC= would
//
// A "%" comment may follow on the line.
#pragma once

#include <string>
#include <string_view>

struct SESSION_DIRECTIVE {
    enum KIND { UNDO, SAVE, BRAVE, CAUTIOUS, REFUSED };
    KIND kind = REFUSED;
    std::string argument;  // the file of #save, the goal of #brave and #cautious
    std::string refusal;   // why a line was refused, in a diagnostic's words
};

// Whether text (stray text between blocks) is a directive line: its first
// character is "#".
inline bool IsDirectiveLine(std::string_view text) { return text.starts_with('#'); }

// The directive of a line that IsDirectiveLine; an unknown name or a
// malformed line is REFUSED, with the reason.
SESSION_DIRECTIVE ReadSessionDirective(std::string_view text);
