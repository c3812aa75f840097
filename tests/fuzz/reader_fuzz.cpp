// Fuzz target: the readers of rox-clingo and pexa-clingo. The first byte
// selects the file form and the largest integer; a file that reads is also
// put into clingo's language, and every predicate name must come back from
// its clingo form unchanged; its "%vok:" declarations are read and checked.
// With the top bit of the first byte the rest is a model line of clingo's
// output instead. Faults in the text must come out
// as the readers', the translation's and the formatter's exceptions.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "evaluation/clingo/names.hpp"
#include "evaluation/clingo/translate.hpp"
#include "evaluation/program/declarations.hpp"
#include "evaluation/program/reader.hpp"
#include "evaluation/solve/answer_sets.hpp"

using namespace vok::evaluation;

namespace {

void checkRoundTrip(const ATOM& atom) {
    if (decodePredicate(encodePredicate(atom.predicate)) != atom.predicate.text) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t mode = data[0];
    std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    if (mode & 0x80) {
        try {
            formatAnswerSet(text);
        } catch (const ANSWER_SET_ERROR&) {
        }
        return 0;
    }
    try {
        PROGRAM program = mode & 1 ? ReadPexa(text) : ReadRox(text);
        std::optional<std::int64_t> maxint;
        if (mode & 2) maxint = mode & 4 ? LargestMaxint : std::int64_t(mode >> 3);
        for (const RULE& rule : program.rules) {
            for (const ATOM& atom : rule.head) checkRoundTrip(atom);
            for (const LITERAL& literal : rule.body)
                if (!literal.isBuiltin) checkRoundTrip(literal.atom);
        }
        Translate(program, maxint);
        // The "%vok:" declarations are checked as --minimal checks them.
        CheckRejectionList(ReadRejectionList(program.declarations), program);
    } catch (const SYNTAX_ERROR&) {
    } catch (const TRANSLATE_ERROR&) {
    }
    return 0;
}
