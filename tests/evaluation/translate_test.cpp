#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "reader.hpp"
#include "solver.hpp"
#include "translate.hpp"

using namespace vok::evaluation;

namespace {

std::string rox(const std::string& text, std::optional<std::int64_t> maxint = std::nullopt) {
    return Translate(ReadRox(text), maxint);
}

std::string refusal(const std::string& text, std::optional<std::int64_t> maxint = std::nullopt) {
    try {
        rox(text, maxint);
    } catch (const TRANSLATE_ERROR& e) {
        return std::to_string(e.line) + ": " + e.what();
    }
    return "accepted";
}

// The answer sets clingo finds for a rox program, as printed lines.
std::vector<std::string> answerSets(const std::string& text, std::int64_t maxint) {
    std::vector<std::string> lines;
    SOLVER_OUTCOME o = Solve(SOLVER_CALL{}, rox(text, maxint), [&](std::string_view l) {
        lines.emplace_back(l);
        return true;
    });
    EXPECT_TRUE(o.finished) << o.error;
    return lines;
}

}  // namespace

TEST(Translate, KeepsNamesRecoverableAndRulesInClingoForm) {
    EXPECT_EQ(rox("p(a). P(b). \"my pred\"(c). -q. -Q(X) :- r(X), -\"a\"_P1(X)."),
              "p(a). u'P(b). s''22my'20pred'22(c). -q. -u'Q(X) :- r(X), -s''22a'22_P1(X).\n");
    EXPECT_EQ(rox("a v B v -c :- d, not -e."), "a; u'B; -c :- d, not -e.\n");
    EXPECT_EQ(rox("s_P1 :- .\n:- a, not b.\n:- ."), "s_P1.\n:- a, not b.\n:- #true.\n");
    // Strings keep blanks, commas and "%"; "\" is doubled for clingo.
    EXPECT_EQ(rox("p(\"a, b % c\\d\", -3)."), "p(\"a, b % c\\\\d\",-3).\n");
    // A line end in a string is an escape for clingo, and the rule after it
    // is still on its own line.
    EXPECT_EQ(rox("p(\"a\nb\").\nq."), "p(\"a\\nb\").\n\nq.\n");
    // In pexa "not" is a name, which clingo reserves.
    EXPECT_EQ(Translate(ReadPexa("@SET FUNCTION\n@LP({\nnot :- NEG_b, ~a.\n})"), {}),
              "\n\nu'not :- u'NEG_b, not a.\n");
}

TEST(Translate, WritesEachRuleOnItsOwnLine) {
    EXPECT_EQ(rox("a. e.\n\n% gap\nb :-\n c. d.\n"), "a. e.\n\n\nb :- c.\nd.\n");
}

TEST(Translate, RefusesArithmeticWithoutMaxintAndUnsafeVariables) {
    EXPECT_EQ(refusal("p.\nq(X) :- #int(X)."),
              "2: \"#int\" needs the largest integer: give -N=<n>");
    EXPECT_EQ(refusal("q(X) :- p(X), +(X,1,Y)."),
              "1: \"+\" needs the largest integer: give -N=<n>");
    EXPECT_EQ(
        refusal("q(X) :- p(Y)."),
        "1: variable X is unsafe: it occurs in no positive body atom and is bound by no builtin");
    EXPECT_EQ(
        refusal("q :- p(Y), not r(Z)."),
        "1: variable Z is unsafe: it occurs in no positive body atom and is bound by no builtin");
    EXPECT_EQ(
        refusal("q :- p(Y), <(Y,Z)."),
        "1: variable Z is unsafe: it occurs in no positive body atom and is bound by no builtin");
    // Comparisons alone need no maxint; == binds one unbound side.
    EXPECT_EQ(refusal("q(Z) :- p(Y), ==(Z,Y), <(Z,3)."), "accepted");
    EXPECT_EQ(refusal("q(X,Y) :- +(X,Y,3).", 5), "accepted");
}

TEST(Translate, ComputesFromBoundArgumentsBeforeEnumerating) {
    // The common vok pattern computes X1 from X0: no range over 0..maxint.
    std::string t = rox("p(X1) :- q(X0), +(X1,1,X0).", 100);
    EXPECT_EQ(t.find(".."), std::string::npos) << t;
    EXPECT_NE(t.find("X1=X0-1"), std::string::npos) << t;
    // A chain: Y from X, then Z from Y.
    t = rox("p(Z) :- q(X), #succ(Y,Z), #succ(X,Y).", 100);
    EXPECT_EQ(t.find(".."), std::string::npos) << t;
}

// For each builtin, each way of binding its arguments and each maxint, the
// answer set clingo finds must hold exactly the tuples the builtin's meaning
// gives over a domain of integers inside and outside 0..maxint, a constant
// and a string.
namespace {

using RELATION = std::function<bool(const std::vector<std::string>&, std::int64_t)>;

bool isInt(const std::string& v) {
    return !v.empty() && (v[0] == '-' || (v[0] >= '0' && v[0] <= '9'));
}
// clingo's order: integers numerically, then constants, then strings.
int rank(const std::string& v) { return isInt(v) ? 0 : v[0] == '"' ? 2 : 1; }
int compare(const std::string& a, const std::string& b) {
    if (rank(a) != rank(b)) return rank(a) < rank(b) ? -1 : 1;
    if (rank(a) == 0) {
        std::int64_t x = std::stoll(a), y = std::stoll(b);
        return x < y ? -1 : x > y;
    }
    return a.compare(b) < 0 ? -1 : a.compare(b) > 0;
}

bool arithmetic(const std::vector<std::string>& v, std::int64_t n, std::vector<std::int64_t>& x) {
    for (const auto& s : v) {
        if (!isInt(s)) return false;
        std::int64_t i = std::stoll(s);
        if (i < 0 || i > n) return false;
        x.push_back(i);
    }
    return true;
}

struct CASE {
    const char* name;
    int arity;
    RELATION holds;
};

const CASE cases[] = {
    {"==", 2, [](auto& v, auto) { return compare(v[0], v[1]) == 0; }},
    {"!=", 2, [](auto& v, auto) { return compare(v[0], v[1]) != 0; }},
    {"<", 2, [](auto& v, auto) { return compare(v[0], v[1]) < 0; }},
    {">", 2, [](auto& v, auto) { return compare(v[0], v[1]) > 0; }},
    {"<=", 2, [](auto& v, auto) { return compare(v[0], v[1]) <= 0; }},
    {">=", 2, [](auto& v, auto) { return compare(v[0], v[1]) >= 0; }},
    {"#int", 1,
     [](auto& v, auto n) {
         std::vector<std::int64_t> x;
         return arithmetic(v, n, x);
     }},
    {"#succ", 2,
     [](auto& v, auto n) {
         std::vector<std::int64_t> x;
         return arithmetic(v, n, x) && x[1] == x[0] + 1;
     }},
    {"+", 3,
     [](auto& v, auto n) {
         std::vector<std::int64_t> x;
         return arithmetic(v, n, x) && x[2] == x[0] + x[1];
     }},
    {"*", 3,
     [](auto& v, auto n) {
         std::vector<std::int64_t> x;
         return arithmetic(v, n, x) && x[2] == x[0] * x[1];
     }},
};

// Runs one builtin with the arguments bound (from d/1) where `bound` says,
// unbound elsewhere, and compares with the tuples the relation gives.
void checkPattern(const CASE& c, const std::vector<bool>& bound, std::int64_t n,
                  const std::vector<std::string>& domain) {
    bool arith = c.name[0] == '#' || c.name[0] == '+' || c.name[0] == '*';
    int freeCount = static_cast<int>(std::count(bound.begin(), bound.end(), false));
    if (!arith && freeCount > (c.name == std::string("==") ? 1 : 0)) return;  // unsafe
    std::string program, vars, body;
    std::vector<std::string> atoms;
    for (const auto& v : domain) {
        program += "d(" + v + ").\n";
        atoms.push_back("d(" + v + ")");
    }
    for (int i = 0; i < c.arity; ++i) {
        std::string var = "X" + std::to_string(i);
        vars += (i ? "," : "") + var;
        if (bound[i]) body += "d(" + var + "), ";
    }
    program += "r(" + vars + ") :- " + body + c.name + "(" + vars + ").\n";

    // Bound arguments range over the domain, unbound ones also over what the
    // builtins can compute from it.
    std::vector<std::string> computed = domain;
    for (const auto& x : domain)
        for (const auto& y : domain) {
            if (!isInt(x) || !isInt(y)) continue;
            std::int64_t a = std::stoll(x), b = std::stoll(y);
            for (std::int64_t v : {a + 1, a - 1, a + b, a - b, a * b, b ? a / b : 0})
                if (v >= 0 && v <= n) computed.push_back(std::to_string(v));
        }
    std::sort(computed.begin(), computed.end());
    computed.erase(std::unique(computed.begin(), computed.end()), computed.end());

    std::vector<std::string> values;
    std::vector<std::size_t> at(c.arity, 0);
    auto range = [&](int i) -> const std::vector<std::string>& {
        return bound[i] ? domain : computed;
    };
    for (;;) {
        values.clear();
        for (int i = 0; i < c.arity; ++i) values.push_back(range(i)[at[i]]);
        if (c.holds(values, n)) {
            std::string a = "r(";
            for (int i = 0; i < c.arity; ++i) a += (i ? "," : "") + values[i];
            atoms.push_back(a + ")");
        }
        int i = 0;
        while (i < c.arity && ++at[i] == range(i).size()) at[i++] = 0;
        if (i == c.arity) break;
    }
    std::sort(atoms.begin(), atoms.end());
    std::string expected = "{";
    for (std::size_t i = 0; i < atoms.size(); ++i) expected += (i ? ", " : "") + atoms[i];
    expected += "}\n";

    std::vector<std::string> got = answerSets(program, n);
    ASSERT_EQ(got.size(), 1u) << program;
    EXPECT_EQ(got[0], expected) << program;
}

// With `enumerate` false, only the patterns whose unbound arguments are
// computed from the bound ones are run (for a large maxint).
void checkBuiltins(std::int64_t n, const std::vector<std::string>& domain, bool enumerate) {
    for (const CASE& c : cases) {
        for (int mask = 0; mask < (1 << c.arity); ++mask) {
            std::vector<bool> bound;
            for (int i = 0; i < c.arity; ++i) bound.push_back(mask >> i & 1);
            int known = static_cast<int>(std::count(bound.begin(), bound.end(), true));
            if (!enumerate && known < (c.arity == 3 ? 2 : 1)) continue;
            SCOPED_TRACE(std::string(c.name) + " maxint " + std::to_string(n) + " mask " +
                         std::to_string(mask));
            checkPattern(c, bound, n, domain);
        }
    }
}

}  // namespace

TEST(BuiltinsAgreeWithTheirMeaning, AtTheEdgesOfZeroAndMaxint) {
    for (std::int64_t n : {0, 1, 4}) {
        std::vector<std::string> domain{"-1", "a", "\"s\"", "\"a b\""};
        for (std::int64_t i = 0; i <= n + 1; ++i) domain.push_back(std::to_string(i));
        checkBuiltins(n, domain, true);
    }
}

TEST(BuiltinsAgreeWithTheirMeaning, WithoutOverflowNearTheLargestInteger) {
    // Sums and products of these overflow 32 bits; only patterns that need no
    // range over 0..maxint are run.
    std::vector<std::string> domain{"1",     "2",          "46340",      "46341",
                                    "65536", "2147483646", "2147483647", "a"};
    checkBuiltins(LargestMaxint, domain, false);
    checkBuiltins(LargestMaxint - 1, domain, false);
}

TEST(BuiltinsAgreeWithTheirMeaning, WithRepeatedVariablesAndConstants) {
    EXPECT_EQ(answerSets("r(X) :- +(X,X,4).", 5), std::vector<std::string>{"{r(2)}\n"});
    EXPECT_EQ(answerSets("r(X) :- +(X,1,3).", 5), std::vector<std::string>{"{r(2)}\n"});
    EXPECT_EQ(answerSets("r(X) :- *(X,X,9).", 9), std::vector<std::string>{"{r(3)}\n"});
    EXPECT_EQ(answerSets("r(X) :- *(0,X,0).", 2), std::vector<std::string>{"{r(0), r(1), r(2)}\n"});
    EXPECT_EQ(answerSets("r(X) :- #succ(X,X).", 5), std::vector<std::string>{"{}\n"});
    EXPECT_EQ(answerSets("r(X) :- +(a,1,X).", 5), std::vector<std::string>{"{}\n"});
    EXPECT_EQ(answerSets("r(X,Y) :- *(X,Y,Y), <(Y,2).", 2),
              std::vector<std::string>{"{r(0,0), r(1,0), r(1,1), r(2,0)}\n"});
}
