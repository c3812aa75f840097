// The update answer sets of a sequence that grows step by step, computed in
// one clingo process that is handed each step's programs (clingo's
// multi-shot solving, driven by session.lua).
//
// The encoding, in words (the auxiliary names, each with its meaning, are
// the table of primed_names.hpp):
// - A literal H holds at level M (h'(M,H)) when a rule instance of program M
//   or newer derives it and is not rejected. An instance of rule J of
//   program K with head H contributes H (o'N(K,J,H), N the ground call) when
//   its body holds and the complement C of H does not hold at level K+1;
//   it is rejected (r'N(K,J,V,C), V the values of the rule's variables)
//   when its body holds and C holds at K+1. Level 0 is the literal itself.
// - A later step only adds rules and defines atoms that earlier ground
//   calls declared external: the level above a literal's highest level,
//   a hook per level of a program whose rules may gain instances later, and
//   a hook per literal for contributions of later steps.
// - The literal itself is defined in the ground call that grounds its first
//   contributions, together with the rules whose bodies use it, so that
//   clingo checks the positive loops among them. An instance of an older
//   rule is grounded in the step where the last of its positive body atoms
//   appears, and only then (each instance has one rejection atom, which the
//   minimal answer sets count). A contribution of a rule that may close a
//   positive loop through a literal of an earlier step, which clingo would
//   not check, makes the step ground everything again in a new process.
// - A choice rule's instance contributes only when its program chose the
//   literal (x'N(K,H), one atom per program and literal, as the rewriting
//   has one update atom), and the choice is made wherever a newer program
//   or another rule of its program contributes the literal (a'N(K,H): the
//   choice may be made), as that update atom is then true. A sequence with
//   a choice is grounded from scratch each step.
// - What needs no search (facts, and the rules over them that need none)
//   is kept outside clingo by the maintained part (maintained.hpp); what
//   holds of it is the base set that every answer set includes. What of it
//   clingo's rules read reaches clingo as facts (of a group that only facts
//   derive) or as externals whose truth the part assigns (s'N(H): one a
//   literal, declared in the step where it first holds). With rejected
//   rules asked for (explanations, minimality), only a fact whose literal
//   no rule body or constraint mentions (by predicate) and whose
//   complement nothing derives is kept out of clingo, until a step changes
//   that; its facts then go to clingo.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/contract.hpp"
#include "evaluation/program/declarations.hpp"
#include "evaluation/program/syntax.hpp"

namespace vok::evaluation {

struct SESSION_CONFIG {
    FILE_FORM form = FILE_FORM::ROX;
    MINIMALITY minimal = MINIMALITY::NONE;
    bool explain = false;       // the rejected rule instances of each answer set
    bool verbose = false;       // "info" lines
    std::size_t maxModels = 0;  // per step; 0: all
    std::optional<std::int64_t> maxint;
    std::string clingo = "clingo";
    std::vector<std::string> clingoOptions;
};

// A step whose programs cannot be taken (they do not read, or cannot go to
// clingo); nothing of it was added, and the session goes on.
// what() is the line that says so.
struct SESSION_REFUSED : std::runtime_error {
    explicit SESSION_REFUSED(const REFUSAL& why) : std::runtime_error(RefusalLine(why)) {}
};

// clingo failed; the session cannot go on.
struct SESSION_FAILED : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct SESSION;
struct SESSION_END {
    void operator()(SESSION* session) const;
};
using SESSION_PTR = std::unique_ptr<SESSION, SESSION_END>;

// Starts clingo; throws SESSION_FAILED.
SESSION_PTR StartSession(const SESSION_CONFIG& config);

// Adds the programs (texts in the file form, in sequence order) as the next
// step and hands the lines of its answer to emit, each ending in "\n" (see
// rox-clingo(1), SESSIONS): the changes of the base set, the answer sets,
// with the config's explain their rejected rule instances, with its verbose
// "info" lines, and "done COUNT complete|more". emit returns false when it could not
// write. Throws SESSION_REFUSED or SESSION_FAILED.
void SessionStep(SESSION& session, const std::vector<std::string>& programs,
                 const std::function<bool(std::string_view)>& emit);

// Ends clingo; true when it ended well.
bool EndSession(SESSION& session);

// The session script (session.lua), compiled in by the build.
extern const std::string_view SessionLua;

}  // namespace vok::evaluation
