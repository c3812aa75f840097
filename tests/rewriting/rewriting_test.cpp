// Whole rewritings of small sequences: the rule lists they produce, in order,
// and the -debug lines.
#include <random>

#include "fixture.hpp"
#include "rewriting/inertia.hpp"
#include "rewriting/minimality.hpp"
#include "rewriting/rewriting.hpp"
#include "rewriting/strongneg.hpp"
#include "tests/support/whole_run.hpp"

namespace {

// { p(X) :- q(X). q(a). }  { -p(X) :- q(X), not r(X). }
void twoPrograms() {
    program({rule(atom("p", {"X"}), {pos(atom("q", {"X"}))}), fact(atom("q", {"a"}))});
    program({rule(strong("p", {"X"}), {pos(atom("q", {"X"})), neg(atom("r", {"X"}))})});
}

const std::vector<std::string> TwoProgramRules = {
    "rej_P0_R0(X0) :- q(X0), -p_P1(X0).",
    "p_P0(X0) :- q(X0), not rej_P0_R0(X0).",
    "rej_P0_R1 :- -q_P1(a).",
    "q_P0(a) :- not rej_P0_R1.",
    "-p_P1(X0) :- q(X0), not r(X0).",
    "p_P0(X0) :- p_P1(X0).",
    "-p_P0(X0) :- -p_P1(X0).",
    "p(X0) :- p_P0(X0).",
    "-p(X0) :- -p_P0(X0).",
    "q_P0(X0) :- q_P1(X0).",
    "-q_P0(X0) :- -q_P1(X0).",
    "q(X0) :- q_P0(X0).",
    "-q(X0) :- -q_P0(X0).",
};

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST_F(Rewriting, TwoProgramsWithInertiaAndDebugLines) {
    twoPrograms();
    S.debug = true;
    std::string trace = stderrOf([this] { translate(); });
    EXPECT_EQ(translatedLines(), join(TwoProgramRules));
    EXPECT_EQ(text((*Sequence().programs[0].rules)[1]),
              "q_P0(a) :- not rej_P0_R1.");  // rewritten in place
    for (const char* made : {"rej_P0_R0", "-p_P1", "p_P0", "rej_P0_R1", "-q_P1", "q_P0"})
        EXPECT_TRUE(updatePredicates.contains(made)) << made;
    EXPECT_TRUE(T.constraints.empty() && T.minRules.empty() && T.minConstraints.empty());

    std::string expected = "\nUpdate Rewriting.\n";
    const char* kinds[] = {"rejection", "rewritten", "rejection", "rewritten", "rewritten"};
    for (unsigned n = 0; n < 13; ++n)
        expected += std::string("Added ") + (n < 5 ? kinds[n] : "propagation") + " rule " +
                    TwoProgramRules[n] + "to the rewritten program rules.\n";
    EXPECT_EQ(trace, expected + "Update Rewriting finished.\n\n");
}

TEST_F(Rewriting, ShapesOfRewrittenRules) {
    // One program: no rejection; a fact keeps a present, empty body.
    program({rule(atom("p", {"X"}), {pos(atom("q", {"X"}))}), fact(atom("s"))});
    translate();
    EXPECT_EQ(translatedLines(), join({"p_P0(X0) :- q(X0).", "s_P0 :- .", "p(X0) :- p_P0(X0).",
                                       "-p(X0) :- -p_P0(X0).", "s :- s_P0.", "-s :- -s_P0."}));
    // A negated head tests its complement; body-only variables still go into
    // the rejection atom; an empty middle program keeps its number.
    fresh();
    program({rule(strong("p", {"X"}), {pos(atom("q", {"X"}))}),
             rule(atom("t"), {pos(atom("u", {"Y"}))})});
    program({});
    program({});
    translate();
    // The rules of the programs come first, the inertia rules after them;
    // the rejection rules are written from the rewritten ones.
    ASSERT_EQ(T.rules.size(), 2u);
    EXPECT_EQ(T.inertiaAt, 2u);
    EXPECT_TRUE(T.rejections.marked(0) && T.rejections.marked(1));
    EXPECT_FALSE(T.inertia.empty());
    EXPECT_EQ(lines(T.rules), join({"-p_P0(X0) :- q(X0), not rej_P0_R0(X0).",
                                    "t_P0 :- u(X0), not rej_P0_R1(X0)."}));
    EXPECT_EQ(text(rejectionRule(T.rules[0])), "rej_P0_R0(X0) :- q(X0), p_P1(X0).");
    EXPECT_EQ(text(rejectionRule(T.rules[1])), "rej_P0_R1(X0) :- u(X0), -t_P1.");
    const std::string all = translatedLines();
    EXPECT_EQ(all.substr(0, all.find("\n", all.find("rej_P0_R1(X0) :-"))),
              "rej_P0_R0(X0) :- q(X0), p_P1(X0).\n-p_P0(X0) :- q(X0), not rej_P0_R0(X0).\n"
              "rej_P0_R1(X0) :- u(X0), -t_P1.");
}

TEST_F(Rewriting, TranslatedRulesPrintAlikeInAnyPieces) {
    // The writer asks for the rules in pieces; a piece may begin or end
    // between a rejection rule and the rewritten rule it is written from,
    // on either side of the inertia rules, and after the truth fact.
    program(
        {rule(atom("p", {"X"}), {pos(atom("q", {"X"})), neg(atom("r", {"X"}))}), fact(atom("s"))});
    program({fact(atom("q", {"a"})), rule(strong("s"), {neg(atom("p", {"a"}))})});
    program({fact(atom("r", {"a"}))});
    S.minimal = true;
    translate();
    ASSERT_EQ(T.rejections.count, 4u);
    const std::size_t count = T.ruleCount();
    ASSERT_EQ(count, T.rules.size() + 4 + T.inertia.size());
    const std::string whole = translatedLines();
    for (std::size_t piece = 1; piece <= 4; ++piece) {
        std::ostringstream out;
        for (std::size_t at = 0; at < count; at += piece) {
            if (at) out << "\n";
            PrintTranslatedRules(out, T, at, std::min(count, at + piece), "\n", T.notation);
        }
        EXPECT_EQ(out.str(), whole) << piece;
    }
    EXPECT_NE(whole.find("\nrej_P1_R1 :- s_P2, not p(a).\n-s_P1 :- not p(a), not rej_P1_R1.\n"),
              std::string::npos)
        << whole;
}

TEST_F(Rewriting, InertiaSelection) {
    // Other than -O=succint, every input predicate is selected (r occurs
    // only in a body); builtins and generated names never are.
    std::vector<IDENT> oneTwo = {IDENT(IDENT::INTEGER, 1), IDENT(IDENT::INTEGER, 2)};
    program({rule(atom("p"), {pos(atom("r")), pos(newBuiltin(LESS, ARGUMENTS(oneTwo)))})});
    program({});
    S.optimize = OPTIMIZATION::ALL;
    translate();
    EXPECT_EQ(translatedLines(),
              join({"rej_P0_R0 :- r, <(1,2), -p_P1.", "p_P0 :- r, <(1,2), not rej_P0_R0.",
                    "p_P0 :- p_P1.", "-p_P0 :- -p_P1.", "p :- p_P0.", "-p :- -p_P0.",
                    "r_P0 :- r_P1.", "-r_P0 :- -r_P1.", "r :- r_P0.", "-r :- -r_P0."}));
    // -q heads a rule and q occurs nowhere: the walk registers q behind its
    // position and meets it again.
    fresh();
    program({fact(strong("q"))});
    translate();
    EXPECT_EQ(translatedLines(),
              join({"-q_P0 :- .", "-q :- -q_P0.", "q :- q_P0.", "q :- q_P0.", "-q :- -q_P0."}));
}

// With -O=succint the inertia step walks only the names that update
// predicates were made from; on random sequences over names that clash with
// generated ones it must select exactly what a walk over every predicate
// selects, in the same order.
TEST_F(Rewriting, InertiaWalkAgreesWithAWalkOverAllPredicates) {
    const char* names[] = {"p",   "-p",   "q",       "-q", "p_P0", "-p_P1",
                           "rej", "-rej", "q_P0_P1", "r",  "-r_P0"};
    std::mt19937 random(11);
    auto name = [&] { return std::string(names[random() % std::size(names)]); };
    auto sequence = [&](unsigned seed) {
        random.seed(seed);
        const unsigned programs = 1 + random() % 3;
        for (unsigned i = 0; i < programs; ++i) {
            std::vector<RULE> rules;
            for (unsigned n = random() % 4; n-- > 0;) {
                std::vector<LITERAL> body;
                for (unsigned b = random() % 3; b-- > 0;)
                    body.push_back(LITERAL(ATOM(name(), std::nullopt), random() % 2));
                rules.push_back(rule(ATOM(name(), std::nullopt), std::move(body)));
            }
            program(std::move(rules));
        }
    };
    for (unsigned seed = 0; seed < 300; ++seed) {
        fresh();
        sequence(seed);
        translate();
        const std::string walked = translatedLines();

        fresh();
        sequence(seed);
        const unsigned N = static_cast<unsigned>(Sequence().programs.size());
        REWRITING R{T, S};
        for (unsigned i = 0; i < N; ++i) UpdateRewritingRules(R, Sequence().programs[i], i, N);
        const PREDICATE_NAMES& P = ATOM::Predicates;
        for (auto it = P.begin(); it != P.end(); ++it) {
            const std::string p(it->name);
            if (!IsRewritten(p)) continue;
            if (p[0] == '-' && P.contains(p.substr(1)) && IsRewritten(p.substr(1))) continue;
            for (unsigned n = N; n-- > 0;) addPropRules(R, p, n, P.arity(it->number));
        }
        ASSERT_EQ(walked, translatedLines()) << "seed " << seed;
    }
}

TEST_F(Rewriting, NoGeneratedNamePairsWithAnInputPredicate) {
    // { p_P0. rej_P0_R0. } { -p. }: -p at program 0 must not be -p_P0.
    program({fact(atom("p_P0")), fact(atom("rej_P0_R0"))});
    program({fact(strong("p"))});
    translate();
    std::string all = translatedLines();
    for (const char* r :
         {"rej_P0_R0_0 :- -p_P0_P1.", "-p_P0_0 :- -p_P1.", "p_P0_0 :- p_P1.", "-p :- -p_P0_0.",
          "p :- p_P0_0.", "p_P0 :- p_P0_P0.", "rej_P0_R0 :- rej_P0_R0_P0."})
        EXPECT_TRUE(contains(all, r)) << r;
    for (const char* input : {"p_P0", "rej_P0_R0", "-p"}) {
        EXPECT_FALSE(updatePredicates.contains(input)) << input;
        EXPECT_FALSE(updatePredicates.contains(complementName(input))) << input;
    }
}

TEST_F(Rewriting, StrongNegationConstraintsWalkTheLiveTable) {
    fresh(PROGRAM_TYPE::PEXA);
    atom("p", {"a"});
    atom("-q");
    std::vector<IDENT> x = terms({"X"});
    ATOM(UpdatePredicate("p", 0, 1), ARGUMENTS(x), PREDICATE_NAMES::IDB);
    ATOM(ComplementUpdatePredicate("p", 0, 1), ARGUMENTS(x), PREDICATE_NAMES::IDB);
    S.debug = true;
    REWRITING R{T, S};
    std::string trace = stderrOf([&] { addStrongNegCons(R); });
    EXPECT_EQ(lines(T.constraints, T.notation),
              join({":- NEG_q, q.", ":- p(X0), NEG_p(X0).", ":- p_P0(X0), NEG_p_P0(X0).",
                    ":- q, NEG_q."}));
    EXPECT_EQ(trace.substr(0, trace.find('\n')), "Added constraint :- NEG_q, q..");
    fresh();
    program({fact(atom("p"))});
    translate();
    EXPECT_TRUE(T.constraints.empty());  // rox gets none
}

TEST_F(Rewriting, MinimalityParts) {
    // The worked lists are checked whole by the end-to-end cases; here the
    // order of the strict trace and the corner cases.
    program({fact(atom("a"))});
    program({fact(atom("d"))});
    S.strict = S.debug = true;
    std::string trace = stderrOf([this] { translate(); });
    EXPECT_TRUE(
        contains(trace,
                 "Added minimaltiy (strictness) rejction constraint :- rej_P0_R0, eq_P2_R0, "
                 "not mrej_P0_R0.to the global minimality (strictness) constraints.\n"
                 "Added rewritten rule a_P0 :- not rej_P0_R0.to the rewritten program rules.\n"
                 "Added minimaltiy (strictness) rule ok :- ok_P1.to the global minimaltiy "
                 "(strictness) rules.\n"));
    EXPECT_TRUE(contains(trace,
                         "\nAdded minimaltiy (strictness) constraint :- not ok..\n"
                         "Added minimaltiy (strictness) rule eq_P3_R0 :- is_true.to the global "
                         "minimaltiy (strictness) rules.\nAdded truth fact is_true :- .to the "
                         "rewritten program rules.\nUpdate Rewriting finished.\n\n"));
    // An input predicate named ok moves the ok proposition; a rule may have
    // an empty body; wide rejections list all variables.
    fresh();
    atom("ok");
    REWRITING R{T, S};
    addLevelRules(R, 3);
    createMinRule(R, HEAD(atom("h")), BODY());
    EXPECT_EQ(lines(T.minRules),
              join({"ok_0 :- ok_P3.", "eq_P3_R0 :- eq_P4_R0, not ok_P3.", "h :- ."}));
    RejectionPredicate(0, 0, 3);
    createMinRejCons(R, "rej_P0_R0", 1, 3);
    EXPECT_EQ(lines(T.minConstraints), ":- rej_P0_R0(X0,X1,X2), not mrej_P0_R0(X0,X1,X2).");
}

TEST_F(Rewriting, ConflictingArities) {
    // p/1 and -p/2 both head rules: their update predicates share names.
    program({rule(atom("p", {"X"}), {pos(atom("q", {"X"}))}), fact(strong("p", {"a", "b"}))});
    EXPECT_EXIT(AsWholeRun([this] { translate(); }), ::testing::ExitedWithCode(99),
                "An internal error occurred \\(Error storing update predicate\\.\\)\\.");
    // -p/2 only in a body: the final complement rule of p cannot be built.
    fresh();
    program({rule(atom("p", {"X"}), {pos(atom("q", {"X"}))}),
             rule(atom("r"), {pos(strong("p", {"a", "b"}))})});
    EXPECT_EXIT(AsWholeRun([this] { translate(); }), ::testing::ExitedWithCode(1),
                "^-p, first used with arity 2, now seen with arity 1\\.\n$");
}
