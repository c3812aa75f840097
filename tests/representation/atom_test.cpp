#include <gtest/gtest.h>

#include "tests/support/builders.hpp"

namespace {

class Atoms : public ::testing::Test {
protected:
    void SetUp() override { resetProgramTables(PROGRAM_TYPE::ROX); }
};

TEST_F(Atoms, BuiltinsTakeTheFirstNumbersOnlyForRox) {
    EXPECT_EQ(NumBuiltins, 10);
    EXPECT_EQ(atom("p", {"a"}).predicate, 10u);
    EXPECT_EQ(ATOM::Predicates.find("#succ"), std::make_pair(unsigned(SUCC), true));
    EXPECT_EQ(ATOM::Predicates.type(PLUS), PREDICATE_NAMES::BUILTIN_PREDICATE);
    EXPECT_EQ(ATOM::Predicates.arity(TIMES), 3u);

    resetProgramTables(PROGRAM_TYPE::PEXA);
    EXPECT_EQ(NumBuiltins, 0);
    EXPECT_EQ(atom("p").predicate, 0u);
}

TEST_F(Atoms, InsertionUpgradesUnspecifiedAndRefusesConflicts) {
    PREDICATE_NAMES t;
    EXPECT_TRUE(t.insert("p", 1, PREDICATE_NAMES::UNSPECIFIED).second);
    EXPECT_TRUE(t.insert("p", 1, PREDICATE_NAMES::IDB).second);
    EXPECT_EQ(t.type(0), PREDICATE_NAMES::IDB);
    EXPECT_TRUE(t.insert("p", 1, PREDICATE_NAMES::UNSPECIFIED).second);
    EXPECT_FALSE(t.insert("p", 1, PREDICATE_NAMES::EDB).second);
    EXPECT_FALSE(t.insert("p", 2, PREDICATE_NAMES::IDB).second);
    EXPECT_EQ(t.arity(0), 1u);
}

TEST_F(Atoms, GeneratedNamesArePredicatesMarkedWithTheirFamily) {
    const unsigned p = atom("p", {"a"}).predicate;
    const auto [u, made] = updatePredicates.insert("p_P0", 1);
    ASSERT_TRUE(made);
    // Kept once: the registry's number is the predicate's, an IDB one.
    EXPECT_EQ(ATOM::Predicates.find("p_P0"), std::make_pair(u, true));
    EXPECT_EQ(ATOM::Predicates.type(u), PREDICATE_NAMES::IDB);
    EXPECT_EQ(atom("p_P0", {"b"}).predicate, u);
    EXPECT_TRUE(updatePredicates.insert("p_P0", 1).second);
    // Another arity, the input's name, the other family's name: refused.
    EXPECT_FALSE(updatePredicates.insert("p_P0", 2).second);
    EXPECT_FALSE(updatePredicates.insert("p", 1).second);
    EXPECT_TRUE(minimalPredicates.insert("ok", 0).second);
    EXPECT_FALSE(updatePredicates.insert("ok", 0).second);
    EXPECT_TRUE(updatePredicates.insert("a_P0", 0).second);

    EXPECT_TRUE(updatePredicates.contains("p_P0") && !updatePredicates.contains("p"));
    EXPECT_FALSE(updatePredicates.contains("ok") || updatePredicates.contains("q_P0"));
    EXPECT_TRUE(minimalPredicates.contains("ok"));
    EXPECT_FALSE(updatePredicates.made(p));
    EXPECT_EQ(updatePredicates.size(), 2u);
    std::vector<std::string_view> names;
    for (const NAMES_ITEM& item : updatePredicates.inNameOrder()) names.push_back(item.name);
    EXPECT_EQ(names, (std::vector<std::string_view>{"a_P0", "p_P0"}));
}

TEST_F(Atoms, StrongNegationIsAPredicateOfItsOwn) {
    std::vector<IDENT> two{newIDENT("a"), newIDENT("b")};
    ATOM p = atom("p", {"a"});
    ATOM np = newNegativeATOM("p", ARGUMENTS(two));
    EXPECT_NE(p.predicate, np.predicate);
    EXPECT_EQ(np.name(), "-p");
    EXPECT_EQ(ATOM::Predicates.arity(np.predicate), 2u);
    EXPECT_EQ(complementName("p"), "-p");
    EXPECT_EQ(complementName("-p"), "p");
}

TEST_F(Atoms, ArityClashEndsTheRunWithItsMessage) {
    EXPECT_EXIT((atom("p", {"a"}), atom("p", {"a", "b"})), ::testing::ExitedWithCode(1),
                "^p, first used with arity 1, now seen with arity 2\\.\n$");
    EXPECT_EXIT((newNegativeATOM("q", std::nullopt), atom("-q", {"a"})),
                ::testing::ExitedWithCode(1),
                "^-q, first used with arity 0, now seen with arity 1\\.\n$");
}

TEST_F(Atoms, KindClashEndsTheRunWithItsMessage) {
    EXPECT_EXIT((atom("e", {}, PREDICATE_NAMES::EDB), atom("e", {}, PREDICATE_NAMES::IDB)),
                ::testing::ExitedWithCode(1),
                "^e, first used as EDB predicate, now seen as IDB predicate\\.\n$");
    EXPECT_EXIT((atom("i", {}, PREDICATE_NAMES::IDB), atom("i", {}, PREDICATE_NAMES::EDB)),
                ::testing::ExitedWithCode(1),
                "^i, first used as IDB predicate, now seen as EDB predicate\\.\n$");
    EXPECT_EXIT(atom("<", {"X", "Y"}, PREDICATE_NAMES::IDB), ::testing::ExitedWithCode(1), "^$");
}

TEST_F(Atoms, TextFormsInBothProgramTypes) {
    ATOM empty("e", ARGUMENTS(std::vector<IDENT>()));
    EXPECT_EQ(text(empty), "e");
    EXPECT_EQ(text(atom("p")), "p");
    ATOM np = newNegativeATOM("p", std::nullopt);
    std::vector<IDENT> args{newIDENT("a")};
    LITERAL l(newNegativeATOM("r", ARGUMENTS(args)), true);
    EXPECT_EQ(text(l), "not -r(a)");
    IDENT x = newIDENT("X"), three(IDENT::INTEGER, 3);
    std::vector<IDENT> cmp = newIDENTS(&x, &three);
    EXPECT_EQ(text(newBuiltin(LESS, ARGUMENTS(cmp))), "<(X0,3)");
    OptionProgram = PROGRAM_TYPE::PEXA;
    EXPECT_EQ(text(l), "~NEG_r(a)");
    EXPECT_EQ(text(np), "NEG_p");
}

TEST_F(Atoms, CopiesAreDeep) {
    ATOM a = atom("p", {"a", "b"});
    ATOM b = a;
    b.args[0] = IDENT(IDENT::INTEGER, 5);
    EXPECT_EQ(text(a), "p(a,b)");
    EXPECT_EQ(text(b), "p(5,b)");
    ATOM c;
    c = a;
    a.args.reset();
    EXPECT_EQ(text(c), "p(a,b)");
}

// Short lists live in the atom, longer ones on the heap; both must copy
// deeply, move without sharing, and keep absent apart from empty.
TEST_F(Atoms, ArgumentListsInPlaceAndOnTheHeap) {
    std::vector<IDENT> five;
    for (int i = 0; i < 5; ++i) five.emplace_back(IDENT::INTEGER, i);
    ATOM longer("q", ARGUMENTS(five));
    EXPECT_EQ(longer.arity(), 5u);
    ATOM copy = longer;
    copy.args[4] = newIDENT("z");
    EXPECT_EQ(text(longer), "q(0,1,2,3,4)");
    EXPECT_EQ(text(copy), "q(0,1,2,3,z)");
    EXPECT_EQ(std::vector<IDENT>(longer.args), five);

    ATOM moved = std::move(copy);
    EXPECT_EQ(text(moved), "q(0,1,2,3,z)");
    copy = moved;  // a moved-from atom takes a new list
    moved = atom("q", {"a", "b", "c", "d", "e"});
    EXPECT_EQ(text(copy), "q(0,1,2,3,z)");
    EXPECT_EQ(text(moved), "q(a,b,c,d,e)");
    moved = ATOM(atom("r", {"a"}));  // from the heap back into place
    EXPECT_EQ(text(moved), "r(a)");

    ATOM empty("e", ARGUMENTS(std::vector<IDENT>())), bare("e", std::nullopt);
    EXPECT_TRUE(empty.args.has_value());
    EXPECT_TRUE(empty.args.empty());
    EXPECT_FALSE(bare.args.has_value());
    EXPECT_TRUE(bare.args.empty());
    EXPECT_EQ(bare.args.begin(), bare.args.end());
    ATOM over("f", empty.args);
    EXPECT_TRUE(over.args.has_value());
    EXPECT_FALSE(ATOM("f", bare.args).args.has_value());
}

TEST_F(Atoms, UnregisteredPredicateNumberIsAnInternalError) {
    resetProgramTables(PROGRAM_TYPE::OTHER);
    ATOM b = newBuiltin(EQUAL, std::nullopt);
    EXPECT_EXIT(text(b), ::testing::ExitedWithCode(99), "An internal error occurred");
}

}  // namespace
