#include "report.hpp"

#include "common/contract.hpp"
#include "representation/rule.hpp"

void PrintStatistics(std::ostream& out, const TRANSLATION& t, const RUN_SETTINGS& settings) {
    // The builtins are no predicates of the program, the assignment's "="
    // (registered on its first use) among them.
    const unsigned builtins =
        static_cast<unsigned>(NumBuiltins) + (ATOM::Predicates.contains(AssignmentName) ? 1u : 0u);
    out << "The rewritten program consits of " << IDENT::Constants.size() << " constants, "
        << ATOM::Predicates.size() - builtins + updatePredicates.size() << " predicates, "
        << t.ruleCount() << " rules, and " << t.constraints.size() << " constraints";
    if (settings.minimal || settings.strict) {
        if (settings.integral)
            out << " plus " << t.minRules.size() << " minimality rules and "
                << t.minConstraints.size() << " minimality constraints";
        else
            out << ". " << '\n'
                << t.minRules.size() << " global minimality rules and " << t.minConstraints.size()
                << " global minimality constraints are used for testing "
                << "candidates";
    }
    out << "." << std::endl;
}

namespace {
void printNames(std::ostream& out, const char* title, const NAMES& table, NOTATION notation) {
    out << title;
    PrintList(out, table.begin(), table.end(), ", ", notation);
    out << "\n\n";
}
// The predicates, the update names among them, or the update names alone.
void printPredicates(std::ostream& out, const char* title, bool updatesOnly, NOTATION notation) {
    out << title;
    bool first = true;
    auto print = [&](std::string_view name, unsigned number) {
        if (updatesOnly && !isUpdateNumber(number)) return;
        // An aggregate's name is its text, with its variables left out.
        if (!name.empty() && name[0] == AggregateMark) return;
        if (!first) out << ", ";
        first = false;
        PrintName(out, name, notation);
    };
    forEachPredicate(print);
    out << "\n\n";
}
void printNames(std::ostream& out, const char* title, const GENERATED_NAMES& registry,
                NOTATION notation) {
    out << title;
    const std::vector<NAMES_ITEM> names = registry.inNameOrder();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i) out << ", ";
        PrintName(out, names[i].name, notation);
    }
    out << "\n\n";
}
}  // namespace

void PrintDebugReport(std::ostream& out, const TRANSLATION& t, const RUN_SETTINGS& settings) {
    const bool minimality = settings.minimal || settings.strict;
    const NOTATION notation = t.notation;
    out << '\n';
    printNames(out, "The following constants have been introduced: ", IDENT::Constants, notation);
    printPredicates(out, "The following predicates have been introduced: ", false, notation);
    printPredicates(out, "The following update predicates have been introduced: ", true, notation);
    if (minimality)
        printNames(out,
                   "The following minimality predicates have been introduced: ", minimalPredicates,
                   notation);
    out << "The following rules have been introduced: " << '\n';
    PrintTranslatedRules(out, t, 0, t.ruleCount(), "\n", notation);
    out << "\n\n";
    out << "The following constraints have been introduced: " << '\n';
    PrintList(out, t.constraints, "\n", notation);
    out << '\n' << "\n\n";
    if (minimality) {
        out << "The following (global/integral) minimality rules have been introduced: " << '\n';
        PrintList(out, t.minRules, "\n", notation);
        out << "\n\n";
        out << "The following (global/integral) minimality constraints have been introduced: "
            << '\n';
        PrintList(out, t.minConstraints, "\n", notation);
        out << "\n\n";
    }
    out.flush();
}
