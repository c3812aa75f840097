// The ground call of a step's rules in clingo's language: each rule's
// contributions and rejections, the facts as data, and the literals that
// take their first contributions. The auxiliary names are those of
// primed_names.hpp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "evaluation/session/primed_names.hpp"
#include "evaluation/session/state.hpp"

namespace vok::evaluation::engine {

// Appends the parts to out, in order.
template <class... TEXTS>
void put(std::string& out, const TEXTS&... parts) {
    (out.append(std::string_view(parts)), ...);
}

// A fact of an auxiliary predicate numbered by its ground call:
// "NAME CALL(ARG,...).", a line.
template <class FIRST, class... REST>
void row(std::string& out, PRIMED name, std::string_view call, const FIRST& first,
         const REST&... rest) {
    put(out, primed(name), call, "(", first);
    ((out += ',', out.append(std::string_view(rest))), ...);
    out += ").\n";
}

// The facts as data of the ground call, with the rule that makes their
// contributions.
void encodeFacts(const SESSION& s, std::string& out, const std::vector<std::uint32_t>& facts,
                 std::uint32_t call);

// Shows the signature's atoms, once per clingo.
void show(SESSION& s, std::string& out, std::uint32_t sig);

// The program of the ground call of the step's rules: the new rules and
// facts, and the instances of older rules that the new atoms make.
std::string rulesPart(SESSION& s, STEP& step, std::uint32_t call);

}  // namespace vok::evaluation::engine
