// Fuzz target: the readers of rox-clingo and pexa-clingo. The first byte
// selects the file form and the largest integer; a file that reads is also
// put into clingo's language. Faults in the text must come out as the
// readers' and the translation's exceptions, nothing else.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "reader.hpp"
#include "translate.hpp"

using namespace vok::evaluation;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t mode = data[0];
    std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    try {
        Program program = mode & 1 ? read_pexa(text) : read_rox(text);
        std::optional<std::int64_t> maxint;
        if (mode & 2) maxint = mode & 4 ? largest_maxint : std::int64_t(mode >> 3);
        translate(program, maxint);
    } catch (const SyntaxError&) {
    } catch (const TranslateError&) {
    }
    return 0;
}
