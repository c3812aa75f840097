#include "evaluation/program/syntax.hpp"

#include <cstdlib>
#include <new>

#include <sys/mman.h>

namespace vok::evaluation {

int builtinArity(BUILTIN b) {
    switch (b) {
        case BUILTIN::INT: return 1;
        case BUILTIN::PLUS:
        case BUILTIN::TIMES: return 3;
        default: return 2;
    }
}

const char* builtinName(BUILTIN b) {
    switch (b) {
        case BUILTIN::EQUAL: return "==";
        case BUILTIN::UNEQUAL: return "!=";
        case BUILTIN::LESS: return "<";
        case BUILTIN::GREATER: return ">";
        case BUILTIN::LESS_EQUAL: return "<=";
        case BUILTIN::GREATER_EQUAL: return ">=";
        case BUILTIN::INT: return "#int";
        case BUILTIN::SUCC: return "#succ";
        case BUILTIN::PLUS: return "+";
        case BUILTIN::TIMES: return "*";
    }
    return "?";
}

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

namespace {

constexpr std::size_t HugePage = std::size_t(2) << 20;
constexpr std::size_t FirstBlock = std::size_t(16) << 10;

std::size_t roundUp(std::size_t n, std::size_t to) { return (n + to - 1) / to * to; }

}  // namespace

std::size_t nextBlockBytes(std::size_t bytes) {
    return bytes == 0 ? FirstBlock : std::min(2 * bytes, HugePage);
}

// The same advice as vok gives its own chunks; the evaluation programs
// share no code with vok's stages, so it is written here again.
void* allocateBlock(std::size_t bytes) {
    if (bytes < HugePage) return ::operator new(bytes);
    void* block = std::aligned_alloc(HugePage, roundUp(bytes, HugePage));
    if (!block) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    // Only advice: without huge pages the block works all the same.
    ::madvise(block, roundUp(bytes, HugePage), MADV_HUGEPAGE);
#endif
    return block;
}

void releaseBlock(void* block, std::size_t bytes) noexcept {
    if (bytes < HugePage) return ::operator delete(block);
    std::free(block);
}

}  // namespace vok::evaluation
