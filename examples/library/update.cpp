// vok as a library: a sequence parsed from a string, translated, and
// written as a program file for the evaluation program, without vok's
// command line. Usage: vok-library-example FILE, then rox-clingo FILE.
#include <iostream>

#include "base/exits.hpp"
#include "driver/run/program_file.hpp"
#include "input/parser.hpp"
#include "rewriting/rewriting.hpp"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: vok-library-example FILE\n";
        return 2;
    }
    initBuiltins();  // the builtins of rox programs (==, <, +, ...)
    SEQUENCE sequence;
    PARSER parser(sequence);
    INPUT_DIRECTIVES directives;
    try {
        ParseText(parser, "{ on :- not off. }\n{ -on :- power_failure.  power_failure. }",
                  directives);
        if (parser.errors != 0) return 1;  // each error is named on standard error
        TRANSLATION translation;
        UpdateRewriting(sequence.programs, sequence.constraints, REWRITING_SETTINGS(), translation);
        StoreToFile(translation, argv[1], PROGRAM_FILE::PLAIN, nullptr);
    } catch (const END_OF_RUN& end) {
        if (!end.lastWords.empty()) std::cerr << end.lastWords << '\n';
        return end.status;
    }
    return 0;
}
