// Brave and cautious reasoning for one ground goal atom, compared as text
// with the filtered answer sets.
#pragma once

#include <string>

// Whether Goal is a name, or a name with an argument list of names,
// numbers and quoted strings.
bool IsValidGoal();

// Records one filtered answer set ("{a, p(b)}") for the goal: brave
// reasoning keeps the last model holding the goal, cautious reasoning the
// last one lacking it.
void TestForGoal(std::string model, bool& answer, std::string& witness);
