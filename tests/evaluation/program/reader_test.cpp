#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "evaluation/program/reader.hpp"

using namespace vok::evaluation;

namespace {

// The message and line of the syntax error a text raises, as "3: message".
template <typename Read>
std::string errorOf(Read read, const std::string& text) {
    try {
        read(text);
    } catch (const SYNTAX_ERROR& e) {
        return std::to_string(e.line) + ": " + e.what();
    }
    return "no error";
}

std::string roxError(const std::string& text) { return errorOf(ReadRox, text); }
std::string pexaError(const std::string& text) { return errorOf(ReadPexa, text); }

}  // namespace

TEST(RoxReader, ReadsTheRulesVokWrites) {
    PROGRAM p = ReadRox(
        "rej_P0_R0(X0) :- q(X0), -p_P1(X0).\n"
        "p_P0(X0) :- q(X0), not rej_P0_R0(X0).\n"
        "s_P1 :- .\n"
        ":- rej_P0_R0, not mrej_P0_R0.\n"
        "P(a).\n");
    ASSERT_EQ(p.rules.size(), 5u);

    const RULE& r0 = p.rules[0];
    EXPECT_EQ(r0.line, 1);
    ASSERT_EQ(r0.head.size(), 1u);
    EXPECT_EQ(r0.head[0].predicate.text, "rej_P0_R0");
    EXPECT_EQ(r0.head[0].args[0].kind, TERM::KIND::VARIABLE);
    ASSERT_EQ(r0.body.size(), 2u);
    EXPECT_TRUE(r0.body[1].atom.stronglyNegated);
    EXPECT_EQ(r0.body[1].atom.predicate.text, "p_P1");

    EXPECT_TRUE(p.rules[1].body[1].negated);
    EXPECT_TRUE(p.rules[2].body.empty());
    EXPECT_EQ(p.rules[2].head.size(), 1u);
    EXPECT_TRUE(p.rules[3].head.empty());
    EXPECT_EQ(p.rules[3].body.size(), 2u);
    // A capitalised name is a predicate in predicate position.
    EXPECT_EQ(p.rules[4].head[0].predicate.text, "P");
    EXPECT_EQ(p.rules[4].head[0].args[0].kind, TERM::KIND::CONSTANT);
    EXPECT_EQ(p.rules[4].line, 5);
}

TEST(RoxReader, ReadsTermsStringsAndComments) {
    PROGRAM p = ReadRox(
        "% \"a comment\" p(.\n"
        "\"my pred\"(\"a b, c % d\", -3, 0, x1_Y, Var_2). % p(\n"
        "-\"a b\"_P1(c) :- \"x\".\n"
        "a v b v v :- c.\n");
    ASSERT_EQ(p.rules.size(), 3u);
    const ATOM& a = p.rules[0].head[0];
    EXPECT_EQ(a.predicate, (NAME{NAME::KIND::QUOTED, "\"my pred\""}));
    ASSERT_EQ(a.args.size(), 5u);
    EXPECT_EQ(a.args[0], (TERM{"a b, c % d", 0, TERM::KIND::STRING}));
    EXPECT_EQ(a.args[1].kind, TERM::KIND::INTEGER);
    EXPECT_EQ(a.args[1].value, -3);
    EXPECT_EQ(a.args[2].value, 0);
    EXPECT_EQ(a.args[3].kind, TERM::KIND::CONSTANT);
    EXPECT_EQ(a.args[4].kind, TERM::KIND::VARIABLE);
    EXPECT_EQ(p.rules[0].line, 2);
    // vok adds suffixes to quoted names: the whole is one name.
    EXPECT_EQ(p.rules[1].head[0].predicate, (NAME{NAME::KIND::QUOTED, "\"a b\"_P1"}));
    EXPECT_TRUE(p.rules[1].head[0].stronglyNegated);
    EXPECT_EQ(p.rules[1].body[0].atom.predicate.text, "\"x\"");
    // "v" separates head atoms and may itself be an atom.
    ASSERT_EQ(p.rules[2].head.size(), 3u);
    EXPECT_EQ(p.rules[2].head[2].predicate.text, "v");
}

TEST(RoxReader, ReadsBuiltinsInPrefixForm) {
    PROGRAM p = ReadRox(
        "r :- ==(A,B), !=(A,b), <(X0,3), >(1,2), <=(a,\"s\"), >=(B,-1),"
        " #int(A), #succ(A,B), +(X1,1,X0), *(A,B,C).");
    const auto& body = p.rules[0].body;
    ASSERT_EQ(body.size(), 10u);
    const BUILTIN expected[] = {BUILTIN::EQUAL,   BUILTIN::UNEQUAL,    BUILTIN::LESS,
                                BUILTIN::GREATER, BUILTIN::LESS_EQUAL, BUILTIN::GREATER_EQUAL,
                                BUILTIN::INT,     BUILTIN::SUCC,       BUILTIN::PLUS,
                                BUILTIN::TIMES};
    for (std::size_t i = 0; i < body.size(); ++i) {
        EXPECT_TRUE(body[i].isBuiltin) << i;
        EXPECT_EQ(body[i].builtin, expected[i]) << i;
        EXPECT_EQ(static_cast<int>(body[i].atom.args.size()), builtinArity(expected[i])) << i;
    }
    EXPECT_EQ(body[8].atom.args[1].value, 1);
}

TEST(RoxReader, ReportsSyntaxErrorsWithLineAndWhatWasExpected) {
    EXPECT_EQ(roxError("p(a).\nq(b).\nr(a b)."), "3: expected \")\" or \",\" after argument");
    EXPECT_EQ(roxError("p(a)\nq(b)."), "1: expected \"v\", \":-\" or \".\" after a head atom");
    EXPECT_EQ(roxError("p :- q\n"), "1: expected \",\" or \".\" after a body literal");
    EXPECT_EQ(roxError("p :- q,."), "1: expected a body literal: an atom, \"not\" or a builtin");
    EXPECT_EQ(roxError("p(."), "1: expected an argument after \"(\"");
    EXPECT_EQ(roxError("p(a,)."), "1: expected an argument after \",\"");
    EXPECT_EQ(roxError("p(a).\np(\"ab\n)."), "2: unterminated string");
    EXPECT_EQ(roxError("p(\"a\nb\").\np(a b)."), "3: expected \")\" or \",\" after argument");
    EXPECT_EQ(roxError(std::string("p(\"a\0b\").", 9)), "1: a string cannot hold a zero byte");
    EXPECT_EQ(roxError(std::string("p(a).\0", 6)), "1: unexpected byte 0x00");
    EXPECT_EQ(roxError("\n\np :- q & r."), "3: unexpected character \"&\"");
    EXPECT_EQ(roxError("p(_X)."), "1: a name cannot begin with \"_\"");
    EXPECT_EQ(roxError("p(-)."), "1: expected a term after \"-\"");
    EXPECT_EQ(roxError("p(f(a)."), "1: expected \")\" or \",\" after argument");
    EXPECT_EQ(roxError("p(|a)."), "1: expected \"|\" after a term");
    EXPECT_EQ(roxError("p(\"a\"_b)."), "1: expected an argument after \"(\"");
    EXPECT_EQ(roxError("- (a)."), "1: expected a predicate name after \"-\"");
    EXPECT_EQ(roxError("p(2147483648)."),
              "1: integer 2147483648 is out of range (at most 2147483647 in magnitude)");
    EXPECT_EQ(roxError("a v ."), "1: expected an atom after \"v\"");
    EXPECT_EQ(roxError("p :- not <(X,1)."), "1: a builtin cannot be negated");
    EXPECT_EQ(roxError("p :- not ."), "1: expected an atom after \"not\"");
    EXPECT_EQ(roxError("p :- +(X,1)."), "1: \"+\" takes 3 arguments, not 2");
    EXPECT_EQ(roxError("p :- #int X."), "1: expected \"(\" after \"#int\"");
    EXPECT_EQ(roxError("not :- a."), "1: \"not\" is a reserved word and cannot be a name");
    EXPECT_EQ(roxError("p(not)."), "1: \"not\" is a reserved word and cannot be a name");
    EXPECT_EQ(roxError("p.\n<(1,2)."), "2: expected an atom or \":-\" at the start of a rule");
    EXPECT_EQ(roxError("p :- ~q."), "1: expected a body literal: an atom, \"not\" or a builtin");
}

// Function terms and arithmetic keep clingo's text, and what they hold;
// "=" is clingo's equality, "not not" a literal negated twice.
TEST(RoxReader, ReadsCompoundTermsAsClingoText) {
    const PROGRAM p =
        ReadRox("p(f(X0+1,\"a\\b\"),-a,-3,X0 ** 2) :- q(X0), =(X1,|X0-1|*2), not not r, not s.");
    ASSERT_EQ(p.rules.size(), 1u);
    const TERMS args = p.rules[0].head[0].args;
    ASSERT_EQ(args.size(), 4u);
    EXPECT_EQ(args[0].kind, TERM::KIND::COMPOUND);
    EXPECT_EQ(args[0].text, "f(X0+1,\"a\\\\b\")");
    EXPECT_EQ(args[0].value, COMPOUND_VARIABLES | COMPOUND_ARITHMETIC);
    EXPECT_EQ(args[1].text, "-a");
    EXPECT_EQ(args[1].value, COMPOUND_ARITHMETIC);
    EXPECT_EQ(args[2].kind, TERM::KIND::INTEGER);
    EXPECT_EQ(args[2].value, -3);
    EXPECT_EQ(args[3].text, "X0**2");
    const auto body = p.rules[0].body;
    ASSERT_EQ(body.size(), 4u);
    EXPECT_TRUE(body[1].isBuiltin);
    EXPECT_EQ(body[1].builtin, BUILTIN::EQUAL);
    EXPECT_EQ(body[1].atom.args[1].text, "|X0-1|*2");
    std::vector<std::string_view> variables;
    forEachVariable(body[1].atom.args[1], [&](std::string_view v) { variables.push_back(v); });
    EXPECT_EQ(variables, std::vector<std::string_view>{"X0"});
    EXPECT_TRUE(body[2].negated && body[2].doubled);
    EXPECT_TRUE(body[3].negated && !body[3].doubled);
    EXPECT_FALSE(isGround(args));
    EXPECT_FALSE(isPlainGround(ReadRox("p(-a).").rules[0].head[0].args));
    EXPECT_TRUE(isPlainGround(ReadRox("p(f(a)).").rules[0].head[0].args));
}

TEST(RoxReader, ReadsInfAndSupAsGroundTermsClingoOrders) {
    const PROGRAM p = ReadRox(
        "p(#inf,f(#sup)) :- q(X0), <(X0,#sup).\n"
        "a :- #inf < #count{ L0 : q(L0) }, #count{ L0 : q(L0) } < #sup, r.\n");
    ASSERT_EQ(p.rules.size(), 2u);
    const TERMS args = p.rules[0].head[0].args;
    ASSERT_EQ(args.size(), 2u);
    // A compound without variables or arithmetic: ordered by clingo, never
    // by the maintained part of a session.
    EXPECT_EQ(args[0].kind, TERM::KIND::COMPOUND);
    EXPECT_EQ(args[0].text, "#inf");
    EXPECT_EQ(args[0].value, 0);
    EXPECT_EQ(args[1].text, "f(#sup)");
    EXPECT_EQ(p.rules[0].body[1].atom.args[1].text, "#sup");
    const auto body = p.rules[1].body;
    ASSERT_EQ(body.size(), 3u);
    EXPECT_EQ(body[0].atom.predicate.text, "#inf < #count{ L0 : q(L0) }");
    EXPECT_EQ(body[1].atom.predicate.text, "#count{ L0 : q(L0) } < #sup");
    EXPECT_EQ(body[2].atom.predicate.text, "r");
    EXPECT_EQ(roxError("p(#infinity)."), "1: expected an argument after \"(\"");
}

TEST(RoxReader, AcceptsTheExtremes) {
    EXPECT_TRUE(ReadRox("").rules.empty());
    EXPECT_TRUE(ReadRox("% only a comment").rules.empty());
    PROGRAM p = ReadRox(":- .\np(-2147483647,2147483647).");
    EXPECT_TRUE(p.rules[0].head.empty() && p.rules[0].body.empty());
    EXPECT_EQ(p.rules[1].head[0].args[0].value, -2147483647);
}

TEST(RoxReader, ProgramOwnsItsTextsAndNumbersItsNames) {
    // The text read is gone before the program is looked at; a program
    // large enough to fill many blocks keeps its first rules intact.
    std::string text = "\"q r\"(\"s\") :- p(a), not -p(b).\n";
    for (int i = 0; i < 100000; ++i)
        text += "rej_R" + std::to_string(i) + " :- p(c" + std::to_string(i) + ").\n";
    // Names met again after the index has grown many times, one of them
    // behind a string with a parenthesis in it.
    text += "rej_R0 :- rej_R99999, p(\"(\"). % (\n";
    PROGRAM p = ReadRox(std::string(text));
    text.assign(text.size(), 'x');
    ASSERT_EQ(p.rules.size(), 100002u);
    EXPECT_EQ(p.rules[100001].head[0].predicate.number, p.rules[1].head[0].predicate.number);
    EXPECT_EQ(p.rules[100001].body[0].atom.predicate.number,
              p.rules[100000].head[0].predicate.number);
    EXPECT_EQ(p.rules[100001].body[0].atom.predicate.text, "rej_R99999");
    const RULE& first = p.rules[0];
    EXPECT_EQ(first.head[0].predicate.text, "\"q r\"");
    EXPECT_EQ(first.head[0].args[0].text, "s");
    EXPECT_EQ(first.body[0].atom.args[0].text, "a");
    EXPECT_EQ(p.rules[100000].body[0].atom.args[0].text, "c99999");
    // One number per distinct predicate name, whatever the sign.
    EXPECT_EQ(first.body[0].atom.predicate.number, first.body[1].atom.predicate.number);
    EXPECT_NE(first.head[0].predicate.number, first.body[0].atom.predicate.number);
    EXPECT_EQ(p.rules[100000].body[0].atom.predicate.number, first.body[0].atom.predicate.number);
    EXPECT_EQ(p.names, 100002u);  // "q r", p and each rej_R<i>
}

TEST(PexaReader, ReadsItemsBetweenTheHeaderAndTheEnd) {
    PROGRAM p = ReadPexa(
        "@SET FUNCTION\n@LP({\n"
        "a :- b, ~c.,\n"
        "NEG_b :- .,\n"
        "\n"
        ":- c.,\n"
        "not v x.\n"
        "})\n");
    ASSERT_EQ(p.rules.size(), 4u);
    EXPECT_EQ(p.rules[0].line, 3);
    EXPECT_TRUE(p.rules[0].body[1].negated);
    EXPECT_EQ(p.rules[1].head[0].predicate.text, "NEG_b");
    EXPECT_FALSE(p.rules[1].head[0].stronglyNegated);
    EXPECT_TRUE(p.rules[2].head.empty());
    EXPECT_EQ(p.rules[2].line, 6);
    // "not" is an ordinary name here.
    EXPECT_EQ(p.rules[3].head[0].predicate.text, "not");
    EXPECT_EQ(p.rules[3].head.size(), 2u);

    EXPECT_TRUE(ReadPexa("@SET FUNCTION\n@LP({\n})\n").rules.empty());
    EXPECT_EQ(ReadPexa("@SET FUNCTION\n@LP({\na.,\n})").rules.size(), 1u);
}

TEST(PexaReader, RefusesWhatTheFormDoesNotHave) {
    const std::string head = "@SET FUNCTION\n@LP({\n";
    EXPECT_EQ(pexaError(head + "a :- b.,\np(x).\n})"),
              "4: atom p has arguments, but this form allows only propositional atoms");
    EXPECT_EQ(pexaError(head + "-a.\n})"), "3: strong negation \"-\" is not allowed in this form");
    EXPECT_EQ(pexaError(head + "a :- not b.\n})"),
              "3: expected \",\" or \".\" after a body literal");
    EXPECT_EQ(pexaError(head + "a :- <(b,c).\n})"), "3: builtins are not allowed in this form");
    EXPECT_EQ(pexaError(head + "a :- b\n})"), "3: expected \",\" or \".\" after a body literal");
    EXPECT_EQ(pexaError(head + "a. b.\n})"), "3: expected \",\" or \"})\" after an item");
    EXPECT_EQ(pexaError(head + "a.,\n"), "3: expected \"})\" at the end of the program");
    EXPECT_EQ(pexaError(head + "a.\n}"), "4: expected \")\" after \"}\"");
    EXPECT_EQ(pexaError(head + "a.\n})\nb."), "5: unexpected text after \"})\"");
    EXPECT_EQ(pexaError("a :- b."), "1: expected \"@SET FUNCTION\" at the start of the file");
    EXPECT_EQ(pexaError("@SET FUNCTION\na."), "2: expected \"@LP({\" after \"@SET FUNCTION\"");
    EXPECT_EQ(pexaError(""), "1: expected \"@SET FUNCTION\" at the start of the file");
}

TEST(RoxReader, ReadsAnAggregatesRightGuardThatIsAFunctionTermOrATuple) {
    // What vok writes for a choice bounded by such a term ("{ q } f(a).").
    const PROGRAM p = ReadRox(
        ":- #count{ 10 : q } > q(a).\n"
        ":- #count{ 10 : q } > f(\")\",(b)), r.\n"
        ":- #count{ 10 : q } < (1,b).\n");
    ASSERT_EQ(p.rules.size(), 3u);
    EXPECT_EQ(p.rules[0].body[0].atom.predicate.text, "#count{ 10 : q } > q(a)");
    EXPECT_EQ(p.rules[1].body[0].atom.predicate.text, "#count{ 10 : q } > f(\")\",(b))");
    EXPECT_EQ(p.rules[1].body[1].atom.predicate.text, "r");
    EXPECT_EQ(p.rules[2].body[0].atom.predicate.text, "#count{ 10 : q } < (1,b)");
}

TEST(RoxReader, ReadsChoicesAndAggregatesAsClingoWritesThem) {
    PROGRAM p = ReadRox(
        "{ p_P0(X0) } :- q(X0), not rej_P0_R0(X0).\n"
        "{ a }.\n"
        "d(X0) :- X0 = #sum{ L1 : q(L1) }, r.\n"
        "e :- not 1 < #min{ L0 : q(L0), L0 != \"}\" } <= 3, #count{ 1 : a } = X1, s(X1).\n"
        ":- r, #count{ 10,L0 : p(L0),\n q(L0) } < -1.\n"
        "f :- 2 <= #sum+{ 1 : a }.\n");
    ASSERT_EQ(p.rules.size(), 6u);
    EXPECT_TRUE(p.rules[0].choice);
    EXPECT_EQ(p.rules[0].body.size(), 2u);
    EXPECT_TRUE(p.rules[1].choice);
    EXPECT_TRUE(p.rules[1].body.empty());

    const LITERAL& sum = p.rules[2].body[0];
    EXPECT_TRUE(sum.isAggregate);
    EXPECT_EQ(sum.atom.predicate.text, "X0 = #sum{ L1 : q(L1) }");
    ASSERT_EQ(sum.atom.args.size(), 1u);  // the guard assigns X0
    EXPECT_EQ(sum.atom.args[0].text, "X0");
    EXPECT_EQ(p.rules[2].body[1].atom.predicate.text, "r");

    // A "}" inside a string does not end the elements; a right guard with
    // a variable only assigns it after "=".
    const RULE& e = p.rules[3];
    ASSERT_EQ(e.body.size(), 3u);
    EXPECT_TRUE(e.body[0].negated);
    EXPECT_EQ(e.body[0].atom.predicate.text, "1 < #min{ L0 : q(L0), L0 != \"}\" } <= 3");
    EXPECT_TRUE(e.body[0].atom.args.empty());
    EXPECT_EQ(e.body[1].atom.predicate.text, "#count{ 1 : a } = X1");
    ASSERT_EQ(e.body[1].atom.args.size(), 1u);
    EXPECT_EQ(p.rules[4].body[1].atom.predicate.text, "#count{ 10,L0 : p(L0),\n q(L0) } < -1");
    // The lines inside an aggregate still count.
    EXPECT_EQ(p.rules[5].line, 7);
    EXPECT_EQ(p.rules[5].body[0].atom.predicate.text, "2 <= #sum+{ 1 : a }");

    EXPECT_EQ(roxError("{ a :- b."), "1: expected \"}\" after the atom of a choice");
    EXPECT_EQ(roxError("{ a } b."), "1: expected \":-\" or \".\" after a choice");
    EXPECT_EQ(roxError("a :- #count{ 1 : b."), "1: expected \"}\" at the end of an aggregate");
}
