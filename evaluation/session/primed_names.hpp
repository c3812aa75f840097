// The auxiliary names of a session's encoding: the predicates and program
// parts that the evaluation program writes for clingo and the session
// script reads back. Each holds a "'", which no name of the file forms can;
// where one begins as a name of clingo/names.hpp's encoding does (u'), the
// call's number follows, a digit that no encoded name has there. The
// table is the one place they are spelled: the encoding takes them from
// it, and the script gets them as the Lua table "primed" (primedNamesLua).
// A name written "x'N" is numbered by the ground call N that made its atoms.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vok::evaluation::engine {

enum class PRIMED : std::uint8_t {
    HOLDS,
    CONTRIBUTES,
    REJECTED,
    FACT,
    NEGATED_FACT,
    DEFINED,
    DEFINED_IN,
    FINAL_HOOK,
    FINAL_HERE,
    FINAL_JOINED,
    NEW_LEVEL,
    LEVEL_ABOVE,
    LEVEL_INSERTED,
    LEVEL_TOUCHED,
    LEVEL_HOOK,
    LEVEL_RECORDED,
    STEP_GUARD,
    RULES_CALL,
    LINK_CALL,
    HEURISTICS,
    STEP_GUARD_PART,
    CHOSEN,
    CHOICE_RULE,
    CHOOSABLE,
    HANDED,
    CHOICE_BODY,
};

struct PRIMED_NAME {
    PRIMED id;
    std::string_view name;     // as clingo sees it, before the call's number
    std::string_view luaKey;   // its key in the script's table "primed"
    std::string_view meaning;  // its atoms, in words
};

inline constexpr std::array<PRIMED_NAME, 26> PrimedNames{{
    {PRIMED::HOLDS, "h'", "holds",
     "h'(M,H): literal H holds at level M, derived by program M or newer and not rejected; level "
     "0 is the literal itself"},
    {PRIMED::CONTRIBUTES, "o'", "contributes",
     "o'N(K,J,H): an instance of rule J of program K derives H and is not rejected"},
    {PRIMED::REJECTED, "r'", "rejected",
     "r'N(K,J,V,C): the instance of rule J of program K with variable values V is rejected, as "
     "the complement C of its head holds at level K+1"},
    {PRIMED::FACT, "d'", "fact", "d'N(K,J,H): fact J of program K, its literal H, an atom"},
    {PRIMED::NEGATED_FACT, "n'", "negated_fact",
     "n'N(K,J,A): fact J of program K, the strong negation of the atom A"},
    {PRIMED::DEFINED, "z'", "defined",
     "z'(H): H is defined in an earlier ground call, which later ones leave alone"},
    {PRIMED::DEFINED_IN, "q'", "defined_in",
     "q'N(H): H is defined in call N, with its level 0 and its consistency"},
    {PRIMED::FINAL_HOOK, "f'", "final_hook",
     "f'(N,H): the external through which call N leaves H open to the contributions of later "
     "steps"},
    {PRIMED::FINAL_HERE, "w'", "final_here", "w'N(H): the link call N defines H"},
    {PRIMED::FINAL_JOINED, "e'", "final_joined",
     "e'N(H,G,F): the hook of H opened by call G takes the contributions of call N (F: 1 those "
     "of the call of the rules as well)"},
    {PRIMED::NEW_LEVEL, "l'", "new_level", "l'N(M,H): call N makes level M of H"},
    {PRIMED::LEVEL_ABOVE, "u'", "level_above",
     "u'N(M,H,M1): level M1 of H is the next above its level M"},
    {PRIMED::LEVEL_INSERTED, "i'", "level_inserted",
     "i'N(M0,H,M): a level M made in call N is the next above the older level M0"},
    {PRIMED::LEVEL_TOUCHED, "t'", "level_touched",
     "t'N(M,H,G): call N closes the hook G of the existing level M of H and opens its own"},
    {PRIMED::LEVEL_HOOK, "k'", "level_hook",
     "k'(G,M,H): the external through which call G leaves level M of H open"},
    {PRIMED::LEVEL_RECORDED, "v'", "level_recorded",
     "v'N(G,M,H): call G contributed H at level M before H had levels"},
    {PRIMED::STEP_GUARD, "b'", "step_guard",
     "b'(S): holds while step S is solved; the script's blocking constraints need it"},
    {PRIMED::RULES_CALL, "c'", "rules_call", "c'N: the program part of the step's rules and facts"},
    {PRIMED::LINK_CALL, "l'", "link_call",
     "l'N: the program part that links the step's contributions to the literals' levels"},
    {PRIMED::HEURISTICS, "rh'", "heuristics",
     "rh'N: the program part of the heuristics that decide the rejection atoms first"},
    {PRIMED::STEP_GUARD_PART, "bk'", "step_guard_part",
     "bk'S: the program part that declares b'(S) external"},
    {PRIMED::CHOSEN, "x'", "chosen",
     "x'N(K,H): program K chose H through a choice rule whose instance is not rejected"},
    {PRIMED::CHOICE_RULE, "y'", "choice_rule", "y'N(K,J): rule J of program K is a choice rule"},
    {PRIMED::CHOOSABLE, "a'", "choosable",
     "a'N(K,H): a choice rule of program K whose instance is not rejected may choose H"},
    {PRIMED::HANDED, "s'", "handed",
     "s'N(H): call N declares H, an atom that the maintained part decides, external; the part "
     "assigns its truth"},
    {PRIMED::CHOICE_BODY, "m'", "choice_body",
     "m'N(X..): the body of the session's choice rule N holds for the head's variables X.."},
}};

constexpr std::string_view primed(PRIMED id) {
    return PrimedNames[static_cast<std::size_t>(id)].name;
}

// The Lua table "primed", key = "name" for every name, as a definition
// for the head of the script.
std::string primedNamesLua();

}  // namespace vok::evaluation::engine
