// Whole inputs read with a parser: a stream from its first line, or a text
// held in memory.
#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>

#include "base/exits.hpp"
#include "common/chunks.hpp"
#include "input/parser.hpp"

namespace {

// "in.lp: line 3: the use that conflicts is here.", in the form of the
// parser's messages.
std::string conflictPlace(const PARSER& parser) {
    std::string place = parser.file && *parser.file ? std::string(parser.file) + ": " : "";
    return place + "line " + std::to_string(parser.line) + ": the use that conflicts is here.";
}

}  // namespace

int ParseStream(PARSER& parser, FILE* in, INPUT_DIRECTIVES& directives) {
    parser.line = 1;
    yyin = in;
    yyrestart(in);
    int result = 0;
    try {
        result = yyparse(parser, directives);
    } catch (PREDICATE_CONFLICT& conflict) {
        // The reason stays as it was; where the conflicting use was read
        // follows on a line of its own.
        conflict.lastWords += "\n" + conflictPlace(parser);
        throw;
    }
    if (result != 0) ++parser.errors;
    return result;
}

int ParseText(PARSER& parser, std::string_view text, INPUT_DIRECTIVES& directives) {
    // fmemopen wants a buffer even for no text.
    static char none = '\0';
    char* bytes = text.empty() ? &none : const_cast<char*>(text.data());
    std::unique_ptr<FILE, int (*)(FILE*)> in(::fmemopen(bytes, text.size(), "r"), &std::fclose);
    if (!in) {
        if (errno == ENOMEM) MemoryRanOut();
        throw INTERNAL_ERROR{"a text in memory could not be read as a stream"};
    }
    return ParseStream(parser, in.get(), directives);
}
