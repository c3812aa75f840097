// The parser and its actions: what each kind of input leaves in the global
// tables, the diagnostics and their counting, and what survives a syntax
// error.
#include <algorithm>

#include <filesystem>
#include <fstream>

#include "input/includes.hpp"
#include "input_fixture.hpp"
#include "tests/support/whole_run.hpp"

namespace {

using Parser = InputTest;

TEST_F(Parser, OneProgramPerInputOrBlockNumberedAcrossInputs) {
    EXPECT_EQ(parse(""), 0);
    EXPECT_EQ(parse("% only a comment\np. q :- p."), 0);
    EXPECT_EQ(parse("{ } { r. }\n{ s. t. }"), 0);
    ASSERT_EQ(TestSequence().programs.size(), 5u);
    EXPECT_EQ(TestParser().program, 4);
    EXPECT_EQ(rulesOf(0), Texts{});
    EXPECT_EQ(rulesOf(1), (Texts{"p.", "q :- p."}));
    EXPECT_EQ(rulesOf(2), Texts{});
    EXPECT_EQ(rulesOf(4), (Texts{"s.", "t."}));
    // Every program is named by the constant vok.
    for (const UPDATE_PROGRAM& p : TestSequence().programs)
        EXPECT_EQ(p.id, IDENT(IDENT::CONSTANT, 0));
    EXPECT_EQ(IDENT::Constants.text(0), "vok");
}

TEST_F(Parser, StatementsAsStored) {
    struct Case {
        const char* input;
        Texts rules, constraints;
    };
    const Case cases[] = {
        {"p. q :- . r :- p, q. :- p, not r. -s(a) :- p.",
         {"p.", "q.", "r :- p, q.", "-s(a) :- p."},
         {":- p, not r."}},
        {"p :- not q, r, not s, t. :- not a, b.", {"p :- r, t, not q, not s."}, {":- b, not a."}},
        {"p(X, Y) :- q(Y, X, 007, c, \"s t\"). r :- not -q. v(a). w :- v(v). P(a).",
         {"p(X0,X1) :- q(X1,X0,7,c,\"s t\").", "r :- not -q.", "v(a).", "w :- v(v).", "P(a)."},
         {}},
        {"s :- t(_, _), u(Z, _), not w(Z).", {"s :- t(X0,X1), u(X2,X3), not w(X2)."}, {}},
        // #inf and #sup are terms, ground and of their own: "#infinity"
        // stays an unknown directive.
        {"p(#inf, f(#sup)). q :- p(X, _), X < #sup, #inf != X.",
         {"p(#inf,f(#sup)).", "q :- p(X0,X1), <(X0,#sup), !=(#inf,X0)."},
         {}},
        {"p(X) :- q(X), X < 3.\n"
         "p(X) :- q(Y), X = Y * 2.\n"
         "p(X) :- q(Y), +(Y, 1, X), X = Y + 1, *(Y, Y, X).\n"
         "p(X) :- #int(X), #succ(X, 0).\n"
         "p(X) :- q(X), ==(X, a), !=(X, b), <(X, 1), >(X, 2), <=(X, 3), >=(X, 4).\n"
         "p(X) :- q(X), X == a, X != b, X <> c, 1 < X, X > 2, X <= 3, X >= 4.",
         {"p(X0) :- q(X0), <(X0,3).", "p(X0) :- q(X1), *(X1,2,X0).",
          "p(X0) :- q(X1), +(X1,1,X0), +(X1,1,X0), *(X1,X1,X0).", "p(X0) :- #int(X0), #succ(X0,0).",
          "p(X0) :- q(X0), ==(X0,a), !=(X0,b), <(X0,1), >(X0,2), <=(X0,3), >=(X0,4).",
          "p(X0) :- q(X0), ==(X0,a), !=(X0,b), !=(X0,c), <(1,X0), >(X0,2), <=(X0,3), >=(X0,4)."},
         {}},
        // A "-" before a number negates it; before a name it is strong negation.
        {"p(-3, - 007). -p(-3) :- q(X), X < -3, -999999999 <= X, X = -1 + -2.\n:- -q(-1), -1 != "
         "-2.",
         {"p(-3,-7).", "-p(-3) :- q(X0), <(X0,-3), <=(-999999999,X0), +(-1,-2,X0)."},
         {":- -q(-1), !=(-1,-2)."}},
        // Function terms and arithmetic, bound as clingo binds them; ground
        // operations computed, the old builtins' shape kept.
        {"p(f(a,g(X)), -a, 2*3+1, 7/(-2), -7\\2, -2**2, 2**3**2, |-4|) :- q(X).\n"
         "r(Y) :- q(X), Y = (X - 1) * 2, Y + 1 < |X|.\n"
         "s(X) :- q(X+1). t(X) :- q(f(X, -Y)), Y = 1. u :- not not v, not w.\n"
         "x(Z) :- q(Y), Z = Y + 1 - 0, q(Z - 1 * 2).",
         {"p(f(a,g(X0)),-a,7,-3,-1,4,512,4) :- q(X0).",
          "r(X0) :- q(X1), =(X0,(X1-1)*2), <(X0+1,|X1|).", "s(X0) :- q(X0+1).",
          "t(X0) :- q(f(X0,-X1)), =(X1,1).", "u :- not not v, not w.",
          "x(X0) :- q(X1), =(X0,X1+1-0), q(X0-2)."},
         {}},
    };
    for (const Case& c : cases) {
        resetParser();
        EXPECT_EQ(parse(c.input), 0) << c.input;
        EXPECT_EQ(rulesOf(0), c.rules) << c.input;
        EXPECT_EQ(texts(TestSequence().constraints), c.constraints) << c.input;
        EXPECT_EQ(TestParser().errors, 0) << c.input;
        EXPECT_EQ(TestParser().variables.count, 0u);
    }
    // A rule without body has no conjunction at all, not an empty one.
    EXPECT_EQ(parse("z :- ."), 0);
    EXPECT_FALSE(TestSequence().programs[1].rules->at(0).body());
    // Predicate names are not constants.
    EXPECT_FALSE(IDENT::Constants.contains("p"));
}

TEST_F(Parser, ArgumentListsMakeTheInputNonPropositional) {
    EXPECT_EQ(parse("p :- q, not -r, #int(3)."), 0);
    EXPECT_TRUE(TestSequence().propositional);
    EXPECT_EQ(parse("-p(a)."), 0);
    EXPECT_FALSE(TestSequence().propositional);
}

TEST_F(Parser, SyntaxErrorsEndTheInputUncounted) {
    // Among them, inputs that stop with a value of every kind on the parse
    // stack: names, terms, atoms, literals and bodies.
    for (const char* text : {"p :- not X < 3.",
                             "p :- - not q.",
                             "1(a).",
                             "p() .",
                             "p :- q",
                             "p v q.",
                             "p :- q; ; r.",
                             "[p].",
                             ":- .",
                             "p. { q. }",
                             "{ p. } q.",
                             "{ p. { q. } }",
                             "X = Y + 1 :- s.",
                             "u(a, b",
                             "w(a) :- x(X, Y), not y(Y) z",
                             "p :- #int(3) #succ",
                             "p :- +(1, 2, X",
                             ":- x(a, b), X = Y + Z Z",
                             "-w(a) v",
                             "p. q :- r. t(t",
                             "-3.",
                             "p(1 +).",
                             "p(|a).",
                             "p :- q(f(a)) + 1."}) {
        std::string err = stderrOf([&] { EXPECT_EQ(parse(text), 1) << text; });
        EXPECT_EQ(err, "line 1: parse error.\n") << text;
        EXPECT_TRUE(noValueLeft()) << text;
    }
    EXPECT_EQ(TestParser().errors, 0);
}

TEST_F(Parser, TermsClingoRefusesOrDropsAreNamed) {
    struct Case {
        const char* input;
        const char* message;
        int errors;
    };
    const Case cases[] = {
        // Safety as clingo judges it: arithmetic other than a linear term
        // binds nothing, and an assignment needs one side bound.
        {"q(X) :- p(X*X).",
         "line 1: Rule is not safe.\nline 1: variable X is unsafe: no positive body literal binds "
         "it.\n",
         1},
        {"q(X) :- p(Y), X = Z + Y - 1.",
         "line 1: Rule is not safe.\nline 1: variables X and Z are unsafe: no positive body "
         "literal binds them.\n",
         1},
        {":- p(Y), f(X) = g(Z).",
         "line 1: Constraint is not safe.\nline 1: variables X and Z are unsafe: no positive body "
         "literal binds them.\n",
         1},
        {"q :- p(X), #int(X + 1).",
         "line 1: #int takes names, numbers and variables; for arithmetic over other terms write "
         "an assignment such as X = Y*2+1.\n",
         1},
        {"q(F(a)).",
         "line 1: a function term needs a name beginning with a lower-case letter, not F.\n", 1},
        // clingo leaves out a statement whose ground operation is undefined.
        {"q(a+1). r :- p(1/0).",
         "line 1: info: operation undefined: a+1; the statement is left out, as clingo leaves it "
         "out.\nline 1: info: operation undefined: 1/0; the statement is left out, as clingo "
         "leaves it out.\n",
         0},
        {"q(#inf+1). r(-#sup).",
         "line 1: info: operation undefined: #inf+1; the statement is left out, as clingo leaves "
         "it out.\nline 1: info: operation undefined: -#sup; the statement is left out, as "
         "clingo leaves it out.\n",
         0},
    };
    for (const Case& c : cases) {
        resetParser();
        EXPECT_EQ(stderrOf([&] { EXPECT_EQ(parse(c.input), 0) << c.input; }), c.message);
        EXPECT_EQ(TestParser().errors, c.errors) << c.input;
        EXPECT_EQ(rulesOf(0), Texts{}) << c.input;
    }
}

TEST_F(Parser, WhatWasReadBeforeASyntaxErrorStays) {
    std::string err =
        stderrOf([] { EXPECT_EQ(parse("{ p(a). :- p(a), not q. }\n{ r(b) :- s(b), $ }"), 1); });
    EXPECT_EQ(err, "line 2: syntax error ($).\nline 2: parse error.\n");
    EXPECT_EQ(TestParser().errors, 1);
    ASSERT_EQ(TestSequence().programs.size(), 2u);
    EXPECT_EQ(rulesOf(0), Texts{"p(a)."});
    EXPECT_EQ(TestSequence().constraints.size(), 1u);
    // Atoms of the broken statement were registered when they were read.
    EXPECT_TRUE(ATOM::Predicates.contains("s"));

    // Its variables do not carry over into the next input.
    EXPECT_EQ(stderrOf([] { parse("u(X, Y) :- q(X"); }), "line 1: parse error.\n");
    EXPECT_EQ(parse("r(Z) :- s(Z)."), 0);
    EXPECT_EQ(rulesOf(3), Texts{"r(X0) :- s(X0)."});
}

TEST_F(Parser, CountedErrorsDropTheStatement) {
    std::string a31(31, 'a'), b31(31, 'b');
    std::string err = stderrOf([&] {
        EXPECT_EQ(parse("p(X).\np(X) :- not q(X).\nok(X) :- q(X), X != 2.\n:- not q(X).\n"
                        "t(X,Y) :- q(X), X < Y.\n:- q(X), not r(X).\np(X) :- X < 3.\n"
                        "p(X) :- #int(X), X < 3.\n:- X = Y + 1.\n" +
                        a31 + ". " + b31 + "x(c" + std::string(40, 'd') + ").\n\"" +
                        std::string(31, 'e') + "\"."),
                  0);
    });
    EXPECT_EQ(err,
              "line 1: Rule is not safe.\n"
              "line 1: variable X is unsafe: no positive body literal binds it.\n"
              "line 2: Rule is not safe.\n"
              "line 2: variable X is unsafe: no positive body literal binds it.\n"
              "line 4: Constraint is not safe.\n"
              "line 4: variable X is unsafe: no positive body literal binds it.\n"
              "line 5: Rule is not safe.\n"
              "line 5: variable Y is unsafe: no positive body literal binds it.\n"
              "line 7: Rule is not safe.\n"
              "line 7: variable X is unsafe: no positive body literal binds it.\n"
              "line 10: identifier too long, truncated to 31 characters.\n"
              "line 10: identifier too long, truncated to 31 characters.\n"
              "line 11: identifier too long, truncated to 31 characters.\n");
    EXPECT_EQ(TestParser().errors, 8);
    // Truncated names stay in use; a quoted string loses its closing quote.
    EXPECT_EQ(rulesOf(0),
              (Texts{"ok(X0) :- q(X0), !=(X0,2).", "p(X0) :- #int(X0), <(X0,3).", a31 + ".",
                     b31 + "(c" + std::string(30, 'd') + ").", "\"" + std::string(30, 'e') + "."}));
    EXPECT_EQ(texts(TestSequence().constraints), (Texts{":- q(X0), not r(X0).", ":- +(X1,1,X0)."}));

    // The grammar makes single heads only; other producers are refused.
    HEAD head(ATOM("a", std::nullopt));
    head.add(ATOM("b", std::nullopt));
    EXPECT_EQ(stderrOf([&] { newRule(TestParser(), RULE(std::move(head))); }),
              "line 11: Can't handle disjunctive rules in update programs.\n");
    EXPECT_EQ(rulesOf(0).size(), 5u);
}

TEST_F(Parser, BuiltinsRefusedWithoutRegisteredBuiltins) {
    for (PROGRAM_TYPE program : {PROGRAM_TYPE::PEXA, PROGRAM_TYPE::OTHER}) {
        resetParser(program);
        std::string err =
            stderrOf([] { EXPECT_EQ(parse("a.\np(X) :- q(X), X < 3.\n:- #int(X).\nb :- a."), 0); });
        EXPECT_EQ(err,
                  "line 2: Builtin predicates are only available for rox programs.\n"
                  "line 3: Builtin predicates are only available for rox programs.\n");
        EXPECT_EQ(TestParser().errors, 2);
        EXPECT_EQ(rulesOf(0), (Texts{"a.", "b :- a."}));
        EXPECT_EQ(TestSequence().constraints.size(), 0u);
        EXPECT_EQ(ATOM::Predicates.size(), 4u);  // a, p, q, b
    }
}

TEST_F(Parser, LongBodiesInLinearTime) {
    // Inserting each positive literal before the negated ones would take
    // minutes here.
    const int n = 200000;
    std::string text = "p :- ";
    for (int i = 0; i < n; ++i) text += (i % 2 ? "not q" : "r") + std::to_string(i % 100) + ", ";
    EXPECT_EQ(parse(text + "r0."), 0);
    const BODY_VIEW body = *TestSequence().programs[0].rules->at(0).body();
    ASSERT_EQ(body.size(), static_cast<std::size_t>(n + 1));
    EXPECT_EQ(body.firstNegated, static_cast<std::size_t>(n / 2 + 1));
    std::string out;
    for (std::size_t i : {std::size_t(1), body.firstNegated - 1, body.firstNegated})
        AppendLiteral(out, body.literals[i], NOTATION::INPUT);
    EXPECT_EQ(out, "r2r0not q1");
}

TEST(ParserDeathTest, ArityConflictsEndTheRun) {
    resetParser();
    EXPECT_EXIT(AsWholeRun([] { parse("p.\np(a)."); }), ::testing::ExitedWithCode(1),
                "^p, first used with arity 0, now seen with arity 1.\n$");
    EXPECT_EXIT(AsWholeRun([] { parse("p(a) :- -q(a).\n-q :- p(b)."); }),
                ::testing::ExitedWithCode(1),
                "^-q, first used with arity 1, now seen with arity 0.\n$");
    EXPECT_EQ(parse("p(a). -p(a, b)."), 0);  // p and -p are separate predicates
}

TEST_F(Parser, MessageForms) {
    TestParser().line = 4;
    TestParser().file = "in.txt";
    EXPECT_EQ(stderrOf([] { yyerror(TestParser(), "Rule is not safe"); }),
              "in.txt: line 4: Rule is not safe.\n");
    UseParseSettings(PARSE_SETTINGS{.verbose = true, .invocation = "./vok"});
    TestParser().line = 4;
    TestParser().file = "in.txt";
    EXPECT_EQ(stderrOf([] { yyerror(TestParser(), "Rule is not safe"); }),
              "./vok (in.txt: line 4): Rule is not safe.\n");
    TestParser().file = "";
    EXPECT_EQ(stderrOf([] { yyerror(TestParser(), "parse error"); }),
              "./vok (line 4): parse error.\n");
    EXPECT_EQ(TestParser().errors, 0);  // yyerror itself counts nothing
}

TEST_F(Parser, ValuesOnTheStackAreFreedOnSyntaxErrors) {
    // Each input breaks off with names, terms, atoms, bodies and heads on
    // the parse stack; the sanitizer build's leak check catches what the
    // destructors miss.
    for (const char* text : {"p(a, X", "p(a, b) :- q(X, Y), not r(X), Y < 3 ]",
                             "-p(X) :- s(X), X = Y + 1 )", ":- q(X, Z), #succ(X, Y) ,)",
                             "{ a :- b, c. } { s(t) :- u ", "p(1, 2, _, \"x\" ", "w :- x +"}) {
        stderrOf([&] { EXPECT_EQ(parse(text), 1) << text; });
    }
}

}  // namespace

namespace {

// #const and the definitions of the command line.
using Constants = InputTest;

TEST_F(Constants, StandForTheirNamesAsTermsOnly) {
    ASSERT_FALSE(DefineOnCommandLine(TestDirectives(), "c=\"x y\""));
    ASSERT_FALSE(DefineOnCommandLine(TestDirectives(), "k=1"));
    EXPECT_EQ(parse("#const n=3. #const m=-2. #const a=b. #const o=n. #const k=7.\n"
                    "p(n, m, a, o, k, c). n :- q(X), X < n. -n(n)."),
              0);
    // The second input sees the first one's definitions.
    EXPECT_EQ(parse("r(n)."), 0);
    EXPECT_EQ(rulesOf(0), (Texts{"p(3,-2,b,3,1,\"x y\").", "n :- q(X0), <(X0,3).", "-n(3)."}));
    EXPECT_EQ(rulesOf(1), (Texts{"r(3)."}));
    EXPECT_EQ(TestParser().errors, 0);
    EXPECT_TRUE(noValueLeft());
}

TEST_F(Constants, RefusedDefinitionsNameTheirPlaces) {
    struct Case {
        std::string input, message;
    };
    const Case cases[] = {
        {"#const n=1.\n#const n=2.", "line 2: constant n is defined twice, here and at line 1.\n"},
        {"p(n).\n#const n=1.",
         "line 2: constant n is used before its #const; put the #const before its first use.\n"},
        {"#const N=1.",
         "line 1: #const needs a name beginning with a lower-case letter, not "
         "\"N\".\n"},
        {"#const n=X.",
         "line 1: #const n needs a value: an integer, a constant or a string, not "
         "a variable.\n"},
    };
    for (const Case& c : cases) {
        resetParser();
        EXPECT_EQ(stderrOf([&] { EXPECT_EQ(parse(c.input), 0); }), c.message) << c.input;
        EXPECT_EQ(TestParser().errors, 1) << c.input;
        EXPECT_EQ(TestParser().variables.count, 0u);
    }
    // The command line wins over a file, silently.
    resetParser();
    ASSERT_FALSE(DefineOnCommandLine(TestDirectives(), "n=5"));
    EXPECT_EQ(parse("#const n=1. p(n)."), 0);
    EXPECT_EQ(rulesOf(0), (Texts{"p(5)."}));
    EXPECT_EQ(TestParser().errors, 0);
    for (const char* text :
         {"#const n=1", "#const n.", "#const 1=2.", "#const n=p(a", "q :- #const n=1."}) {
        EXPECT_EQ(stderrOf([&] { EXPECT_EQ(parse(text), 1) << text; }), "line 1: parse error.\n");
        EXPECT_TRUE(noValueLeft()) << text;
    }
}

TEST(CommandLineConstants, TakeIntegersNamesAndStrings) {
    INPUT_DIRECTIVES d;
    for (const char* good : {"n=3", "n=-3", "n=999999999", "n=abc_1", "n=\"a b\"", "n_2=x"})
        EXPECT_FALSE(DefineOnCommandLine(d, good)) << good;
    for (const char* bad : {"n", "=3", "N=3", "n=X", "n=", "n=1000000000", "n=+3", "n=--3", "n=3x",
                            "n=\"a\"b\"", "n=p(a)", "1=2"})
        EXPECT_TRUE(DefineOnCommandLine(d, bad)) << bad;
    EXPECT_EQ(d.constants.size(), 2u);
}

}  // namespace

namespace {

// Intervals and pools: a statement stands for its instances, each stored on
// its own, the first interval or pool varying slowest.
using Expansions = InputTest;

TEST_F(Expansions, StatementsStandForTheirInstances) {
    struct Case {
        const char* input;
        Texts rules, constraints;
    };
    const Case cases[] = {
        {"p(1..3). #const n=-1. q(n..0, n).",
         {"p(1).", "p(2).", "p(3).", "q(-1,-1).", "q(0,-1)."},
         {}},
        {"p(3..1). q(2..2).", {"q(2)."}, {}},
        {"q(X) :- p(X;Y), r(X), r(Y). r(a;b).",
         {"q(X0) :- p(X0), r(X0), r(X1).", "q(X0) :- p(X1), r(X0), r(X1).", "r(a).", "r(b)."},
         {}},
        {"r(1,2;3..4,c). -s(1..2) :- not t(a;b).",
         {"r(1,2).", "r(3,c).", "r(4,c).", "-s(1) :- not t(a).", "-s(1) :- not t(b).",
          "-s(2) :- not t(a).", "-s(2) :- not t(b)."},
         {}},
        {":- p(1..2), X < 3, q(X).", {}, {":- p(1), <(X0,3), q(X0).", ":- p(2), <(X0,3), q(X0)."}},
    };
    for (const Case& c : cases) {
        resetParser();
        EXPECT_EQ(stderrOf([&] { EXPECT_EQ(parse(c.input), 0) << c.input; }), "") << c.input;
        EXPECT_EQ(rulesOf(0), c.rules) << c.input;
        EXPECT_EQ(texts(TestSequence().constraints), c.constraints) << c.input;
        EXPECT_EQ(TestParser().errors, 0) << c.input;
        EXPECT_TRUE(noValueLeft()) << c.input;
    }
}

TEST_F(Expansions, RefusedWithTheirReason) {
    struct Case {
        const char* input;
        std::string message;  // after "line 1: "
    };
    const Case cases[] = {
        {"q(X) :- r(X), s(1..X).",
         "an interval needs integer bounds (or constants defined as integers), not a variable: "
         "write the values out, or use a comparison such as 1 <= X"},
        {"t(1..a).", "an interval needs integer bounds (or constants defined as integers), not a"},
        {"u(1..2, a; b).", "the alternatives of a pool need the same number of arguments: 2 and 1"},
        {"p(1..1001, 1..1000).",
         "the intervals and pools of this statement stand for more than 1000000 instances"},
        {"p(1..100000000).",
         "the intervals and pools of this statement stand for more than 1000000 instances"},
        // Each instance is checked on its own: here the second one.
        {"q(X) :- p(X;Y).",
         "Rule is not safe.\nline 1: variable X is unsafe: no positive body literal binds it"},
    };
    for (const Case& c : cases) {
        resetParser();
        EXPECT_EQ(stderrOf([&] { EXPECT_EQ(parse(c.input), 0) << c.input; }),
                  "line 1: " + c.message + ".\n")
            << c.input;
        EXPECT_EQ(TestParser().errors, 1) << c.input;
        EXPECT_EQ(TestSequence().programs[0].rules->size(),
                  c.message.starts_with("Rule is not safe") ? 1u : 0u);
        EXPECT_TRUE(noValueLeft()) << c.input;
    }
    // The statement after a refused one is read as ever.
    resetParser();
    stderrOf([] { EXPECT_EQ(parse("p(1..a). q(1..2)."), 0); });
    EXPECT_EQ(rulesOf(0), (Texts{"q(1).", "q(2)."}));
    for (const char* text : {"p(1..).", "p(..2).", "p(1...2).", "p(a;).", "p(;a).", "p(1..2..3).",
                             "p :- 1..2 < X.", "p(a;b"}) {
        resetParser();
        EXPECT_EQ(stderrOf([&] { EXPECT_EQ(parse(text), 1) << text; }), "line 1: parse error.\n")
            << text;
        EXPECT_TRUE(noValueLeft()) << text;
    }
}

using ShowDirectives = InputTest;

TEST_F(ShowDirectives, AreCollectedInOrder) {
    EXPECT_EQ(parse("{ p. #show p/0. } { #show -q/12. #show. }"), 0);
    EXPECT_TRUE(TestDirectives().showSeen);
    using SHOWN = std::vector<std::pair<std::string, std::size_t>>;
    EXPECT_EQ(TestDirectives().shown, (SHOWN{{"p", 0}, {"-q", 12}}));
    EXPECT_EQ(rulesOf(0), (Texts{"p."}));
    for (const char* text :
         {"#show p.", "#show p/q.", "#show p/1", "#show -p.", "#show p(X).", "#show p/-1."}) {
        resetParser();
        EXPECT_EQ(stderrOf([&] { EXPECT_EQ(parse(text), 1) << text; }), "line 1: parse error.\n")
            << text;
        EXPECT_TRUE(noValueLeft()) << text;
    }
}

// Constructs of other languages: named at their line and column with what
// to write instead, counted, and the input given up without "parse error".
using Refusals = InputTest;

TEST_F(Refusals, NameTheConstructAndItsPlace) {
    struct Case {
        const char* input;
        const char* place;
        const char* start;  // of the message
    };
    const Case cases[] = {
        {"a ; b.", "line 1, column 3", "disjunction is not part of update programs; a choice rule"},
        {"p.\n  a(X) | b :- c(X).", "line 2, column 8", "disjunction is not part"},
        {"#minimize { 1 : p }.", "line 1, column 1", "#minimize is not part of update programs, "},
        {"p. #maximize", "line 1, column 4", "#maximize is not part"},
        {"%* x\n *% #program base.", "line 2, column 5", "#program is not part"},
        {"#external p.", "line 1, column 1", "#external is not part"},
        {"#script (lua)", "line 1, column 1", "#script is not part"},
        {"#include \"a.lp\".", "line 1, column 1", "#include is not part of session blocks; give"},
        {"p.\n #include a.lp.", "line 2, column 2", "#include needs a quoted file name and a dot"},
        {"#foo.", "line 1, column 1", "unknown directive #foo; update programs know #const"},
        {"p(#infinity).", "line 1, column 3", "unknown directive #infinity; update programs"},
        {"{ a } :- b,\n not c : d.", "line 2, column 8",
         "a conditional literal (p(X) : q(X)) cannot"},
        {"p(X) : q(X) :- r.", "line 1, column 6", "a conditional literal in a head (p(X) : q(X)"},
        {":~ p. [1@1]", "line 1, column 1", "weak constraints (:~) are not part"},
        {"p :- &sum{ 1 } > 0.", "line 1, column 6", "theory atoms (&) are not part"},
    };
    for (const Case& c : cases) {
        resetParser();
        const std::string err = stderrOf([&] { EXPECT_EQ(parse(c.input), 1) << c.input; });
        EXPECT_EQ(err.rfind(std::string(c.place) + ": " + c.start, 0), 0u) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_EQ(TestParser().errors, 1) << c.input;
        EXPECT_TRUE(noValueLeft()) << c.input;
    }
    // Conditional literals in bodies are read; a local variable that the
    // condition does not bind drops the statement with its name.
    for (const char* input :
         {"p :- q(X) : r(X).", ":- a, b(X) : c(X), not d(X).", "p :- s, q(X) : r(X), X > 1; not t.",
          "p(Y) :- d(Y), q(X, Y) : r(X)."}) {
        resetParser();
        EXPECT_EQ(stderrOf([&] { EXPECT_EQ(parse(input), 0) << input; }), "") << input;
    }
    resetParser();
    EXPECT_EQ(stderrOf([] { parse("p :- q(X) : not r(X)."); }),
              "line 1: variable X is unsafe in a conditional literal: its condition binds no "
              "such variable, and no other literal of the rule holds it.\n");
    EXPECT_EQ(TestParser().errors, 1);
    // Words that begin a builtin, or fall short of one, are read as before.
    resetParser();
    EXPECT_EQ(stderrOf([] { EXPECT_EQ(parse("p :- #integer."), 1); }), "line 1: parse error.\n");
    EXPECT_EQ(stderrOf([] { EXPECT_EQ(parse("p :- #su(1)."), 1); }),
              "line 1: syntax error (#).\nline 1: parse error.\n");
}

}  // namespace

namespace {

// A scratch folder of files for #include, removed afterwards.
struct IncludeFolder {
    std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("vok-include-" + std::to_string(::getpid()));
    IncludeFolder() { std::filesystem::create_directories(root / "sub"); }
    ~IncludeFolder() { std::filesystem::remove_all(root); }
    std::string write(const std::string& name, const std::string& text) const {
        std::ofstream(root / name) << text;
        return (root / name).string();
    }
};

// Parses the file as the driver does, with includes followed.
int parseFileWithIncludes(const std::string& name) {
    FILE* f = std::fopen(name.c_str(), "r");
    PARSER& parser = TestParser();
    parser.file = name.c_str();
    parser.line = 1;
    yyin = f;
    yyrestart(f);
    int result = 0;
    {
        const INCLUDES includes(parser);
        result = yyparse(parser, TestDirectives());
    }
    std::fclose(f);
    return result;
}

}  // namespace

TEST_F(Parser, IncludedTextIsReadWhereTheDirectiveStands) {
    const IncludeFolder folder;
    folder.write("sub/b.lp", "b :- a.\n#include \"c.lp\".\nd.");
    folder.write("sub/c.lp", "c.");
    folder.write("blocks.lp", "{ x. } { y. }");
    const std::string main =
        folder.write("main.lp", "{ a.\n#include \"sub/b.lp\". f. }\n#include \"blocks.lp\".");
    EXPECT_EQ(stderrOf([&] { EXPECT_EQ(parseFileWithIncludes(main), 0); }), "");
    ASSERT_EQ(TestSequence().programs.size(), 3u);
    EXPECT_EQ(rulesOf(0), (Texts{"a.", "b :- a.", "c.", "d.", "f."}));
    EXPECT_EQ(rulesOf(2), Texts{"y."});
    EXPECT_EQ(std::string(TestParser().file), main);
}

TEST_F(Parser, IncludesThatCannotBeReadNameTheDirective) {
    const IncludeFolder folder;
    const std::string dir = folder.root.string() + "/";
    folder.write("sub/bad.lp", "q.\np :- q(X.");
    folder.write("loop.lp", "p.\n#include \"sub/back.lp\".");
    folder.write("sub/back.lp", "#include \"../loop.lp\".");
    for (int i = 0; i <= 40; ++i)
        folder.write("deep" + std::to_string(i) + ".lp",
                     "#include \"deep" + std::to_string(i + 1) + ".lp\".");
    folder.write("deep41.lp", "p.");
    struct Case {
        std::string file, diagnostic;
    };
    const Case cases[] = {
        {"missing.lp", dir + "missing.lp: line 1, column 4: #include \"none.lp\" cannot open " +
                           dir + "none.lp (No such file or directory).\n"},
        {"loop.lp", dir + "sub/back.lp: line 1, column 1: #include \"../loop.lp\" includes a file "
                          "that is being read already.\n"},
        {"deep0.lp", dir + "deep32.lp: line 1, column 1: #include \"deep33.lp\" nests includes "
                           "deeper than 32 files.\n"},
        {"parse.lp", dir + "sub/bad.lp: line 2: parse error.\n"},
        {"folder.lp", dir + "folder.lp: line 1, column 1: #include \"sub\" names a folder, " + dir +
                          "sub, not a file.\n"},
    };
    folder.write("missing.lp", "p. #include \"none.lp\".");
    folder.write("parse.lp", "#include \"sub/bad.lp\".");
    folder.write("folder.lp", "#include \"sub\".");
    for (const Case& c : cases) {
        resetParser();
        const std::string name = dir + c.file;
        EXPECT_EQ(stderrOf([&] { EXPECT_EQ(parseFileWithIncludes(name), 1); }), c.diagnostic);
        // Every included file is closed and the including input is current again.
        EXPECT_EQ(std::string(TestParser().file), name);
        EXPECT_EQ(TestParser().includes, nullptr);
        EXPECT_TRUE(noValueLeft()) << c.file;
    }
}

TEST_F(Parser, ChoicesAndAggregatesAsStored) {
    // Each element instance is a choice rule of the program, its variables
    // numbered from 0 as they occur; the bounds are constraints over the
    // element atoms, counted once per atom (its predicate's number and its
    // arguments), with the element's own variables local (L).
    EXPECT_EQ(parse("{ 1 { p(X) : q(X, Y), not r(Y); s(1..2) } 2 :- t(Z). { a }. }"), 0);
    const auto p = ATOM::Predicates.find("p").first, s = ATOM::Predicates.find("s").first;
    EXPECT_EQ(rulesOf(0), (Texts{"{ p(X0) } :- t(X1), q(X0,X2), not r(X2).", "{ s(1) } :- t(X0).",
                                 "{ s(2) } :- t(X0).", "{ a }."}));
    const std::string count = "#count{ " + std::to_string(p) +
                              ",L0 : p(L0), q(L0,L1), not r(L1); " + std::to_string(s) +
                              ",1 : s(1); " + std::to_string(s) + ",2 : s(2) }";
    EXPECT_EQ(texts(TestSequence().constraints),
              (Texts{":- t(X2), " + count + " < 1.", ":- t(X2), " + count + " > 2."}));

    // A block's braces are told from a choice's, whatever comments and
    // strings hold.
    resetParser();
    EXPECT_EQ(parse("{ s. % } x\n t(\"} y\"). }\n{ { u } :- s. }"), 0);
    EXPECT_EQ(rulesOf(0), (Texts{"s.", "t(\"} y\")."}));
    EXPECT_EQ(rulesOf(1), Texts{"{ u } :- s."});

    // Aggregates: the variables outside them are global, those only inside
    // local; a guard "=" assigns its variable.
    resetParser();
    EXPECT_EQ(parse("n(N) :- N = #count{ X : q(X) }.\n"
                    "a(Y) :- q(Y), 1 <= #sum+{ W, X : w(X, W), X != Y } <= 3.\n"
                    "b :- not #max{ X : q(X) } > 2, #min{ X : q(X) } = 1.\n"
                    ":- #count{ X : q(X) } < 1."),
              0);
    EXPECT_EQ(rulesOf(0), (Texts{"n(X0) :- X0 = #count{ L1 : q(L1) }.",
                                 "a(X0) :- q(X0), 1 <= #sum+{ L1,L2 : w(L2,L1), L2!=X0 } <= 3.",
                                 "b :- #min{ L0 : q(L0) } = 1, not #max{ L0 : q(L0) } > 2."}));
    EXPECT_EQ(texts(TestSequence().constraints), Texts{":- #count{ L0 : q(L0) } < 1."});
}

TEST_F(Parser, ChoicesAndAggregatesRefusedWhereUnsupported) {
    struct Case {
        const char* input;
        const char* error;
    };
    const Case cases[] = {
        {"a :- #count{ X : p(X) } > Y.", "line 1: Rule is not safe.\n"},
        {"a :- #count{ X : p(X), #count{ 1 : q } > 0 } > 0.",
         "line 1: an aggregate cannot stand inside another aggregate.\n"},
        {"a :- #count{ X : p(1..3) } > 0.",
         "line 1: intervals and pools inside an aggregate or a choice condition are not "
         "supported; write the values out.\n"},
        {"{ a } :- p(1..2).",
         "line 1: intervals and pools in the body of a choice rule are not supported; write "
         "them in the elements, or write a rule per value.\n"},
        {"a :- #count{ 1 : q } > 0, #int(3) = 3.", "line 1: parse error.\n"},
        {"a :- #count{ 1 : #int(X) } > 0.",
         "line 1: only comparisons among the builtins may stand inside an aggregate or a "
         "choice condition.\n"},
    };
    for (const Case& c : cases) {
        resetParser();
        const std::string err = stderrOf([&] { parse(c.input); });
        EXPECT_EQ(err, c.error) << c.input;
        EXPECT_TRUE(TestSequence().programs.empty() ||
                    TestSequence().programs.back().rules->empty())
            << c.input;
        EXPECT_TRUE(TestSequence().constraints.empty()) << c.input;
        EXPECT_TRUE(noValueLeft()) << c.input;
    }
    // A choice with both bounds is refused once, not once per bound.
    resetParser();
    EXPECT_EQ(stderrOf([] { parse("dom(1). 1 { Ok(X) : dom(X) } 1."); }),
              "line 1: a predicate name that begins with an upper-case letter or \"_\" cannot "
              "stand inside an aggregate or a condition.\n");
    for (const char* input : {"1 { a; b }.", "1 { a; b } 2."}) {
        resetParser(PROGRAM_TYPE::PEXA);
        EXPECT_EQ(stderrOf([&] { parse(input); }),
                  "line 1: aggregates and the bounds of a choice are not part of pexa programs, "
                  "which have no #count; use the rox program type.\n")
            << input;
    }
}
