// JSON text: strings written as JSON requires. The --json document itself
// is written in driver/output/answers.cpp.
#pragma once

#include <string>
#include <string_view>

// text as a JSON string, quotes included. Control bytes are escaped,
// valid UTF-8 is kept, and a byte that is not part of valid UTF-8 is
// written as \u00XX (the character of that code).
std::string JsonString(std::string_view text);
