#include "evaluation/clingo/one_run.hpp"

#include "evaluation/clingo/names.hpp"

namespace vok::evaluation {

namespace {

// One line of the script's data: "NAME ARITY LEVEL" in clingo's form, or
// for a predicate written as data "g'F ARITY+1 LEVEL ID", or nothing when
// no rule of the text heads it.
void appendRejection(std::string& out, const REJECTION_PREDICATE& p, std::uint32_t number,
                     const CLINGO_TEXT& text) {
    const NAME name(NAME::KIND::IDENTIFIER, p.name, number);
    if (number < text.headed.size() && !text.headed[number]) return;
    const std::uint32_t* id = findDataName(text.data, name);
    if (!id) {
        // A name in clingo's form holds only letters, digits, "_" and "'",
        // so it never closes the long bracket.
        out += encodePredicate(name);
        out += ' ' + std::to_string(p.arity) + ' ' + std::to_string(p.level) + '\n';
        return;
    }
    out += DataPrefix + std::to_string(text.data.family[*id]);
    out += ' ' + std::to_string(p.arity + 1) + ' ' + std::to_string(p.level) + ' ' +
           std::to_string(*id) + '\n';
}

}  // namespace

std::string OneRunScript(const REJECTION_LIST& list, const std::vector<std::uint32_t>& numbers,
                         const CLINGO_TEXT& text, bool strict, std::size_t limit) {
    std::string out = "#script (lua)\nlocal rejections = [==[\n";
    for (std::size_t i = 0; i < list.predicates.size(); ++i)
        appendRejection(out, list.predicates[i], i < numbers.size() ? numbers[i] : NAME::NoNumber,
                        text);
    out += "]==]\nlocal strict = ";
    out += strict ? "true" : "false";
    out += "\nlocal limit = " + std::to_string(limit) + "\n";
    out += MinimalSearchLua;
    out += OneRunLua;
    out += "#end.\n";
    return out;
}

}  // namespace vok::evaluation
