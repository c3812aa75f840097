#include "evaluation/program/syntax.hpp"

#include <algorithm>

namespace vok::evaluation {

int builtinArity(BUILTIN b) {
    return static_cast<int>(BuiltinSignatures[static_cast<std::size_t>(b)].arity);
}

const char* builtinName(BUILTIN b) { return BuiltinSignatures[static_cast<std::size_t>(b)].name; }

bool isArithmetic(BUILTIN b) {
    return b == BUILTIN::INT || b == BUILTIN::SUCC || b == BUILTIN::PLUS || b == BUILTIN::TIMES;
}

bool isGround(TERMS args) {
    return std::none_of(args.begin(), args.end(),
                        [](const TERM& t) { return t.kind == TERM::KIND::VARIABLE; });
}

bool isGroundWithBody(const RULE& rule) {
    if (rule.body.empty()) return false;
    for (const ATOM& a : rule.head)
        if (!isGround(a.args)) return false;
    for (const LITERAL& l : rule.body)
        if (l.isBuiltin || !isGround(l.atom.args)) return false;
    return true;
}

bool hasChoiceOrAggregate(const RULE& rule) {
    return rule.choice || std::any_of(rule.body.begin(), rule.body.end(),
                                      [](const LITERAL& l) { return l.isAggregate; });
}

namespace {

constexpr std::size_t FirstBlock = std::size_t(16) << 10;

}  // namespace

std::size_t nextBlockBytes(std::size_t bytes) {
    return bytes == 0 ? FirstBlock : std::min(2 * bytes, HugePage);
}

}  // namespace vok::evaluation
