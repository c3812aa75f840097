#include "input/take_block.hpp"

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "input/origins.hpp"
#include "input/parser.hpp"

namespace {

TABLES_MARK markTables(const PARSER& parser) {
    TABLES_MARK m;
    m.programs = parser.sequence.programs.size();
    m.constraints = parser.sequence.constraints.size();
    m.origins = parser.sequence.origins.rules.size();
    m.inputs = parser.sequence.origins.inputs.size();
    m.predicates = ATOM::Predicates.size();
    m.constants = IDENT::Constants.size();
    m.propositional = parser.sequence.propositional;
    m.errors = parser.errors;
    return m;
}

void rollBack(PARSER& parser, const TABLES_MARK& m) {
    SEQUENCE& sequence = parser.sequence;
    sequence.programs.resize(m.programs);
    sequence.constraints.resize(m.constraints);
    sequence.origins.rules.resize(m.origins);
    sequence.origins.inputs.resize(m.inputs);
    ATOM::Predicates.truncate(m.predicates);
    IDENT::Constants.truncate(m.constants);
    sequence.propositional = m.propositional;
    parser.program = static_cast<int>(sequence.programs.size()) - 1;
    parser.variables.reset();
}

// The parse of a block; a predicate met with another arity or kind than
// before is an error of the block, which ends its parse there.
int parseBlock(PARSER& parser, INPUT_DIRECTIVES& directives) {
    try {
        return yyparse(parser, directives);
    } catch (const PREDICATE_CONFLICT& conflict) {
        yyerror(parser, conflict.reason.c_str());
        ++parser.errors;
        return 1;
    }
}

}  // namespace

bool CheckComplementArities(PARSER& parser, std::size_t firstProgram, unsigned firstPredicate,
                            unsigned at) {
    const std::vector<UPDATE_PROGRAM>& programs = parser.sequence.programs;
    std::vector<bool> heads = parser.headed;
    heads.resize(ATOM::Predicates.size(), false);
    // The predicates to check: those that head a rule for the first time
    // and those the programs brought.
    std::vector<unsigned> check;
    for (std::size_t i = firstProgram; i < programs.size(); ++i) {
        if (!programs[i].rules) continue;
        for (const RULE& r : *programs[i].rules) {
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
            parser.line = at;
            yyerror(parser, message.c_str());
        } else {
            std::cerr << message << "." << std::endl;
        }
        return false;
    }
    parser.headed = std::move(heads);
    return true;
}

bool TakeBlock(PARSER& parser, std::string_view text, unsigned line, INPUT_DIRECTIVES& directives) {
    const TABLES_MARK before = markTables(parser);
    std::FILE* in = ::fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    if (!in) return false;
    parser.file = "<stdin>";
    parser.line = line;
    yyin = in;
    yyrestart(in);
    std::vector<bool> headsBefore = parser.headed;
    // A block refused leaves no definition behind.
    INPUT_DIRECTIVES directivesBefore = directives;
    const int result = parseBlock(parser, directives);
    std::fclose(in);
    const SEQUENCE& sequence = parser.sequence;
    bool ok = result == 0 && parser.errors == before.errors &&
              sequence.programs.size() == before.programs + 1;
    if (ok && parser.settings.programType == PROGRAM_TYPE::PEXA && before.propositional &&
        !sequence.propositional) {
        parser.line = line;
        yyerror(parser, "PEXA cannot process first order programs");
        ok = false;
    }
    if (ok) ok = CheckComplementArities(parser, before.programs, before.predicates, line);
    if (!ok) {
        rollBack(parser, before);
        directives = std::move(directivesBefore);
        return false;
    }
    // The heads known before this block are those CheckComplementArities
    // started from; they are taken again with the mark.
    parser.taken.push_back(TAKEN_MARK{before, std::move(headsBefore)});
    return true;
}

void UndoLastBlock(PARSER& parser) {
    std::vector<TAKEN_MARK>& marks = parser.taken;
    if (marks.empty()) return;
    rollBack(parser, marks.back().tables);
    parser.headed = std::move(marks.back().heads);
    marks.pop_back();
}
