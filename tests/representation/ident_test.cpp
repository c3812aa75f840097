#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/builders.hpp"

namespace {

class Names : public ::testing::Test {
protected:
    void SetUp() override { resetProgramTables(PROGRAM_TYPE::ROX); }
};

TEST_F(Names, NumbersDenselyInInsertionOrderAndListsInByteOrder) {
    NAMES t;
    EXPECT_EQ(t.insert("b"), std::make_pair(0u, true));
    EXPECT_EQ(t.insert("a"), std::make_pair(1u, true));
    EXPECT_EQ(t.insert("B"), std::make_pair(2u, true));
    EXPECT_EQ(t.insert("a"), std::make_pair(1u, false));
    EXPECT_EQ(t.count, 3u);
    EXPECT_EQ(t.size(), 3u);
    EXPECT_STREQ(t.name(0), "b");
    EXPECT_STREQ(t.name(2), "B");
    EXPECT_EQ(t.find("a"), std::make_pair(1u, true));
    EXPECT_EQ(t.find("c"), std::make_pair(0u, false));

    std::ostringstream out;
    PrintList(out, t.begin(), t.end(), ", ", NOTATION::INPUT);
    EXPECT_EQ(out.str(), "B, a, b");
}

// Enough names to grow the lookup index many times over: every name keeps
// its number, is found again, and the listing stays in name order.
TEST_F(Names, ManyNamesKeepTheirNumbersThroughGrowth) {
    NAMES t;
    const unsigned n = 5000;
    for (unsigned i = 0; i < n; ++i)
        ASSERT_EQ(t.insert("n" + std::to_string(i * 7919 % n)).first, i);
    for (unsigned i = 0; i < n; ++i) {
        std::string name = "n" + std::to_string(i * 7919 % n);
        ASSERT_EQ(t.find(name), std::make_pair(i, true)) << name;
        ASSERT_EQ(t.insert(name), std::make_pair(i, false)) << name;
        ASSERT_EQ(t.text(i), name);
    }
    EXPECT_FALSE(t.contains("n5000"));
    EXPECT_FALSE(t.contains(""));
    EXPECT_FALSE(t.contains("n"));
    EXPECT_EQ(t.size(), n);
    EXPECT_TRUE(std::is_sorted(t.begin(), t.end(),
                               [](const auto& a, const auto& b) { return a.name < b.name; }));

    // A table moved into another (as the tests' fresh tables are) keeps
    // finding its names.
    NAMES moved;
    moved = std::move(t);
    EXPECT_EQ(moved.find("n0"), std::make_pair(0u, true));
    EXPECT_EQ(moved.insert("fresh"), std::make_pair(n, true));
    EXPECT_EQ(moved.find("fresh"), std::make_pair(n, true));
}

// Truncating forgets the last names inserted, wherever their slots lay:
// the names kept are still found (those that probed past a freed slot
// too), the ones forgotten are not, and inserting them again numbers them
// anew; a walk in name order sees the table as it is.
TEST_F(Names, TruncateForgetsTheLastNamesOnly) {
    NAMES t;
    const unsigned n = 3000, kept = 1200;
    for (unsigned i = 0; i < n; ++i) t.insert("n" + std::to_string(i));
    ASSERT_NE(t.begin(), t.end());  // builds the name order, which must go too
    t.truncate(kept);
    EXPECT_EQ(t.size(), kept);
    EXPECT_EQ(t.count, kept);
    for (unsigned i = 0; i < n; ++i) {
        const std::string name = "n" + std::to_string(i);
        ASSERT_EQ(t.find(name), std::make_pair(i < kept ? i : 0u, i < kept)) << name;
    }
    EXPECT_EQ(std::distance(t.begin(), t.end()), static_cast<std::ptrdiff_t>(kept));
    EXPECT_EQ(t.insert("n2999"), std::make_pair(kept, true));
    EXPECT_EQ(t.insert("n5"), std::make_pair(5u, false));

    // A predicate table forgets arities with the names.
    PREDICATE_NAMES p;
    p.insert("a", 1, PREDICATE_NAMES::UNSPECIFIED);
    p.insert("b", 2, PREDICATE_NAMES::UNSPECIFIED);
    p.truncate(1);
    EXPECT_EQ(p.insert("b", 0, PREDICATE_NAMES::UNSPECIFIED), std::make_pair(1u, true));
    EXPECT_EQ(p.arity(1), 0u);
}

// A name and its complement share their place in the index: both, either
// or neither may be present, in any order of insertion, through growth.
TEST_F(Names, NamesAndComplementsAreFoundApart) {
    EXPECT_EQ(NAMES::hash("-p_P1") ^ NAMES::hash("p_P1"), 1u);
    EXPECT_EQ(NAMES::complementHash(NAMES::hash("q")), NAMES::hash("-q"));
    NAMES t;
    const unsigned n = 3000;
    for (unsigned i = 0; i < n; ++i) {
        const std::string name = "p" + std::to_string(i);
        if (i % 3 == 0) t.insert("-" + name);
        t.insert(name);
        if (i % 3 == 1) t.insert("-" + name);
    }
    t.insert("-");
    t.insert("--p0");
    for (unsigned i = 0; i < n; ++i) {
        const std::string name = "p" + std::to_string(i);
        ASSERT_TRUE(t.contains(name)) << name;
        ASSERT_EQ(t.text(t.find(name).first), name);
        const auto [number, found] = t.find("-" + name);
        ASSERT_EQ(found, i % 3 != 2) << name;
        if (found) {
            ASSERT_EQ(t.text(number), "-" + name);
        }
    }
    EXPECT_TRUE(t.contains("-"));
    EXPECT_TRUE(t.contains("--p0"));
    EXPECT_FALSE(t.contains(""));
    EXPECT_FALSE(t.contains("--p1"));
}

TEST_F(Names, OrdersBytesAsUnsignedAndPrefixesFirst) {
    NAMES t;
    t.insert("\xe9t\xe9");
    t.insert("ab");
    t.insert("a");
    t.insert("-p");
    std::ostringstream out;
    PrintList(out, t.begin(), t.end(), " ", NOTATION::INPUT);
    EXPECT_EQ(out.str(), "-p a ab \xe9t\xe9");
}

// The name order is built when a walk starts; names inserted during a walk
// are met when they sort after the current name, and a walk started inside
// another (which rebuilds the order) leaves the outer one on its course.
TEST_F(Names, WalksSeeNamesInsertedBehindThemButNotBefore) {
    NAMES t;
    for (const char* n : {"m", "c", "x"}) t.insert(n);
    std::string seen, inner;
    for (auto it = t.begin(); it != t.end(); ++it) {
        seen += std::string(it->name) + " ";
        if (it->name == "c") {
            t.insert("a");  // before: not met
            t.insert("d");  // between c and m
            t.insert("z");  // after everything
            for (auto i = t.begin(); i != t.end(); ++i) inner += std::string(i->name) + " ";
        }
        if (it->name == "d") t.insert("e");  // met next, before m
    }
    EXPECT_EQ(seen, "c d e m x z ");
    EXPECT_EQ(inner, "a c d m x z ");
    std::ostringstream out;
    PrintList(out, t.begin(), t.end(), ",", NOTATION::INPUT);
    EXPECT_EQ(out.str(), "a,c,d,e,m,x,z");
    EXPECT_EQ(t.text(t.find("e").first), "e");
}

// A walk remembers where it stands among the names inserted during it; that
// is forgotten when another walk orders the table anew, also when as many
// names are inserted afterwards as there were before.
TEST_F(Names, WalksGoOnAcrossAnotherWalkAndManyInsertedNames) {
    NAMES t;
    for (const char* n : {"a", "c", "m"}) t.insert(n);
    std::string seen;
    for (auto it = t.begin(); it != t.end(); ++it) {
        seen += std::string(it->name) + " ";
        if (it->name == "a") t.insert("b");  // met next
        if (it->name == "b") {
            ASSERT_NE(t.begin(), t.end());  // the table ordered anew, b among the rest
            t.insert("bb");                 // as many inserted names as before, met next
        }
        if (it->name == "c")
            for (int i = 0; i < 100; ++i) t.insert("d" + std::to_string(100 + i));
    }
    std::string expected = "a b bb c ";
    for (int i = 0; i < 100; ++i) expected += "d" + std::to_string(100 + i) + " ";
    EXPECT_EQ(seen, expected + "m ");
}

// Texts are compared whole: long shared beginnings, a NUL inside a text,
// texts on either side of the longest one kept in its entry, the empty text
// and texts longer than the blocks they are stored in.
TEST_F(Names, LongAndAlikeTextsKeepApartAndInOrder) {
    NAMES t;
    const std::string shared(20, 'r');
    const std::string huge(100000, 'h');
    const std::string withNul("a\0b", 3);
    // Up to 8 bytes without a NUL a name is also compared in its index slot.
    const std::vector<std::string> names = {
        shared + "b",         shared + "a",         shared, huge,       withNul,   "a",
        std::string(15, 'f'), std::string(16, 'f'), "",     "abcdefgh", "abcdefg", "abcdefghi",
        std::string("a\0", 2)};
    for (const std::string& n : names) t.insert(n);
    for (unsigned n = 0; n < names.size(); ++n) {
        EXPECT_EQ(t.insert(names[n]), std::make_pair(n, false));
        EXPECT_EQ(t.text(n), names[n]);
        EXPECT_STREQ(t.name(n), names[n].c_str());
    }
    std::vector<std::string> order;
    for (const NAMES_ITEM& item : t) order.emplace_back(item.name);
    EXPECT_EQ(order, (std::vector<std::string>{"", "a", std::string("a\0", 2), withNul, "abcdefg",
                                               "abcdefgh", "abcdefghi", std::string(15, 'f'),
                                               std::string(16, 'f'), huge, shared, shared + "a",
                                               shared + "b"}));
    EXPECT_FALSE(t.contains("abcdefgi") || t.contains(std::string("abcdefg\0", 8)) ||
                 t.contains("b"));
}

TEST_F(Names, PexaListingWritesStrongNegationAsPrefix) {
    NAMES t;
    t.insert("-q");
    t.insert("p");
    std::ostringstream out;
    PrintList(out, t.begin(), t.end(), ", ", NOTATION::PEXA);
    EXPECT_EQ(out.str(), "NEG_q, p");
}

TEST_F(Names, FirstCharacterDecidesVariableOrConstant) {
    LOCAL_VARIABLES v;
    IDENT y = newIDENT("Y", v), z = newIDENT("Z", v), y2 = newIDENT("Y", v);
    EXPECT_EQ(y, IDENT(IDENT::VARIABLE, 0));
    EXPECT_EQ(z, IDENT(IDENT::VARIABLE, 1));
    EXPECT_EQ(y2, y);
    for (const char* c : {"abc", "_abc", "1abc", "", "\"Q\""})
        EXPECT_EQ(newIDENT(c, v).kind(), IDENT::CONSTANT) << c;
    EXPECT_EQ(newIDENT("abc", v).value(), 0);
    EXPECT_EQ(newIDENT("abc", v).value(), 0);
    EXPECT_EQ(IDENT::Constants.size(), 5u);
    EXPECT_EQ(v.count, 2u);
    // Another statement's table numbers its variables from 0, whatever the
    // first one holds.
    LOCAL_VARIABLES other;
    EXPECT_EQ(newIDENT("Z", other), IDENT(IDENT::VARIABLE, 0));
    EXPECT_EQ(newIDENT("Y", v), y);
    v.reset();
    EXPECT_EQ(newIDENT("Z", v), IDENT(IDENT::VARIABLE, 0));
}

TEST_F(Names, TermsKeepKindAndValueAtTheEndsOfTheirRanges) {
    struct CASE {
        int kind, value;
    } cases[] = {{IDENT::INTEGER, 0},
                 {IDENT::INTEGER, -1},
                 {IDENT::INTEGER, IDENT::MinInteger},
                 {IDENT::INTEGER, IDENT::MaxInteger},
                 {IDENT::INTEGER, 999999999},
                 {IDENT::VARIABLE, 0},
                 {IDENT::VARIABLE, IDENT::MaxNumber},
                 {IDENT::CONSTANT, 0},
                 {IDENT::CONSTANT, IDENT::MaxNumber}};
    for (const CASE& c : cases) {
        const IDENT t(c.kind, c.value);
        EXPECT_EQ(t.kind(), c.kind) << c.kind << " " << c.value;
        EXPECT_EQ(t.value(), c.value) << c.kind << " " << c.value;
        EXPECT_EQ(t.isVariable(), c.kind == IDENT::VARIABLE);
        for (const CASE& d : cases) {
            const IDENT u(d.kind, d.value);
            EXPECT_EQ(t == u, c.kind == d.kind && c.value == d.value);
            const bool less = c.kind != d.kind ? c.kind < d.kind : c.value < d.value;
            EXPECT_EQ(t < u, less) << c.kind << " " << c.value << " " << d.kind << " " << d.value;
        }
    }
    EXPECT_EQ(IDENT().kind(), IDENT::NONE);
    EXPECT_FALSE(IDENT() < IDENT(IDENT::NONE, 3));
    EXPECT_THROW(checkedNumber(IDENT::MaxNumber + 1u), std::length_error);
    EXPECT_EQ(sizeof(ATOM), 20u);
    EXPECT_EQ(sizeof(LITERAL), 24u);
}

TEST_F(Names, TermEqualityAndText) {
    EXPECT_NE(IDENT(IDENT::CONSTANT, 0), IDENT(IDENT::VARIABLE, 0));
    EXPECT_EQ(IDENT(), IDENT(IDENT::NONE, 7));
    IDENT c = termOf("a");
    IDENT first(IDENT::INTEGER, -3);
    std::vector<IDENT> terms = newIDENTS(&first, nullptr, &c);
    ASSERT_EQ(terms.size(), 2u);
    terms.push_back(IDENT());
    terms.push_back(IDENT(IDENT::VARIABLE, 12));
    std::ostringstream out;
    PrintList(out, terms, ",");
    EXPECT_EQ(out.str(), "-3,a,,X12");
}

}  // namespace
