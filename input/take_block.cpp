#include "input/take_block.hpp"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <span>
#include <string>
#include <vector>

#include "base/options.hpp"
#include "input/origins.hpp"
#include "input/parser.hpp"

namespace {

// The sizes of everything a block adds to.
struct TABLES_MARK {
    std::size_t programs = 0;
    std::size_t constraints = 0;
    std::size_t origins = 0;
    std::size_t inputs = 0;
    unsigned predicates = 0;
    unsigned constants = 0;
    bool propositional = true;
    int errors = 0;
};

TABLES_MARK markTables() {
    TABLES_MARK m;
    m.programs = UpdateIDs.size();
    m.constraints = Constraints.size();
    m.origins = RuleOrigins.size();
    m.inputs = OriginInputs.size();
    m.predicates = ATOM::Predicates.size();
    m.constants = IDENT::Constants.size();
    m.propositional = IsPropositional;
    m.errors = parser_errors;
    return m;
}

void rollBack(const TABLES_MARK& m) {
    UpdateIDs.resize(m.programs);
    Constraints.resize(m.constraints);
    RuleOrigins.resize(m.origins);
    OriginInputs.resize(m.inputs);
    ATOM::Predicates.truncate(m.predicates);
    IDENT::Constants.truncate(m.constants);
    IsPropositional = m.propositional;
    CurrentUID = static_cast<int>(UpdateIDs.size()) - 1;
    LocalVariables.reset();
}

// The parse of a block; a predicate met with another arity or kind than
// before is an error of the block, which ends its parse there.
int parseBlock(INPUT_DIRECTIVES& directives) {
    try {
        return yyparse(directives);
    } catch (const PREDICATE_CONFLICT& conflict) {
        yyerror(conflict.reason.c_str());
        ++parser_errors;
        return 1;
    }
}

// The predicates that head a rule of the programs taken so far, by number.
std::vector<bool>& headed() {
    static std::vector<bool> heads;
    return heads;
}

}  // namespace

bool CheckComplementArities(std::size_t firstProgram, unsigned firstPredicate, unsigned at) {
    std::vector<bool> heads = headed();
    heads.resize(ATOM::Predicates.size(), false);
    // The predicates to check: those that head a rule for the first time
    // and those the programs brought.
    std::vector<unsigned> check;
    for (std::size_t i = firstProgram; i < UpdateIDs.size(); ++i) {
        if (!UpdateIDs[i].rules) continue;
        for (const RULE& r : *UpdateIDs[i].rules) {
            const auto head = r.head();
            if (!head) continue;
            for (const ATOM& a : head->atoms) {
                if (!heads[a.predicate] && a.predicate < firstPredicate)
                    check.push_back(a.predicate);
                heads[a.predicate] = true;
            }
        }
    }
    for (unsigned p = firstPredicate; p < ATOM::Predicates.size(); ++p) check.push_back(p);
    for (unsigned p : check) {
        const std::string name(ATOM::Predicates.text(p));
        const auto [c, found] = ATOM::Predicates.find(complementName(name));
        if (!found || ATOM::Predicates.arity(c) == ATOM::Predicates.arity(p)) continue;
        if (!heads[p] && !heads[c]) continue;
        const std::string message =
            name + " has arity " + std::to_string(ATOM::Predicates.arity(p)) + ", but " +
            complementName(name) + " has arity " + std::to_string(ATOM::Predicates.arity(c));
        if (at) {
            parser_line = at;
            yyerror(message.c_str());
        } else {
            std::cerr << message << "." << std::endl;
        }
        return false;
    }
    headed() = std::move(heads);
    return true;
}

namespace {

// The tables before each block taken and not given back, oldest first, with
// the heads known then: a session may take back its blocks one by one.
struct TAKEN_MARK {
    TABLES_MARK tables;
    std::vector<bool> heads;
};
std::vector<TAKEN_MARK>& takenMarks() {
    static std::vector<TAKEN_MARK> marks;
    return marks;
}

}  // namespace

namespace {

// The session engine reads a step's rules in a form that has no choice
// and no aggregate.
bool holdsAggregate(std::span<const LITERAL> literals) {
    return std::any_of(literals.begin(), literals.end(),
                       [](const LITERAL& l) { return l.isAggregate(); });
}

bool holdsChoiceOrAggregate(const OID& program, std::size_t constraintsBefore) {
    for (std::size_t c = constraintsBefore; c < Constraints.size(); ++c)
        if (holdsAggregate(Constraints[c].literals)) return true;
    if (!program.rules) return false;
    for (const RULE& r : *program.rules) {
        if (r.isChoice()) return true;
        if (const auto body = r.body(); body && holdsAggregate(body->literals)) return true;
    }
    return false;
}

}  // namespace

bool TakeBlock(std::string_view text, unsigned line, INPUT_DIRECTIVES& directives) {
    const TABLES_MARK before = markTables();
    std::FILE* in = ::fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    if (!in) return false;
    parser_file = "<stdin>";
    parser_line = line;
    yyin = in;
    yyrestart(in);
    std::vector<bool> headsBefore = headed();
    // A block refused leaves no definition behind.
    INPUT_DIRECTIVES directivesBefore = directives;
    const int result = parseBlock(directives);
    std::fclose(in);
    bool ok =
        result == 0 && parser_errors == before.errors && UpdateIDs.size() == before.programs + 1;
    if (ok && OptionProgram == PROGRAM_TYPE::PEXA && before.propositional && !IsPropositional) {
        parser_line = line;
        yyerror("PEXA cannot process first order programs");
        ok = false;
    }
    if (ok && holdsChoiceOrAggregate(UpdateIDs.back(), before.constraints)) {
        parser_line = line;
        yyerror(
            "choice rules and aggregates are not supported in sessions yet; give the "
            "programs as files to vok without --session");
        ok = false;
    }
    if (ok) ok = CheckComplementArities(before.programs, before.predicates, line);
    if (!ok) {
        rollBack(before);
        directives = std::move(directivesBefore);
        return false;
    }
    // The heads known before this block are those CheckComplementArities
    // started from; they are taken again with the mark.
    takenMarks().push_back(TAKEN_MARK{before, std::move(headsBefore)});
    return true;
}

void UndoLastBlock() {
    std::vector<TAKEN_MARK>& marks = takenMarks();
    if (marks.empty()) return;
    rollBack(marks.back().tables);
    headed() = std::move(marks.back().heads);
    marks.pop_back();
}

void ForgetTakenBlocks() {
    headed().clear();
    takenMarks().clear();
}
