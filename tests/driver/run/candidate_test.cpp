// Candidate rules from printed rejection atoms, and test file names.
#include "driver/run/candidate.hpp"
#include "driver/output/answer_atom.hpp"
#include "tests/support/driver/fixture.hpp"
#include "tests/support/whole_run.hpp"

namespace {

// The settings the candidate rules are made with.
RUN_SETTINGS& settings() {
    static RUN_SETTINGS s;
    return s;
}

// The candidate rules of a rejection atom given as text ("rej_P0_R1(d,7)").
void AddCandidateRules(const std::string& text, RULES& rules) {
    ::AddCandidateRules(settings(), readAnswerAtom(text), rules);
}

struct Candidates : Driver {
    RULES rules;
    void SetUp() override {
        Driver::SetUp();
        settings() = RUN_SETTINGS();
    }

    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const RULE& r : rules) t.push_back(text(r));
        return t;
    }
    // The terms of the negated rejection atom of the first candidate rule.
    std::vector<IDENT> rejectedTerms() const {
        const LITERAL& l = rules.at(0).body()->literals.back();
        return l.args;
    }
};

TEST_F(Candidates, RejectionAtomGivesOkRuleAndModelFact) {
    RejectionPredicate(1, 4, 2);
    RejectionPredicate(0, 0, 0);
    AddCandidateRules("rej_P1_R4(a,7)", rules);
    AddCandidateRules("rej_P0_R0", rules);
    EXPECT_EQ(texts(),
              (std::vector<std::string>{"ok :- not rej_P1_R4(a,7).", "mrej_P1_R4(a,7) :- is_true.",
                                        "ok :- not rej_P0_R0.", "mrej_P0_R0 :- is_true."}));
    EXPECT_EQ(ATOM::Predicates.arity(minimalPredicates.find("mrej_P1_R4").first), 2u);
}

TEST_F(Candidates, StrictRulesDependOnTheNextLevel) {
    settings().strict = true;
    RejectionPredicate(1, 4, 1);
    AddCandidateRules("rej_P1_R4(a)", rules);
    EXPECT_EQ(texts(), (std::vector<std::string>{"ok_P2 :- eq_P3_R0, not rej_P1_R4(a).",
                                                 "mrej_P1_R4(a) :- is_true."}));
}

TEST_F(Candidates, ArgumentTokensBecomeIntegersOrConstants) {
    RejectionPredicate(0, 0, 8);
    AddCandidateRules("rej_P0_R0(0,007,-3,-0,x1,12,\"a, b\",99999999999)", rules);
    std::vector<IDENT> terms = rejectedTerms();
    ASSERT_EQ(terms.size(), 8u);
    EXPECT_EQ(terms[0], IDENT(IDENT::INTEGER, 0));
    EXPECT_EQ(terms[1], IDENT(IDENT::INTEGER, 7));
    EXPECT_EQ(terms[2], IDENT(IDENT::INTEGER, -3));
    EXPECT_EQ(terms[3], IDENT(IDENT::CONSTANT, (int)IDENT::Constants.find("-0").first));
    EXPECT_EQ(terms[4], IDENT(IDENT::CONSTANT, (int)IDENT::Constants.find("x1").first));
    EXPECT_EQ(terms[5], IDENT(IDENT::INTEGER, 12));
    EXPECT_TRUE(IDENT::Constants.contains("\"a, b\""));
    // Beyond the range of integer terms the token keeps its text.
    EXPECT_EQ(terms[7], IDENT(IDENT::CONSTANT, (int)IDENT::Constants.find("99999999999").first));
    EXPECT_EQ(text(rules[1]), "mrej_P0_R0(0,7,-3,-0,x1,12,\"a, b\",99999999999) :- is_true.");
}

TEST_F(Candidates, BlanksBetweenArgumentsAreSeparators) {
    RejectionPredicate(0, 1, 2);
    AddCandidateRules("rej_P0_R1( a ,\tb )", rules);
    EXPECT_EQ(text(rules.at(0)), "ok :- not rej_P0_R1(a,b).");
}

TEST_F(Candidates, OtherAtomsAddNoRules) {
    RejectionPredicate(0, 0, 1);
    AddCandidateRules("p(a)", rules);
    // An input predicate that merely looks like a rejection predicate.
    AddCandidateRules("rej_P5_R5", rules);
    AddModelRules(settings(), atom("rej_P0_R0", {"X"}), rules);
    EXPECT_TRUE(rules.empty());
}

TEST_F(Candidates, ArityConflictEndsTheRun) {
    RejectionPredicate(0, 0, 1);
    AddCandidateRules("rej_P0_R0(a)", rules);
    EXPECT_EXIT(AsWholeRun([&] { AddCandidateRules("rej_P0_R0(a,b)", rules); }),
                ::testing::ExitedWithCode(1),
                "rej_P0_R0, first used with arity 1, now seen with arity 2\\.");
}

TEST_F(Candidates, DebugTracesEveryRule) {
    settings().debug = true;
    RejectionPredicate(0, 0, 0);
    Capture err(std::cerr);
    AddCandidateRules("rej_P0_R0", rules);
    EXPECT_EQ(
        err.text(),
        "Added minimaltiy (strictness) rule ok :- not rej_P0_R0.to the current model's rules.\n"
        "Added minimaltiy (strictness) rule mrej_P0_R0 :- is_true.to the current model's "
        "rules.\n");
}

}  // namespace
