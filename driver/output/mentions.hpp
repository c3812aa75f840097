// What the results say on standard error besides them: that a predicate
// named on the command line (--show=, a goal) occurs in no program, which
// is most likely a slip of the pen, and that the update sequence has no
// answer set, which the text form otherwise shows by printing nothing.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Whether some program of the sequence mentions the predicate NAME/ARITY
// (strong negation as "-p", a predicate of its own).
bool InputMentions(std::string_view name, std::size_t arity);

// "vok: warning: --show names p/2, which no program mentions", one line for
// each predicate of shown that no program mentions.
void WarnOfUnmentionedShown(std::ostream& err,
                            const std::vector<std::pair<std::string, std::size_t>>& shown);

// "vok: warning: the goal's predicate p/1 occurs in no program" when the
// goal reads as an atom whose predicate no program mentions.
void WarnOfUnmentionedGoal(std::ostream& err, const std::string& goal);

// What the result of a run that ended well says when it has no answer set:
// "vok: the update sequence has no answer set", and for a goal how its
// verdict stands then.
std::string NoAnswerSetLine(bool brave, bool cautious);
