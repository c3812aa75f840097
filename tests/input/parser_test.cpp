// The parser and its actions: what each kind of input leaves in the global
// tables, the diagnostics and their counting, and what survives a syntax
// error.
#include <cstdlib>

#include "input_fixture.hpp"

namespace {

using Programs = InputTest;
using Statements = InputTest;
using Builtins = InputTest;
using Diagnostics = InputTest;

using Texts = std::vector<std::string>;

TEST_F(Programs, OneProgramPerInputWithoutBraces) {
    EXPECT_EQ(parse(""), 0);
    EXPECT_EQ(parse("% only a comment\n"), 0);
    EXPECT_EQ(parse("p. q :- p."), 0);
    ASSERT_EQ(UpdateIDs.size(), 3u);
    EXPECT_EQ(CurrentUID, 2);
    EXPECT_EQ(rulesOf(0), Texts{});
    EXPECT_EQ(rulesOf(2), (Texts{"p.", "q :- p."}));
    // Every program is named by the constant vok.
    for (const OID& p : UpdateIDs) EXPECT_EQ(p.id, IDENT(IDENT::CONSTANT, 0));
    EXPECT_EQ(IDENT::Constants.text(0), "vok");
    EXPECT_EQ(IDENT::Constants.size(), 1u);
}

TEST_F(Programs, OneProgramPerBlockNumberedAcrossInputs) {
    EXPECT_EQ(parse("{ }"), 0);
    EXPECT_EQ(parse("{ p. } {} { q. r. }"), 0);
    ASSERT_EQ(UpdateIDs.size(), 4u);
    EXPECT_EQ(rulesOf(1), Texts{"p."});
    EXPECT_EQ(rulesOf(2), Texts{});
    EXPECT_EQ(rulesOf(3), (Texts{"q.", "r."}));
    EXPECT_EQ(CurrentUID, 3);
}

TEST_F(Programs, NothingMayFollowOrPrecedeTheBlocks) {
    std::string err = stderrOf([] { EXPECT_EQ(parse("{ p. }\n q."), 1); });
    EXPECT_EQ(err, "line 2: parse error.\n");
    EXPECT_EQ(stderrOf([] { EXPECT_EQ(parse("p. { q. }"), 1); }), "line 1: parse error.\n");
    EXPECT_EQ(stderrOf([] { EXPECT_EQ(parse("{ p. { q. } }"), 1); }), "line 1: parse error.\n");
    ASSERT_EQ(UpdateIDs.size(), 3u);
    EXPECT_EQ(rulesOf(0), Texts{"p."});
    EXPECT_EQ(rulesOf(1), Texts{"p."});
    EXPECT_EQ(rulesOf(2), Texts{"p."});
    EXPECT_EQ(parser_errors, 0);
}

TEST_F(Programs, WorkedExampleStopsAtTheBuiltinHead) {
    std::string err = stderrOf([] {
        EXPECT_EQ(parse("{ p. q :- p. }\n{ -q :- not r. X = Y + 1 :- s(X, Y). }"), 1);
    });
    EXPECT_EQ(err, "line 2: parse error.\n");
    ASSERT_EQ(UpdateIDs.size(), 2u);
    EXPECT_EQ(rulesOf(0), (Texts{"p.", "q :- p."}));
    EXPECT_EQ(rulesOf(1), Texts{"-q :- not r."});
    EXPECT_TRUE(IsPropositional);
    EXPECT_FALSE(ATOM::Predicates.contains("s"));
}

TEST_F(Statements, RulesFactsAndConstraints) {
    EXPECT_EQ(parse("p. q :- . r :- p, q. :- p, not r. -s(a) :- p."), 0);
    EXPECT_EQ(rulesOf(0), (Texts{"p.", "q.", "r :- p, q.", "-s(a) :- p."}));
    // "q :- ." has no body at all, not an empty one.
    EXPECT_EQ(UpdateIDs[0].rules->at(1).body, nullptr);
    EXPECT_EQ(constraintTexts(), Texts{":- p, not r."});
    EXPECT_EQ(stderrOf([] { EXPECT_EQ(parse(":- ."), 1); }), "line 1: parse error.\n");
    EXPECT_EQ(Constraints.size(), 1u);
}

TEST_F(Statements, BodiesKeepPositiveLiteralsFirst) {
    EXPECT_EQ(parse("p :- not q, r, not s, t.\n:- not a, b."), 0);
    EXPECT_EQ(rulesOf(0), Texts{"p :- r, t, not q, not s."});
    EXPECT_EQ(constraintTexts(), Texts{":- b, not a."});
    EXPECT_EQ(UpdateIDs[0].rules->at(0).body->firstNegated, 2u);
}

TEST_F(Statements, AtomsTermsAndNegation) {
    EXPECT_EQ(parse("p(X, Y) :- q(Y, X, 007, c, \"s t\"). r :- not -q. v(a). w :- v(v).\n"
                    "P(a). s :- t(_, _), u(Z, _)."),
              0);
    EXPECT_EQ(rulesOf(0), (Texts{"p(X0,X1) :- q(X1,X0,7,c,\"s t\").", "r :- not -q.", "v(a).",
                                 "w :- v(v).", "P(a).", "s :- t(X0,X1), u(X2,X3)."}));
    EXPECT_FALSE(IsPropositional);
    EXPECT_EQ(ATOM::Predicates.arity(ATOM::Predicates.find("q").first), 5u);
    EXPECT_EQ(ATOM::Predicates.arity(ATOM::Predicates.find("-q").first), 0u);
    // Predicate names are not constants.
    EXPECT_FALSE(IDENT::Constants.contains("p"));
    EXPECT_TRUE(IDENT::Constants.contains("c"));
    EXPECT_TRUE(IDENT::Constants.contains("\"s t\""));
    EXPECT_EQ(LocalVariables.count, 0u);
}

TEST_F(Statements, OnlyAtomsWithArgumentsMakeTheInputNonPropositional) {
    EXPECT_EQ(stderrOf([] { EXPECT_EQ(parse("p :- q, not -r, X < 3."), 0); }),
              "line 1: Rule is not safe.\n");
    EXPECT_TRUE(IsPropositional);
    EXPECT_EQ(parse("-p(a)."), 0);
    EXPECT_FALSE(IsPropositional);
}

TEST_F(Statements, SyntaxErrors) {
    for (const char* text : {"p :- not X < 3.", "p :- - not q.", "1(a).", "p() .", "p :- q",
                             "p v q.", "p | q.", "p :- q; r.", "[p].", "p :- not."}) {
        std::string err = stderrOf([&] { EXPECT_EQ(parse(text), 1) << text; });
        EXPECT_EQ(err, "line 1: parse error.\n") << text;
    }
    EXPECT_EQ(parser_errors, 0);
}

TEST_F(Statements, WhatWasReadBeforeASyntaxErrorStays) {
    std::string err = stderrOf([] {
        EXPECT_EQ(parse("{ p(a). :- p(a), not q.\n r(b) :- s(b) $ }"), 1);
    });
    EXPECT_EQ(err, "line 2: syntax error ($).\nline 2: parse error.\n");
    EXPECT_EQ(parser_errors, 1);
    EXPECT_EQ(rulesOf(0), Texts{"p(a)."});
    EXPECT_EQ(Constraints.size(), 1u);
    // Atoms of the broken statement were registered when they were read.
    EXPECT_TRUE(ATOM::Predicates.contains("r"));
    EXPECT_TRUE(ATOM::Predicates.contains("s"));
}

TEST_F(Statements, AnUnfinishedStatementDoesNotLeakVariablesIntoTheNextInput) {
    EXPECT_EQ(stderrOf([] { EXPECT_EQ(parse("p(X, Y) :- q(X"), 1); }), "line 1: parse error.\n");
    EXPECT_EQ(parse("r(Z) :- s(Z)."), 0);
    EXPECT_EQ(rulesOf(1), Texts{"r(X0) :- s(X0)."});
}

TEST_F(Statements, UnsafeRulesAndConstraintsAreDropped) {
    std::string err = stderrOf([] {
        EXPECT_EQ(parse("p(X).\np(X) :- not q(X).\nok(X) :- q(X), X != 2.\n:- not q(X).\n"
                        "t(X,Y) :- q(X), X < Y.\n:- q(X), not r(X).\nlast."),
                  0);
    });
    EXPECT_EQ(err,
              "line 1: Rule is not safe.\n"
              "line 2: Rule is not safe.\n"
              "line 4: Constraint is not safe.\n"
              "line 5: Rule is not safe.\n");
    EXPECT_EQ(parser_errors, 4);
    EXPECT_EQ(rulesOf(0), (Texts{"ok(X0) :- q(X0), !=(X0,2).", "last."}));
    EXPECT_EQ(constraintTexts(), Texts{":- q(X0), not r(X0)."});
    EXPECT_EQ(LocalVariables.count, 0u);
}

TEST_F(Statements, DisjunctiveRulesAreRefused) {
    newUpdateID();
    HEAD head(ATOM("a", nullptr));
    head.add(ATOM("b", nullptr));
    std::string err = stderrOf([&] { newRule(RULE(std::move(head))); });
    EXPECT_EQ(err, "line 1: Can't handle disjunctive rules in update programs.\n");
    EXPECT_EQ(parser_errors, 1);
    EXPECT_EQ(rulesOf(0), Texts{});
}

TEST_F(Statements, LongNamesAreTruncated) {
    std::string a31(31, 'a'), b31(31, 'b');
    std::string err = stderrOf([&] {
        EXPECT_EQ(parse(a31 + ". " + b31 + "x(c" + std::string(40, 'd') + ").\n\"" +
                        std::string(31, 'e') + "\"."),
                  0);
    });
    EXPECT_EQ(err,
              "line 1: identifier too long, truncated to 31 characters.\n"
              "line 1: identifier too long, truncated to 31 characters.\n"
              "line 2: identifier too long, truncated to 31 characters.\n");
    EXPECT_EQ(parser_errors, 3);
    // A quoted string loses its closing quote.
    EXPECT_EQ(rulesOf(0), (Texts{a31 + ".", b31 + "(c" + std::string(30, 'd') + ").",
                                 "\"" + std::string(30, 'e') + "."}));
}

TEST_F(Statements, LongBodiesInLinearTime) {
    // Quadratic insertion would take minutes here.
    const int n = 200000;
    std::string text = "p :- ";
    for (int i = 0; i < n; ++i) text += (i % 2 ? "not q" : "r") + std::to_string(i % 100) + ", ";
    text += "r0.";
    EXPECT_EQ(parse(text), 0);
    const BODY& body = *UpdateIDs[0].rules->at(0).body;
    ASSERT_EQ(body.size(), static_cast<std::size_t>(n + 1));
    EXPECT_EQ(body.firstNegated, static_cast<std::size_t>(n / 2 + 1));
    std::ostringstream out;
    print_literal(out, body.literals[1]);
    print_literal(out, body.literals[n / 2]);
    print_literal(out, body.literals[n / 2 + 1]);
    EXPECT_EQ(out.str(), "r2r0not q1");
}

TEST(StatementsDeathTest, ArityConflictsEndTheRun) {
    resetParser();
    EXPECT_EXIT(parse("p.\np(a)."), ::testing::ExitedWithCode(1),
                "^p, first used with arity 0, now seen with arity 1.\n$");
    EXPECT_EXIT(parse("p(a) :- -q(a).\n-q :- p(b)."), ::testing::ExitedWithCode(1),
                "^-q, first used with arity 1, now seen with arity 0.\n$");
    // p and -p are separate predicates.
    EXPECT_EQ(parse("p(a). -p(a, b)."), 0);
}

TEST_F(Builtins, EveryWrittenForm) {
    EXPECT_EQ(parse("p(X) :- q(X), X < 3.\n"
                    "p(X) :- q(Y), X = Y * 2.\n"
                    "p(X) :- q(Y), +(Y, 1, X).\n"
                    "p(X) :- q(Y), X = Y + 1.\n"
                    "p(X) :- q(Y), *(Y, Y, X).\n"
                    "p(X) :- #int(X).\n"
                    "p(X) :- q(Y), #succ(Y, X).\n"
                    "p(X) :- q(X), ==(X, a), !=(X, b), <(X, 1), >(X, 2), <=(X, 3), >=(X, 4).\n"
                    "p(X) :- q(X), X == a, X != b, X <> c, 1 < X, X > 2, X <= 3, X >= 4.\n"),
              0);
    EXPECT_EQ(rulesOf(0),
              (Texts{"p(X0) :- q(X0), <(X0,3).",
                     "p(X0) :- q(X1), *(X1,2,X0).",
                     "p(X0) :- q(X1), +(X1,1,X0).",
                     "p(X0) :- q(X1), +(X1,1,X0).",
                     "p(X0) :- q(X1), *(X1,X1,X0).",
                     "p(X0) :- #int(X0).",
                     "p(X0) :- q(X1), #succ(X1,X0).",
                     "p(X0) :- q(X0), ==(X0,a), !=(X0,b), <(X0,1), >(X0,2), <=(X0,3), >=(X0,4).",
                     "p(X0) :- q(X0), ==(X0,a), !=(X0,b), !=(X0,c), <(1,X0), >(X0,2), <=(X0,3), "
                     ">=(X0,4)."}));
    EXPECT_EQ(parser_errors, 0);
    EXPECT_EQ(ATOM::Predicates.size(), 12u);  // the ten builtins, p and q
}

TEST_F(Builtins, SafetyCountsOnlyNonComparisons) {
    std::string err = stderrOf([] {
        EXPECT_EQ(parse("p(X) :- X < 3.\np(X) :- #int(X), X < 3.\n:- X = Y + 1.\n:- a, X < Y."), 0);
    });
    EXPECT_EQ(err, "line 1: Rule is not safe.\nline 4: Constraint is not safe.\n");
    EXPECT_EQ(rulesOf(0), Texts{"p(X0) :- #int(X0), <(X0,3)."});
    EXPECT_EQ(constraintTexts(), Texts{":- +(X1,1,X0)."});
}

TEST_F(Builtins, RefusedWithoutRegisteredBuiltins) {
    for (int program : {2, 0}) {
        resetParser(program);
        std::string err = stderrOf([] {
            EXPECT_EQ(parse("a.\np(X) :- q(X), X < 3.\n:- #int(X).\nb :- a."), 0);
        });
        EXPECT_EQ(err,
                  "line 2: Builtin predicates are only available for rox programs.\n"
                  "line 3: Builtin predicates are only available for rox programs.\n");
        EXPECT_EQ(parser_errors, 2);
        EXPECT_EQ(rulesOf(0), (Texts{"a.", "b :- a."}));
        EXPECT_EQ(Constraints.size(), 0u);
        EXPECT_EQ(ATOM::Predicates.size(), 4u);  // a, p, q, b
    }
}

TEST_F(Diagnostics, MessageForms) {
    parser_line = 4;
    EXPECT_EQ(stderrOf([] { yyerror("Rule is not safe"); }), "line 4: Rule is not safe.\n");
    parser_file = "in.txt";
    EXPECT_EQ(stderrOf([] { yyerror("Rule is not safe"); }), "in.txt: line 4: Rule is not safe.\n");
    OptionVerbosity = true;
    WhoAmI = "./vok";
    EXPECT_EQ(stderrOf([] { yyerror("Rule is not safe"); }),
              "./vok (in.txt: line 4): Rule is not safe.\n");
    parser_file = "";
    EXPECT_EQ(stderrOf([] { yyerror("parse error"); }), "./vok (line 4): parse error.\n");
    EXPECT_EQ(parser_errors, 0);  // yyerror itself counts nothing
}

TEST_F(Diagnostics, ScannerAndParserMessagesNameTheInput) {
    parser_file = "in.txt";
    std::string err = stderrOf([] { EXPECT_EQ(parse("a.\n\np(a) :- q$."), 1); });
    EXPECT_EQ(err, "in.txt: line 3: syntax error ($).\nin.txt: line 3: parse error.\n");
}

TEST_F(Diagnostics, ValuesOnTheStackAreFreedOnSyntaxErrors) {
    // Each input breaks off with names, terms, atoms, bodies and heads on
    // the parse stack; the leak checker of the sanitizer build catches
    // what the destructors miss.
    for (const char* text :
         {"p(a, X", "p(a, b) :- q(X, Y), not r(X), Y < 3 ]", "-p(X) :- s(X), X = Y + 1 )",
          ":- q(X, Z), #succ(X, Y) ,)", "{ a :- b, c. } { s(t) :- u ", "p(1, 2, _, \"x\" ", "w :- x +"}) {
        stderrOf([&] { EXPECT_EQ(parse(text), 1) << text; });
    }
}

}  // namespace
