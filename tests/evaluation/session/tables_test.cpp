// The session's literal table finds each text as the one literal it made,
// across the index's regrowth and with the texts kept in place, and links
// complements only once both exist; signatures join their complements in
// either order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "evaluation/session/tables.hpp"

using namespace vok::evaluation::engine;

TEST(SessionLiterals, EachTextIsOneLiteralThroughRegrowth) {
    LITERALS literals;
    EXPECT_EQ(literals.find("p(a)"), None);  // no slots yet
    std::vector<std::string> texts;
    std::vector<const char*> kept;
    // Far beyond the first 1024 slots, so that the index grows several times.
    for (int i = 0; i < 5000; ++i) {
        texts.push_back((i % 2 ? "-p(c" : "q(\"x y\",c") + std::to_string(i) + ")");
        const std::uint32_t id = literals.intern(texts.back(), static_cast<std::uint32_t>(i % 7));
        ASSERT_EQ(id, static_cast<std::uint32_t>(i));
        kept.push_back(literals[id].text.data());
    }
    for (std::uint32_t id = 0; id < texts.size(); ++id) {
        ASSERT_EQ(literals.find(texts[id]), id);
        ASSERT_EQ(literals.intern(texts[id], 99), id) << "a second literal for " << texts[id];
        // The text stays where it was made, whatever came after it.
        ASSERT_EQ(literals[id].text.data(), kept[id]);
        ASSERT_EQ(literals[id].text, texts[id]);
        ASSERT_EQ(literals[id].signature, id % 7);
    }
    EXPECT_EQ(literals.size(), texts.size());
    EXPECT_EQ(literals.find("p(c1)"), None);
    EXPECT_EQ(literals.find("-p(c1"), None);
    EXPECT_EQ(literals.find(""), None);
}

TEST(SessionLiterals, ComplementsAreLinkedOnceBothExist) {
    LITERALS literals;
    const std::uint32_t p = literals.intern("p(a)", 0);
    EXPECT_EQ(literals.knownComplement(p), None);
    EXPECT_EQ(literals.find("-p(a)"), None) << "looking the complement up made it";
    const std::uint32_t q = literals.intern("-q", 1);
    const std::uint32_t notP = literals.intern("-p(a)", 2);
    EXPECT_EQ(literals.knownComplement(notP), p);
    EXPECT_EQ(literals[p].complement, notP);
    EXPECT_EQ(literals.knownComplement(p), notP);
    EXPECT_EQ(literals.knownComplement(q), None);
    const std::uint32_t plainQ = literals.intern("q", 3);
    EXPECT_EQ(literals.knownComplement(plainQ), q);
    EXPECT_EQ(literals.knownComplement(q), plainQ);
}

TEST(SessionSignatures, KeyedByNameArityAndSignAndJoinedToTheirComplement) {
    SIGNATURES signatures;
    auto sign = [](bool negative, const std::string& name, std::uint32_t arity) {
        return SIGN{signKey(negative, name, arity), name, arity, negative};
    };
    EXPECT_EQ(signKey(true, "p", 2), "-p/2");
    const std::uint32_t notP = signatures.of(sign(true, "p", 2));
    const std::uint32_t p1 = signatures.of(sign(false, "p", 1));
    EXPECT_NE(p1, notP);
    EXPECT_EQ(signatures[notP].complement, None);
    EXPECT_EQ(signatures[p1].complement, None) << "joined across arities";
    const std::uint32_t p = signatures.of(sign(false, "p", 2));
    EXPECT_EQ(signatures.of(sign(true, "p", 2)), notP);
    EXPECT_EQ(signatures[p].complement, notP);
    EXPECT_EQ(signatures[notP].complement, p);
    EXPECT_TRUE(signatures[notP].negative);
    EXPECT_EQ(signatures.size(), 3u);
}
