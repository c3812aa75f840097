// clingo, given the translations, finds the answer sets their programs
// mean: the builtins hold exactly where their meaning says, and the compact
// text of a large program has the answer sets of the plain one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "evaluation/clingo/compact.hpp"
#include "evaluation/clingo/one_run.hpp"
#include "evaluation/clingo/translate.hpp"
#include "evaluation/program/declarations.hpp"
#include "evaluation/program/reader.hpp"
#include "evaluation/solve/solver.hpp"
#include "tests/support/evaluation/programs.hpp"

using namespace vok::evaluation;

namespace {

// The answer sets clingo finds for a rox program, as printed lines.
std::vector<std::string> answerSets(const std::string& text, std::int64_t maxint) {
    std::vector<std::string> lines;
    SOLVER_OUTCOME o =
        Solve(SOLVER_CALL{}, Translate(ReadRox(text), maxint), [&](std::string_view l) {
            lines.emplace_back(l);
            return true;
        });
    EXPECT_TRUE(o.finished) << o.error;
    return lines;
}

}  // namespace

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

namespace {

// The answer-set lines clingo prints for a text, as rox-clingo prints them;
// oneRun when the text ends with the one-run script.
std::string solve(const CLINGO_TEXT& t, bool oneRun = false) {
    SOLVER_CALL call;
    call.oneRun = oneRun;
    if (!t.data.texts.empty()) call.dataNames = &t.data.texts;
    std::string out;
    SOLVER_OUTCOME o = Solve(call, t.text, [&](std::string_view l) {
        out += l;
        return true;
    });
    EXPECT_TRUE(o.finished) << o.error << "\n" << t.text;
    return out;
}

// A random program of few shapes: layered so that "not" points down (a
// normal, stratified program) unless cyclic or disjunctive asks otherwise;
// names of every kind, strings, negative integers, strong negation, and
// now and then a rule with variables.
std::string randomRox(std::mt19937& rng, bool cyclic, bool disjunctive) {
    const std::vector<std::string> names = {"a",   "b",          "P",      "\"x y\"",
                                            "c_d", "\"x y\"_P1", "rej_R1", "rej_R2",
                                            "Q_2", "e",          "f",      "rej_R3"};
    const std::vector<std::string> constants = {"k", "\"s t\"", "-3", "0", "m", "\"\""};
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    auto atom = [&](std::size_t level, bool ground) {
        std::string a = rng() % 4 == 0 ? "-" : "";
        a += names[level];
        const std::size_t arity = level % 3;
        for (std::size_t i = 0; i < arity; ++i) {
            a += i ? "," : "(";
            a += !ground && i == 0 ? std::string("X") : constants[pick(constants.size())];
        }
        return arity ? a + ")" : a;
    };
    std::string text;
    const int rules = 8 + static_cast<int>(pick(25));
    for (int r = 0; r < rules; ++r) {
        const std::size_t head = 1 + pick(names.size() - 1);
        const bool ground = rng() % 8 != 0;
        std::string rule = atom(head, ground);
        if (disjunctive && rng() % 4 == 0) rule += " v " + atom(pick(names.size()), ground);
        const std::size_t body = pick(3);
        if (!ground) rule += " :- " + names[0] + "(X)" + (body ? ", " : "");
        else if (body) rule += " :- ";
        for (std::size_t i = 0; i < body; ++i) {
            if (i) rule += ", ";
            const bool negated = rng() % 2 == 0;
            std::size_t level = negated ? pick(head) : pick(head + 1);
            if (cyclic && negated && rng() % 3 == 0) level = head;
            rule += (negated ? "not " : "") + atom(level, true);
        }
        text += rule + ".\n";
        if (r % 3 == 0) text += names[0] + "(" + constants[pick(constants.size())] + ").\n";
    }
    return text;
}

// A random program that is normal but not stratified, over few constants
// so that its atoms meet: choices between two atoms (even loops through
// "not"), an atom that only holds where something else derives it (an odd
// loop), constraints that kill some answer sets, strong negation (no
// answer set holds p and -p), facts, and ground rules whose "not" points
// anywhere.
std::string randomNonStratified(std::mt19937& rng) {
    const std::vector<std::string> names = {"a",      "P",   "\"x y\"_P1", "rej_R1",
                                            "rej_R2", "c_d", "rej_R3",     "e"};
    const std::vector<std::string> constants = {"k", "\"s t\"", "-3"};
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    auto atom = [&](std::size_t name) {
        std::string a = rng() % 16 == 0 ? "-" : "";
        a += names[name];
        const std::size_t arity = name % 3;
        for (std::size_t i = 0; i < arity; ++i)
            a += (i ? "," : "(") + constants[pick(constants.size())];
        return arity ? a + ")" : a;
    };
    auto any = [&] { return atom(pick(names.size())); };
    std::string text;
    for (std::size_t c = 1 + pick(4); c > 0; --c) {
        const std::string x = any(), y = any();
        text += x + " :- not " + y + ".\n" + y + " :- not " + x + ".\n";
    }
    if (rng() % 4 == 0) text += names[0] + " :- not " + names[0] + ", " + any() + ".\n";
    for (std::size_t c = pick(3); c > 1; --c) text += ":- " + any() + ", not " + any() + ".\n";
    for (int r = 8 + static_cast<int>(pick(25)); r > 0; --r) {
        std::string rule = any();
        if (rng() % 4 == 0) {
            // A fact, never of strong negation: facts of p and -p would
            // leave few programs with an answer set.
            if (rule[0] == '-') rule.erase(0, 1);
        } else {
            rule += std::string(" :- ") + (rng() % 4 ? "" : "not ") + any();
            if (rng() % 2 == 0) rule += std::string(", ") + (rng() % 4 ? "" : "not ") + any();
        }
        text += rule + ".\n";
    }
    // A choice, sometimes with a body, and a count over an atom's values.
    if (rng() % 2 == 0) {
        std::string head = any();
        if (head[0] == '-') head.erase(0, 1);
        text += "{ " + head + " }" + (rng() % 2 ? " :- " + any() : std::string()) + ".\n";
    }
    if (rng() % 3 == 0)
        text += any() + " :- #count{ X : e(X) } > " + std::to_string(pick(2)) + ".\n";
    return text;
}

// With cyclic, "~" points at any atom, not only at lower ones.
std::string randomPexa(std::mt19937& rng, bool cyclic = false) {
    std::string text = "@SET FUNCTION\n@LP({\n";
    const int rules = 5 + static_cast<int>(rng() % 20);
    for (int r = 0; r < rules; ++r) {
        const unsigned head = 1 + rng() % 6;
        text += r ? ",\n" : "";
        text += (head % 2 ? "NEG_a" : "a") + std::to_string(head) + " :- b" +
                std::to_string(rng() % head) + ", ~a" +
                std::to_string(rng() % (cyclic ? 7 : head)) + ".";
        if (r % 2) text += ",\nb" + std::to_string(rng() % 6) + ".";
    }
    return text + "\n})";
}

// The lines of a run's output in their order of bytes: the answer sets of
// a program that has several may come in another order from another text.
std::string sortedLines(const std::string& out) {
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(out.substr(at, end + 1 - at));
    std::sort(lines.begin(), lines.end());
    std::string sorted;
    for (const std::string& l : lines) sorted += l;
    return sorted;
}

// The same answer sets: with at most one, the very lines; with more, the
// same set of them.
void expectSameAnswerSets(const std::string& got, const std::string& expected,
                          const std::string& what) {
    if (std::count(expected.begin(), expected.end(), '\n') <= 1) EXPECT_EQ(got, expected) << what;
    else EXPECT_EQ(sortedLines(got), sortedLines(expected)) << what;
}

// Translates with each small threshold and, where the text is compact,
// requires clingo to print the answer sets of the plain text. Returns how
// many texts were compact.
int compareWithPlain(const PROGRAM& program, const std::string& source) {
    const CLINGO_TEXT plain{Translate(program, std::nullopt), {}, {}};
    std::string expected;
    bool solved = false;
    int compact = 0;
    for (std::size_t threshold : {1, 2, 3}) {
        CLINGO_TEXT t = TranslateCompact(program, std::nullopt, threshold);
        if (t.text == plain.text) continue;
        ++compact;
        if (!solved) expected = solve(plain);
        solved = true;
        expectSameAnswerSets(
            solve(t), expected,
            "threshold " + std::to_string(threshold) + "\n" + source + "\n---\n" + t.text);
    }
    return compact;
}

// The source with its rejection predicates declared as vok declares them
// for --one-run: the rej_ names that head a rule, at levels 1 to 3.
std::string withRejections(const std::string& source) {
    const PROGRAM program = ReadRox(source);
    std::vector<std::pair<std::string_view, std::size_t>> declared;
    for (const RULE& rule : program.rules)
        for (const ATOM& a : rule.head) {
            const std::pair<std::string_view, std::size_t> p{a.predicate.text, a.args.size()};
            if (!a.stronglyNegated && p.first.starts_with("rej_") &&
                std::find(declared.begin(), declared.end(), p) == declared.end())
                declared.push_back(p);
        }
    std::string text = source;
    for (const auto& [name, arity] : declared)
        text += "%vok:rejection " + std::string(name) + " " + std::to_string(arity) + " " +
                std::string(name.substr(5)) + "\n";
    return text + "%vok:rejections " + std::to_string(declared.size()) + "\n";
}

// The same for the minimal and the strictly minimal answer sets of the
// one-run script, after the compact text and after the plain one.
int compareOneRunWithPlain(const std::string& source) {
    const std::string text = withRejections(source);
    const PROGRAM program = ReadRox(text);
    const REJECTION_LIST list = ReadRejectionList(program.declarations);
    const std::vector<std::uint32_t> numbers = CheckRejectionList(list, program);
    int compact = 0;
    for (bool strict : {false, true}) {
        CLINGO_TEXT plain{Translate(program, std::nullopt), {}, {}};
        plain.text += OneRunScript(list, numbers, plain, strict, 0);
        const std::string expected = solve(plain, true);
        for (std::size_t threshold : {1, 2, 3}) {
            CLINGO_TEXT t = TranslateCompact(program, std::nullopt, threshold);
            if (t.data.texts.empty() && t.headed.empty()) continue;
            ++compact;
            t.text += OneRunScript(list, numbers, t, strict, 0);
            expectSameAnswerSets(solve(t, true), expected,
                                 std::string(strict ? "strict" : "min") + " threshold " +
                                     std::to_string(threshold) + "\n" + text + "\n---\n" + t.text);
        }
    }
    return compact;
}

}  // namespace

// Rows in tables, predicates written as data and rules left out change
// nothing clingo prints.
TEST(Compact, PrintsTheAnswerSetsOfThePlainText) {
    for (const auto& [text, threshold] : std::vector<std::pair<std::string, std::size_t>>{
             {factBase(6), 3}, {TwoHeights, 2}, {factBaseWithDeadRules(), 2}}) {
        const PROGRAM program = ReadRox(text);
        const CLINGO_TEXT t = TranslateCompact(program, std::nullopt, threshold);
        EXPECT_NE(t.text, Translate(program, std::nullopt)) << text;
        EXPECT_EQ(solve(t), solve(CLINGO_TEXT{Translate(program, std::nullopt), {}, {}})) << text;
    }
    const std::string answer =
        solve(TranslateCompact(ReadRox(factBaseWithDeadRules()), std::nullopt, 2));
    EXPECT_NE(answer.find(", z}"), std::string::npos) << answer;
}

namespace {

int seedCount() {
    const char* more = std::getenv("VOK_COMPACT_SEEDS");
    return more ? std::max(1, std::atoi(more)) : 30;
}

}  // namespace

// VOK_COMPACT_SEEDS=N checks N random programs of each form instead of 30.
TEST(Compact, RandomProgramsPrintTheAnswerSetsOfThePlainText) {
    std::mt19937 rng(20261208);
    int compact = 0;
    for (int seed = 0; seed < seedCount(); ++seed) {
        const bool cyclic = seed % 5 == 4, disjunctive = seed % 7 == 6;
        const std::string rox = randomRox(rng, cyclic, disjunctive);
        compact += compareWithPlain(ReadRox(rox), rox);
        const std::string pexa = randomPexa(rng, seed % 3 == 2);
        compact += compareWithPlain(ReadPexa(pexa), pexa);
    }
    compact += compareWithPlain(ReadRox(factBase(5)), "fact base");
    EXPECT_GT(compact, 40);  // the check has something to check
}

// Even and odd loops, choice rules, counts, constraints and strong
// negation: the same set of answer sets, and with the one-run script the same minimal and strictly
// minimal ones.
TEST(Compact, RandomProgramsWithoutStrataPrintTheAnswerSetsOfThePlainText) {
    std::mt19937 rng(20261209);
    int compact = 0, oneRun = 0, several = 0;
    for (int seed = 0; seed < seedCount(); ++seed) {
        const std::string rox = randomNonStratified(rng);
        compact += compareWithPlain(ReadRox(rox), rox);
        oneRun += compareOneRunWithPlain(rox);
        const std::string answers =
            solve(CLINGO_TEXT{Translate(ReadRox(rox), std::nullopt), {}, {}});
        several += std::count(answers.begin(), answers.end(), '\n') > 1;
    }
    // The check has something to check.
    EXPECT_GT(compact, seedCount());
    EXPECT_GT(oneRun, seedCount());
    EXPECT_GT(several, seedCount() / 4);
}

namespace {

// The brave or cautious consequences clingo finds for a text, as rox-clingo
// prints them: its settled atoms join the last model.
std::string consequences(const CLINGO_TEXT& t, const char* mode) {
    SOLVER_CALL call;
    call.enumMode = mode;
    call.fold = FOLD::LAST;
    call.settled = t.settled;
    if (!t.data.texts.empty()) call.dataNames = &t.data.texts;
    std::string out;
    SOLVER_OUTCOME o = Solve(call, t.text, [&](std::string_view l) {
        out += l;
        return true;
    });
    EXPECT_TRUE(o.finished) << o.error << "\n" << t.text;
    return out;
}

// Whether the text for the consequences leaves settled atoms out; if so,
// its consequences must be those of the plain text (otherwise it is the
// compact text, which has the plain text's answer sets).
bool settlesLikePlain(const PROGRAM& program, const std::string& source) {
    const CLINGO_TEXT plain{Translate(program, std::nullopt), {}, {}};
    const CLINGO_TEXT t = TranslateForConsequences(program, std::nullopt, 2);
    if (t.settled.empty()) return false;
    for (const char* mode : {"brave", "cautious"})
        EXPECT_EQ(consequences(t, mode), consequences(plain, mode))
            << mode << "\n"
            << source << "\n---\n"
            << t.text << "\n--- settled: " << t.settled;
    return !t.settled.empty();
}

}  // namespace

// Knowledge bases with their inertia rules, constraints, strong negation,
// choices between atoms, disjunction: the consequences of the text without
// the settled atoms, joined with them, are those of the whole program.
TEST(Consequences, SettledAtomsLeftOutChangeNoConsequence) {
    std::mt19937 rng(20261210);
    int settled = 0;
    for (int seed = 0; seed < seedCount(); ++seed) {
        const bool cyclic = seed % 5 == 4, disjunctive = seed % 7 == 6;
        const std::string rox = randomRox(rng, cyclic, disjunctive);
        settled += settlesLikePlain(ReadRox(rox), rox);
        const std::string loops = randomNonStratified(rng);
        settled += settlesLikePlain(ReadRox(loops), loops);
        const std::string pexa = randomPexa(rng, seed % 3 == 2);
        settled += settlesLikePlain(ReadPexa(pexa), pexa);
    }
    for (const std::string& text : {factBase(6), factBaseWithDeadRules(), std::string(TwoHeights)})
        settled += settlesLikePlain(ReadRox(text), text);
    EXPECT_GT(settled, seedCount());  // the check has something to check
}
