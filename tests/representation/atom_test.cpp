#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "tests/support/builders.hpp"
#include "tests/support/whole_run.hpp"

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

// A short name keeps its arity and kind in its index slot as well as in its
// signature; both must answer as one record would, through upgrades,
// conflicts, growth of the index and names forgotten and given again, for
// names kept in their slot (up to 8 bytes without a NUL) and the others.
TEST_F(Atoms, InsertionAnswersAlikeForShortAndLongNames) {
    using TYPE = PREDICATE_NAMES::TYPE;
    struct KNOWN {
        unsigned arity;
        TYPE type;
    };
    const std::vector<std::string> names = {"p",        "-p",        "abcdefgh",
                                            "-abcdefg", "abcdefghi", std::string("a\0b", 3)};
    PREDICATE_NAMES t;
    std::vector<std::string> byNumber;  // the model: names by number, and what is known
    std::map<std::string, KNOWN> known;
    std::mt19937 random(7);
    for (int step = 0; step < 20000; ++step) {
        if (step % 2000 == 1999) {  // forget the last names, as a refused block does
            const unsigned keep = static_cast<unsigned>(byNumber.size() / 2);
            t.truncate(keep);
            for (std::size_t n = keep; n < byNumber.size(); ++n) known.erase(byNumber[n]);
            byNumber.resize(keep);
            continue;
        }
        // Now and then a filler name, so that the index regrows under the others.
        const std::string name =
            random() % 4 == 0 ? "f" + std::to_string(step) : names[random() % names.size()];
        const unsigned arity = random() % 3;
        const auto type = static_cast<TYPE>(random() % 3);
        const auto [n, ok] = t.insert(name, arity, type);
        auto it = known.find(name);
        if (it == known.end()) {
            ASSERT_EQ(n, byNumber.size()) << name;
            ASSERT_TRUE(ok);
            byNumber.push_back(name);
            known[name] = {arity, type};
            continue;
        }
        KNOWN& k = it->second;
        bool expected = k.arity == arity;
        if (expected && type != PREDICATE_NAMES::UNSPECIFIED && type != k.type) {
            expected = k.type == PREDICATE_NAMES::UNSPECIFIED;
            if (expected) k.type = type;
        }
        ASSERT_EQ(byNumber[n], name);
        ASSERT_EQ(ok, expected) << name << " at step " << step;
        ASSERT_EQ(t.arity(n), k.arity);
        ASSERT_EQ(t.type(n), k.type);
    }
}

TEST_F(Atoms, UpdateNamesAreNumbersAboveThePredicateTable) {
    UPDATE_NAMES& U = updatePredicates;
    const unsigned p = atom("p", {"a"}).predicate;
    const unsigned b = U.base("p"), nb = U.base("-p");
    const unsigned u = U.update(b, 2);
    EXPECT_TRUE(isUpdateNumber(u) && !isUpdateNumber(p) && !U.made(u));
    U.make(u, UPDATE_NAMES::NoSuffix, 1);
    U.make(U.update(nb, 2), 3, 2);  // -p of another arity than p, with suffix _2
    const unsigned r = U.rejection(4, 7);
    U.make(r, UPDATE_NAMES::NoSuffix, 3);
    EXPECT_TRUE(isRejectionNumber(r) && !isRejectionNumber(u));

    // Written and read back; the predicate table answers for them too.
    EXPECT_EQ(U.text(u), "p_P2");
    EXPECT_EQ(U.text(U.update(nb, 2)), "-p_P2_2");
    EXPECT_EQ(U.plainText(U.update(nb, 2)), "-p_P2");
    EXPECT_EQ(U.text(r), "rej_P4_R7");
    EXPECT_EQ(U.find("p_P2"), std::make_pair(u, true));
    EXPECT_EQ(U.find("rej_P4_R7"), std::make_pair(r, true));
    EXPECT_EQ(atom("p_P2", {"b"}).predicate, u);
    EXPECT_EQ(ATOM::Predicates.arity(u), 1u);
    EXPECT_EQ(ATOM::Predicates.arity(U.update(nb, 2)), 2u);
    EXPECT_EQ(ATOM::Predicates.arity(r), 3u);
    EXPECT_EQ(ATOM::Predicates.family(r), PREDICATE_NAMES::UPDATE_FAMILY);
    EXPECT_EQ(text(atom("p_P2", {"c"})), "p_P2(c)");
    EXPECT_FALSE(ATOM::Predicates.contains("p_P2"));

    // Only the texts of names made, written as they are written.
    for (const char* other :
         {"p_P1", "-p_P2", "p_P02", "p_P2_", "p_P2_0", "-p_P2_02", "p_P+2", "q_P2", "_P2",
          "rej_P4_R6", "rej_P4_R7_0", "rej_P04_R7", "rej_P4_R7x", "p", "rej"})
        EXPECT_FALSE(U.contains(other)) << other;
    EXPECT_TRUE(U.contains("-p_P2_2"));
    EXPECT_EQ(U.size(), 3u);

    // Name order over every name; rejections in the order of their rules.
    std::vector<std::string> names;
    for (const auto& [name, n] : U.inNameOrder()) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"-p_P2_2", "p_P2", "rej_P4_R7"}));
    U.make(U.rejection(4, 2), UPDATE_NAMES::NoSuffix, 0);
    U.make(U.rejection(1, 0), UPDATE_NAMES::NoSuffix, 0);
    names.clear();
    U.forEachRejection([&](unsigned n) { names.push_back(U.text(n)); });
    EXPECT_EQ(names, (std::vector<std::string>{"rej_P4_R7", "rej_P4_R2", "rej_P1_R0"}));
    EXPECT_TRUE(U.bases().contains("rej"));
}

TEST_F(Atoms, ReservedRangesNumberTheirRulesInOrder) {
    UPDATE_NAMES& U = updatePredicates;
    U.reserveRejections(0, 3);
    U.reserveRejections(1, 2);
    EXPECT_EQ(U.rejection(0, 2) + 1, U.rejection(1, 0));
    EXPECT_EQ(U.rejection(1, 1) + 1, U.rejection(1, 2));  // grows the last range
    U.make(U.rejection(1, 2), UPDATE_NAMES::NoSuffix, 0);
    EXPECT_EQ(U.text(U.rejection(1, 2)), "rej_P1_R2");
    EXPECT_TRUE(U.contains("rej_P1_R2"));
}

TEST_F(Atoms, StrongNegationIsAPredicateOfItsOwn) {
    std::vector<IDENT> two{termOf("a"), termOf("b")};
    ATOM p = atom("p", {"a"});
    ATOM np = newNegativeATOM("p", ARGUMENTS(two));
    EXPECT_NE(p.predicate, np.predicate);
    EXPECT_EQ(np.name(), "-p");
    EXPECT_EQ(ATOM::Predicates.arity(np.predicate), 2u);
    EXPECT_EQ(complementName("p"), "-p");
    EXPECT_EQ(complementName("-p"), "p");
}

TEST_F(Atoms, ArityClashEndsTheRunWithItsMessage) {
    EXPECT_EXIT(AsWholeRun([] {
                    atom("p", {"a"}), atom("p", {"a", "b"});
                }),
                ::testing::ExitedWithCode(1),
                "^p, first used with arity 1, now seen with arity 2\\.\n$");
    EXPECT_EXIT(AsWholeRun([] { newNegativeATOM("q", std::nullopt), atom("-q", {"a"}); }),
                ::testing::ExitedWithCode(1),
                "^-q, first used with arity 0, now seen with arity 1\\.\n$");
}

TEST_F(Atoms, KindClashEndsTheRunWithItsMessage) {
    using P = PREDICATE_NAMES;
    EXPECT_EXIT(AsWholeRun([] { atom("e", {}, P::EDB), atom("e", {}, P::IDB); }),
                ::testing::ExitedWithCode(1),
                "^e, first used as EDB predicate, now seen as IDB predicate\\.\n$");
    EXPECT_EXIT(AsWholeRun([] { atom("i", {}, P::IDB), atom("i", {}, P::EDB); }),
                ::testing::ExitedWithCode(1),
                "^i, first used as IDB predicate, now seen as EDB predicate\\.\n$");
    EXPECT_EXIT(AsWholeRun([] {
                    atom("<", {"X", "Y"}, P::IDB);
                }),
                ::testing::ExitedWithCode(1), "^$");
}

// The clash travels to whoever holds the atom: the table is left as it was,
// and the reason comes without the final period.
TEST_F(Atoms, ClashIsThrownWithItsReasonAndLeavesTheTable) {
    atom("p", {"a"});
    const unsigned before = ATOM::Predicates.size();
    try {
        atom("p", {"a", "b"});
        FAIL() << "no conflict";
    } catch (const PREDICATE_CONFLICT& c) {
        EXPECT_EQ(c.reason, "p, first used with arity 1, now seen with arity 2");
        EXPECT_EQ(c.status, 1);
        EXPECT_EQ(c.pause, END_OF_RUN::AT_ONCE);
    }
    EXPECT_EQ(ATOM::Predicates.size(), before);
    EXPECT_EQ(ATOM::Predicates.arity(atom("p", {"b"}).predicate), 1u);
}

TEST_F(Atoms, TextFormsInBothProgramTypes) {
    ATOM empty("e", ARGUMENTS(std::vector<IDENT>()));
    EXPECT_EQ(text(empty), "e");
    EXPECT_EQ(text(atom("p")), "p");
    ATOM np = newNegativeATOM("p", std::nullopt);
    std::vector<IDENT> args{termOf("a")};
    LITERAL l(newNegativeATOM("r", ARGUMENTS(args)), true);
    EXPECT_EQ(text(l), "not -r(a)");
    IDENT x = termOf("X"), three(IDENT::INTEGER, 3);
    std::vector<IDENT> cmp = newIDENTS(&x, &three);
    EXPECT_EQ(text(newBuiltin(LESS, ARGUMENTS(cmp))), "<(X0,3)");
    EXPECT_EQ(text(l, NOTATION::PEXA), "~NEG_r(a)");
    EXPECT_EQ(text(np, NOTATION::PEXA), "NEG_p");
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
    copy.args[4] = termOf("z");
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
    EXPECT_EXIT(AsWholeRun([&] { text(b); }), ::testing::ExitedWithCode(99),
                "An internal error occurred");
}

}  // namespace
