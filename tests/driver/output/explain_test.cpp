// Explanations of rejected rule instances, and the JSON strings they are
// written in.
#include "driver/output/explain.hpp"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "driver/output/answers.hpp"
#include "driver/output/json.hpp"
#include "rewriting/rewriting.hpp"
#include "tests/support/driver/fixture.hpp"

namespace {

struct Explain : Driver {
    // Parses text as input "in.lp" and rewrites it.
    void read(const std::string& text) {
        FILE* f = std::tmpfile();
        std::fputs(text.c_str(), f);
        std::rewind(f);
        PARSER parser{state.sequence, PARSE_SETTINGS{.explain = true}};
        parser.file = "in.lp";
        yyin = f;
        yyrestart(f);
        INPUT_DIRECTIVES directives;
        yyparse(parser, directives);
        std::fclose(f);
        UpdateRewriting(state.sequence.programs, state.sequence.constraints,
                        RunRewritingSettings(RUN_SETTINGS()), state.translation);
    }
    // The explanation lines of an answer set given by its auxiliary atoms.
    std::string explain(std::initializer_list<const char*> atoms) const {
        ANSWER_TRACE trace;
        for (const char* a : atoms) trace.note(readAnswerAtom(a));
        return ExplanationLines(ExplainAnswerSet(trace, state.sequence));
    }
};

TEST_F(Explain, InstancesInOrderWithBindingsAndTheNewestRejecter) {
    read(
        "{ p(X, Y) :- q(X), r(Y). q(a). q(b). r(1). t. }\n"
        "{ -p(a, 1). -p(b, 1). -t. }\n"
        "{ -p(a, 1). }");
    // -p(a,1) holds at programs 1 and 2: the newest rule rejected it. The
    // fact t has no variables and no bindings.
    EXPECT_EQ(
        explain({"rej_P0_R0(b,1)", "rej_P0_R4", "-t_P1", "rej_P0_R0(a,1)", "-p_P1(a,1)",
                 "-p_P2(a,1)", "-p_P1(b,1)", "rej_P1_R0"}),
        "  rejected: program 0, rule 0 (in.lp:1) \"p(X, Y) :- q(X), r(Y).\" with X = a, Y = 1,"
        " by -p(a,1) of program 2\n"
        "  rejected: program 0, rule 0 (in.lp:1) \"p(X, Y) :- q(X), r(Y).\" with X = b, Y = 1,"
        " by -p(b,1) of program 1\n"
        "  rejected: program 0, rule 4 (in.lp:1) \"t.\" by -t of program 1\n"
        "  rejected: program 1, rule 0 (in.lp:2) \"-p(a, 1).\" by p(a,1)\n");
    EXPECT_EQ(explain({"-p_P1(a,1)"}), "");
}

// The rejection atom carries every variable of the rule, the anonymous
// ones too: they take no part in the bindings, and instances that differ
// only in them are instances of their own.
TEST_F(Explain, AnonymousVariablesAreNoBindings) {
    read("{ p(X, Y) :- q(X, _, Y), s(_). }\n{ -p(a, c). }");
    EXPECT_EQ(explain({"rej_P0_R0(a,c,2,5)", "rej_P0_R0(a,c,1,7)", "-p_P1(a,c)"}),
              "  rejected: program 0, rule 0 (in.lp:1) \"p(X, Y) :- q(X, _, Y), s(_).\" with "
              "X = a, Y = c, by -p(a,c) of program 1\n"
              "  rejected: program 0, rule 0 (in.lp:1) \"p(X, Y) :- q(X, _, Y), s(_).\" with "
              "X = a, Y = c, by -p(a,c) of program 1\n");
}

TEST(JsonStrings, EscapedAsJsonRequires) {
    EXPECT_EQ(JsonString("p(\"a b\",c)"), "\"p(\\\"a b\\\",c)\"");
    EXPECT_EQ(JsonString("a\\b"), "\"a\\\\b\"");
    EXPECT_EQ(JsonString(std::string("\n\t\r\b\f\x01\x1f\x7f", 8)),
              "\"\\n\\t\\r\\b\\f\\u0001\\u001f\x7f\"");
    EXPECT_EQ(JsonString(std::string("a\0b", 3)), "\"a\\u0000b\"");
    // Valid UTF-8 stays as it is.
    EXPECT_EQ(JsonString("caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"),
              "\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80\"");
    // Bytes outside valid UTF-8 become the character of their code: a
    // lone continuation byte, a cut sequence, an overlong form, a
    // surrogate, a code above U+10FFFF.
    EXPECT_EQ(JsonString("\x80"), "\"\\u0080\"");
    EXPECT_EQ(JsonString("\xc3"), "\"\\u00c3\"");
    EXPECT_EQ(JsonString("\xe2\x82x"), "\"\\u00e2\\u0082x\"");
    EXPECT_EQ(JsonString("\xc0\xaf"), "\"\\u00c0\\u00af\"");
    EXPECT_EQ(JsonString("\xed\xa0\x80"), "\"\\u00ed\\u00a0\\u0080\"");
    EXPECT_EQ(JsonString("\xf4\x90\x80\x80"), "\"\\u00f4\\u0090\\u0080\\u0080\"");
}

// A signal that ends a JSON run before it registered any file or child
// (nothing else would have set the handler yet) still closes the document.
TEST_F(Driver, JsonDocumentIsClosedByAnEarlySignal) {
    ScratchFolder dir;
    const std::string path = dir / "out.json";
    EXPECT_EXIT(
        {
            if (!std::freopen(path.c_str(), "w", stdout)) std::_Exit(2);
            RUN_SETTINGS json;
            json.json = true;
            BeginAnswers(json, "vok", {"in.lp"});
            std::raise(SIGINT);
            std::_Exit(3);
        },
        ::testing::KilledBySignal(SIGINT), "");
    std::ifstream in(path);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The figures clingo always writes, Time's seconds as they were.
    const std::string figures =
        "\"Witnesses\": []\n    }\n  ],\n  \"Result\": \"UNKNOWN\",\n"
        "  \"Models\": {\n    \"Number\": 0,\n    \"More\": \"no\"\n  },\n  \"Calls\": 0,\n"
        "  \"Time\": {\n    \"Total\": ";
    ASSERT_NE(text.find(figures), std::string::npos) << text;
    std::string rest = text.substr(text.find(figures) + figures.size());
    for (const char* name : {"Solve", "Model", "Unsat", "CPU"})
        EXPECT_NE(rest.find(std::string(",\n    \"") + name + "\": "), std::string::npos) << name;
    EXPECT_TRUE(rest.ends_with("\n  }\n}\n")) << text;
}

}  // namespace
