#include "evaluation/clingo/one_run.hpp"

#include "evaluation/clingo/names.hpp"

namespace vok::evaluation {

std::string OneRunScript(const REJECTION_LIST& list, bool strict, std::size_t limit) {
    std::string out = "#script (lua)\nlocal rejections = [==[\n";
    for (const REJECTION_PREDICATE& p : list.predicates) {
        // A name in clingo's form holds only letters, digits, "_" and "'",
        // so it never closes the long bracket.
        out += encodePredicate({NAME::KIND::IDENTIFIER, p.name});
        out += ' ' + std::to_string(p.arity) + ' ' + std::to_string(p.level) + '\n';
    }
    out += "]==]\nlocal strict = ";
    out += strict ? "true" : "false";
    out += "\nlocal limit = " + std::to_string(limit) + "\n";
    out += OneRunLua;
    out += "#end.\n";
    return out;
}

}  // namespace vok::evaluation
