// What the directives of the inputs and the command line define for the
// whole sequence: the constants of #const and -c/--const, the predicates
// of #show. The parser is handed one record for all the inputs of a run
// (or of a session), so that a definition holds in every later input.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "representation/ident.hpp"

// A constant's value and where it was defined; line 0: the command line,
// whose definitions the inputs' #const do not change.
struct CONSTANT_DEFINITION {
    IDENT value;
    std::string input;
    unsigned line = 0;
};

struct INPUT_DIRECTIVES {
    std::unordered_map<std::string, CONSTANT_DEFINITION> constants;
    // #show NAME/ARITY (NAME with "-" for strong negation), in reading
    // order; showSeen: some #show was read, "#show." included.
    std::vector<std::pair<std::string, std::size_t>> shown;
    bool showSeen = false;
};

struct PARSER;  // input/parser.hpp

// A term written by name: the value of the constant of that name, if one
// is defined, else the name as a term (a variable or a constant). Looks
// nothing up while no constant is defined. A variable is numbered among
// the parser's variables of the statement.
IDENT TermOfName(PARSER& parser, const INPUT_DIRECTIVES& directives, const std::string& name);

// "#const name=value." read at the parser's place: defines name, unless
// the command line did. name must begin with a lower-case letter and
// value be no variable; a name defined twice in the inputs, and one used
// as a term before its definition, are counted errors that name both
// places.
void DefineConstant(PARSER& parser, INPUT_DIRECTIVES& directives, const std::string& name,
                    IDENT value);

// -c name=value / --const name=value: value an integer (possibly
// negative), a name beginning with a lower-case letter or a quoted
// string. Returns the message that refuses a malformed definition, or
// nothing. A later definition of the same name wins.
std::optional<std::string> DefineOnCommandLine(INPUT_DIRECTIVES& directives,
                                               std::string_view definition);
