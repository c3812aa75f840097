// Generated names: clash avoidance, the registries, the recognisers and the
// variable lists.
#include <random>
#include <set>

#include "fixture.hpp"
#include "tests/support/whole_run.hpp"

using AuxiliaryNames = Rewriting;

TEST_F(AuxiliaryNames, UpdateNamesAreStableAndAvoidInputPredicates) {
    EXPECT_EQ(UpdatePredicate("p", 0, 1), "p_P0");
    EXPECT_EQ(UpdatePredicate("p", 0, 1), "p_P0");
    EXPECT_EQ(updatePredicates.size(), 1u);
    EXPECT_EQ(ComplementUpdatePredicate("q", 2, 0), "-q_P2");
    EXPECT_EQ(ComplementUpdatePredicate("-q", 2, 0), "q_P2");
    atom("s_P0");
    atom("s_P0_0");
    EXPECT_EQ(UpdatePredicate("s", 0, 0), "s_P0_1");
    EXPECT_EQ(UpdatePredicate("s", 0, 0), "s_P0_1");
    EXPECT_EQ(UniquePredicateName("<"), "<_0");  // builtins are taken too
}

TEST_F(AuxiliaryNames, ComplementOfAForeignNameIsTaken) {
    // The solver reads -p_P0 as the negation of the input's p_P0: the names
    // of p and -p at program 0 move together, whichever is asked first.
    atom("p_P0");
    EXPECT_EQ(ComplementUpdatePredicate("p", 0, 0), "-p_P0_0");
    EXPECT_EQ(UpdatePredicate("p", 0, 0), "p_P0_0");
    EXPECT_EQ(UpdatePredicate("-p", 0, 0), "-p_P0_0");
    freshRun();
    atom("p_P0");
    atom("-p_P0_0");
    EXPECT_EQ(UpdatePredicate("-p", 0, 0), "-p_P0_1");
    EXPECT_EQ(ComplementUpdatePredicate("-p", 0, 0), "p_P0_1");
    freshRun();
    atom("-rej_P0_R0");
    atom("-is_true");
    EXPECT_EQ(RejectionPredicate(0, 0, 0), "rej_P0_R0_0");
    EXPECT_EQ(TruthPredicateName(), "is_true_0");
    // Across the families: -ok_P1 is an update predicate of -ok, and a name
    // registered by the other family counts before any atom is built.
    ATOM(UpdatePredicate("-ok", 1, 0), std::nullopt, PREDICATE_NAMES::IDB);
    EXPECT_EQ(OkPredicateAt(1), "ok_P1_0");
    EqualityPredicate(3, 0);
    EXPECT_EQ(UniquePredicateName("eq_P3_R0"), "eq_P3_R0_0");
}

TEST_F(AuxiliaryNames, NamesMadeStayTheirsAndRunsStartAfresh) {
    // A complement that became foreign after the name was made does not
    // move the name: it is the family's already.
    EXPECT_EQ(UpdatePredicate("p", 0, 0), "p_P0");
    atom("-p_P0");
    EXPECT_EQ(UpdatePredicate("p", 0, 0), "p_P0");
    EXPECT_EQ(ComplementUpdatePredicate("-p", 0, 0), "p_P0");
    EXPECT_EQ(updatePredicates.size(), 1u);
    // The bases of a run are forgotten with it, even the ones met last.
    RejectionPredicate(0, 0, 0);
    EXPECT_TRUE(IsRewritten("p") && IsRewritten("rej"));
    freshRun();
    EXPECT_FALSE(IsRewritten("p") || IsRewritten("rej"));
    UpdatePredicate("p", 1, 0);
    RejectionPredicate(1, 0, 0);
    EXPECT_TRUE(IsRewritten("p") && IsRewritten("rej"));
}

TEST_F(AuxiliaryNames, RejectionAndMinimalityNames) {
    EXPECT_EQ(RejectionPredicate(0, 3, 2), "rej_P0_R3");
    EXPECT_TRUE(IsRejectionPredicate("rej_P0_R3"));
    EXPECT_EQ(RejectionLevel("rej_P0_R3"), 1u);
    EXPECT_EQ(ModelPredicate("rej_P0_R3", 2), "mrej_P0_R3");
    EXPECT_EQ(ATOM::Predicates.arity(minimalPredicates.find("mrej_P0_R3").first), 2u);
    EXPECT_EQ(ModelPredicate("p", 1), "p");
    EXPECT_EQ(minimalPredicates.size(), 1u);

    atom("rej_P4_R0", {"a"});
    EXPECT_FALSE(IsRejectionPredicate("rej_P4_R0"));
    EXPECT_EQ(RejectionPredicate(4, 0, 1), "rej_P4_R0_0");
    EXPECT_EQ(RejectionLevel("rej_P4_R0_0"), 5u);
    EXPECT_EQ(ModelPredicate("rej_P4_R0_0", 1), "mrej_P4_R0_0");
    EXPECT_EQ(RejectionPredicate(12, 30, 0), "rej_P12_R30");
    EXPECT_EQ(RejectionLevel("rej_P12_R30"), 13u);

    atom("ok");
    EXPECT_EQ(OkPredicateName(), "ok_0");
    EXPECT_EQ(OkPredicateName(), "ok_0");
    EXPECT_EQ(OkPredicateAt(3), "ok_P3");
    EXPECT_EQ(EqualityPredicate(4, 0), "eq_P4_R0");
}

TEST_F(AuxiliaryNames, RejectionNamesGiveProgramAndRule) {
    const auto numbers = [](std::string_view name) {
        const auto n = ReadRejectionName(name);
        return n ? std::to_string(n->program) + "/" + std::to_string(n->rule) : std::string("-");
    };
    EXPECT_EQ(numbers("rej_P0_R3"), "0/3");
    EXPECT_EQ(numbers("rej_P12_R4_0"), "12/4");
    EXPECT_EQ(ReadRejectionName("rej_P12_R4_0")->suffix, 1u);
    EXPECT_EQ(ReadRejectionName("rej_P12_R4")->suffix, 0u);
    EXPECT_EQ(numbers("rej_P4294967295_R7_12"), "4294967295/7");
    for (const char* other :
         {"rej_P", "rej_P1", "rej_P1_R", "rej_P_R1", "rej_P1_R1_", "rej_P1_R1_a", "rej_P1_R1_0_1",
          "rej_P1_R1x", "rej_P+1_R1", "rej_P1_R-1", "-rej_P1_R1", "mrej_P1_R1", "rej_P1_P2",
          "rej_P4294967296_R0", "rej_P01_R1", "rej_P1_R00", "rej_P1_R1_01"})
        EXPECT_EQ(numbers(other), "-") << other;

    // A rejection predicate is a name of that form that RejectionPredicate made;
    // a user's predicate of that form is none.
    RejectionPredicate(12, 4, 0);
    atom("rej_P0_R3");
    EXPECT_EQ(RejectionPredicate(0, 3, 1), "rej_P0_R3_0");
    EXPECT_EQ(RejectionNumbersOf("rej_P0_R3_0")->program, 0u);
    EXPECT_EQ(RejectionNumbersOf("rej_P12_R4")->rule, 4u);
    EXPECT_FALSE(RejectionNumbersOf("rej_P0_R3"));
    EXPECT_FALSE(RejectionNumbersOf("rej_P1_R1"));
}

TEST_F(AuxiliaryNames, UpdatePredicatesOfRejLikeInputsAreNoRejections) {
    // Update predicates such as rejected_P0 must not reach the candidate
    // test as rejection atoms.
    for (const char* p : {"rejected", "rej", "rej_P0_R0", "-rej_P1"}) {
        std::string u = UpdatePredicate(p, 0, 0);
        EXPECT_FALSE(IsRejectionPredicate(u)) << u;
        EXPECT_EQ(RejectionLevel(u), 0u) << u;
        EXPECT_EQ(ModelPredicate(u, 0), u);
    }
    EXPECT_EQ(minimalPredicates.size(), 0u);
}

TEST_F(AuxiliaryNames, IsOriginalLeavesOutReservedBuiltinAndGenerated) {
    for (const char* p : {"p", "\"x\"", "_x", "^x", "@x", "\"_x\""}) atom(p);
    EXPECT_TRUE(IsOriginal("p"));
    EXPECT_TRUE(IsOriginal("\"x\""));
    for (const char* p : {"_x", "^x", "@x", "\"_x\"", "<", "#int"})
        EXPECT_FALSE(IsOriginal(p)) << p;
    EXPECT_FALSE(IsOriginal(UpdatePredicate("p", 0, 0)));
    EXPECT_FALSE(IsOriginal(OkPredicateName()));
}

TEST_F(AuxiliaryNames, IsRewrittenIndexAgreesWithScan) {
    std::mt19937 random(7);
    const std::vector<std::string> stems = {"p", "-p", "q", "p_P0", "-p_P0", "rej", "a_P", "_P"};
    for (const std::string& s : stems)
        if (random() % 2) atom(s);
    for (int n = 0; n < 200; ++n) {
        const std::string& s = stems[random() % stems.size()];
        unsigned i = random() % 4, pick = random() % 3;
        if (pick == 0) UpdatePredicate(s, i, 0);
        if (pick == 1) ComplementUpdatePredicate(s, i, 0);
        if (pick == 2) RejectionPredicate(i, random() % 3, 0);
    }
    auto scan = [](const std::string& p) {
        for (const auto& [name, n] : updatePredicates.inNameOrder())
            if (name.rfind("_P") != std::string::npos && name.substr(0, name.rfind("_P")) == p)
                return true;
        return false;
    };
    std::set<std::string> probes(stems.begin(), stems.end());
    for (const auto& [name, n] : updatePredicates.inNameOrder()) {
        probes.insert(name);
        probes.insert(name.substr(0, name.rfind("_P")));
    }
    for (const std::string& p : probes) EXPECT_EQ(IsRewritten(p), scan(p)) << p;
}

TEST_F(AuxiliaryNames, VariableLists) {
    EXPECT_FALSE(ArbitraryVariables(0));
    EXPECT_EQ(text(ATOM("v", ArbitraryVariables(3))), "v(X0,X1,X2)");
    EXPECT_FALSE(variables(fact(atom("p", {"a"}))));
    // p(X1) :- q(X0, X3), not r(X4): up to the highest variable anywhere.
    std::vector<IDENT> x1 = {IDENT(IDENT::VARIABLE, 1)}, x4 = {IDENT(IDENT::VARIABLE, 4)};
    std::vector<IDENT> x0x3 = {IDENT(IDENT::VARIABLE, 0), IDENT(IDENT::VARIABLE, 3)};
    EXPECT_EQ(variables(rule(ATOM("p", ARGUMENTS(x1)),
                             {pos(ATOM("q", ARGUMENTS(x0x3))), neg(ATOM("r", ARGUMENTS(x4)))}))
                  .size(),
              5u);
}

TEST_F(AuxiliaryNames, FailedRegistrationsAreInternalErrors) {
    const std::string error = "An internal error occurred \\(Error storing ";
    EXPECT_EXIT(
        AsWholeRun([] { UpdatePredicate("p", 0, 1), ComplementUpdatePredicate("-p", 0, 2); }),
        ::testing::ExitedWithCode(99), error + "update predicate\\.\\)\\.");
    EXPECT_EXIT(AsWholeRun([] { RejectionPredicate(0, 0, 1), RejectionPredicate(0, 0, 2); }),
                ::testing::ExitedWithCode(99), error + "rejection predicate\\.\\)\\.");
    EXPECT_EXIT(AsWholeRun([] {
                    RejectionPredicate(0, 0, 1), ModelPredicate("rej_P0_R0", 1),
                        ModelPredicate("rej_P0_R0", 2);
                }),
                ::testing::ExitedWithCode(99), error + "minimality predicate\\.\\)\\.");
}
