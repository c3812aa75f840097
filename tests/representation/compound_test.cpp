// Compound terms: kept once by text, written with the parentheses clingo
// needs, computed as clingo computes ground arithmetic, and the variables
// matching binds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "representation/compound.hpp"
#include "tests/support/tables.hpp"

namespace {

class Compound : public ::testing::Test {
protected:
    void SetUp() override { resetProgramTables(PROGRAM_TYPE::ROX); }
    static IDENT i(int v) { return IDENT(IDENT::INTEGER, v); }
    static IDENT x(int v) { return IDENT(IDENT::VARIABLE, v); }
    static IDENT c(const char* name) {
        return IDENT(IDENT::CONSTANT, static_cast<int>(IDENT::Constants.insert(name).first));
    }
    static IDENT op(TERM_OP o, std::vector<IDENT> a) {
        bool undefined = false;
        return Operation(o, a, undefined);
    }
    static std::string text(IDENT t) {
        std::string s;
        AppendTerm(s, t);
        return s;
    }
};

TEST_F(Compound, GroundArithmeticAsClingoComputesIt) {
    struct Case {
        TERM_OP op;
        std::vector<IDENT> operands;
        const char* value;  // nullptr: undefined
    };
    const Case cases[] = {
        {TERM_OP::DIV, {i(-7), i(2)}, "-3"},  // truncated towards zero
        {TERM_OP::MOD, {i(-7), i(2)}, "-1"},
        {TERM_OP::MOD, {i(7), i(-2)}, "1"},
        {TERM_OP::POW, {i(2), i(-1)}, "0"},
        {TERM_OP::POW, {i(0), i(0)}, "1"},
        {TERM_OP::POW, {i(2), i(31)}, "-2147483648"},  // 32 bits that wrap
        {TERM_OP::MUL, {i(999999999), i(2)}, "1999999998"},
        {TERM_OP::ABS, {i(-4)}, "4"},
        {TERM_OP::MINUS, {c("a")}, "-a"},
        {TERM_OP::DIV, {i(1), i(0)}, nullptr},
        {TERM_OP::POW, {i(0), i(-1)}, nullptr},
        {TERM_OP::ADD, {c("a"), i(1)}, nullptr},
        {TERM_OP::MINUS, {c("\"s\"")}, nullptr},
        {TERM_OP::ABS, {c("a")}, nullptr},
    };
    for (const Case& k : cases) {
        const auto v = GroundOperation(k.op, k.operands);
        if (!k.value) {
            EXPECT_FALSE(v) << text(op(k.op, k.operands));
            continue;
        }
        ASSERT_TRUE(v) << k.value;
        EXPECT_EQ(text(*v), k.value);
    }
    // -(-a) is a again.
    EXPECT_EQ(op(TERM_OP::MINUS, {op(TERM_OP::MINUS, {c("a")})}), c("a"));
}

TEST_F(Compound, WrittenWithTheParenthesesClingoNeedsAndKeptOnce) {
    const IDENT sum = op(TERM_OP::ADD, {x(0), i(1)});
    EXPECT_EQ(text(op(TERM_OP::MUL, {sum, i(2)})), "(X0+1)*2");
    EXPECT_EQ(text(op(TERM_OP::SUB, {x(0), op(TERM_OP::SUB, {x(1), i(1)})})), "X0-(X1-1)");
    EXPECT_EQ(text(op(TERM_OP::SUB, {x(0), i(-3)})), "X0-(-3)");
    EXPECT_EQ(text(op(TERM_OP::POW, {op(TERM_OP::POW, {x(0), i(2)}), i(3)})), "(X0**2)**3");
    EXPECT_EQ(text(op(TERM_OP::POW, {x(0), op(TERM_OP::POW, {i(2), x(1)})})), "X0**2**X1");
    EXPECT_EQ(text(op(TERM_OP::MINUS, {sum})), "-(X0+1)");
    const IDENT f = Compounds.make(TERM_OP::FUNCTION, c("f"), std::vector<IDENT>{sum, c("b")});
    EXPECT_EQ(text(f), "f(X0+1,b)");
    EXPECT_EQ(Compounds.make(TERM_OP::FUNCTION, c("f"), std::vector<IDENT>{sum, c("b")}), f);
    EXPECT_EQ(HighestVariable(f), 0);
    std::string named;
    AppendNamedTerm(named, f, {"Y"});
    EXPECT_EQ(named, "f(Y+1,b)");
    EXPECT_EQ(text(*Substituted(f, std::vector<IDENT>{i(4)})), "f(5,b)");
}

TEST_F(Compound, MatchingBindsWhatClingoSolvesFor) {
    auto bindable = [](IDENT t) {
        std::vector<int> v;
        AppendBindable(t, v);
        return v;
    };
    const IDENT g = Compounds.make(TERM_OP::FUNCTION, c("g"), std::vector<IDENT>{x(0), x(1)});
    EXPECT_EQ(bindable(g), (std::vector<int>{0, 1}));
    EXPECT_EQ(bindable(op(TERM_OP::ADD, {op(TERM_OP::MUL, {i(2), x(0)}), i(1)})),
              std::vector<int>{0});
    EXPECT_EQ(bindable(op(TERM_OP::MINUS, {x(2)})), std::vector<int>{2});
    EXPECT_EQ(bindable(op(TERM_OP::MUL, {x(0), x(1)})), std::vector<int>{});
    EXPECT_EQ(bindable(op(TERM_OP::DIV, {x(0), i(2)})), std::vector<int>{});
    EXPECT_EQ(bindable(op(TERM_OP::ABS, {x(0)})), std::vector<int>{});
    std::vector<int> all;
    AppendVariables(op(TERM_OP::MUL, {x(0), x(1)}), all);
    EXPECT_EQ(all, (std::vector<int>{0, 1}));
}

}  // namespace
