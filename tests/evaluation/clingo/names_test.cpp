#include <gtest/gtest.h>

#include "evaluation/clingo/names.hpp"

using namespace vok::evaluation;

TEST(ClingoNames, EncodeOnlyWhatClingoWouldReadDifferently) {
    using K = NAME::KIND;
    EXPECT_EQ(encodePredicate({K::IDENTIFIER, "rej_P0_R0"}), "rej_P0_R0");
    EXPECT_EQ(encodePredicate({K::IDENTIFIER, "P"}), "u'P");
    EXPECT_EQ(encodePredicate({K::IDENTIFIER, "NEG_b"}), "u'NEG_b");
    EXPECT_EQ(encodePredicate({K::IDENTIFIER, "not"}), "u'not");
    EXPECT_EQ(encodePredicate({K::IDENTIFIER, "nota"}), "nota");
    EXPECT_EQ(encodePredicate({K::QUOTED, "\"my pred\""}), "s''22my'20pred'22");
    EXPECT_EQ(encodePredicate({K::QUOTED, "\"a b\"_P1"}), "s''22a'20b'22_P1");
}

TEST(ClingoNames, DecodeBackToTheFileForm) {
    for (const NAME& n :
         {NAME{NAME::KIND::IDENTIFIER, "p_1"}, NAME{NAME::KIND::IDENTIFIER, "Q"},
          NAME{NAME::KIND::IDENTIFIER, "not"}, NAME{NAME::KIND::QUOTED, "\"a 'b', c%\\ \xc3\xa9\""},
          NAME{NAME::KIND::QUOTED, "\"u'x\"_P0"}, NAME{NAME::KIND::QUOTED, "\"\""}}) {
        EXPECT_EQ(decodePredicate(encodePredicate(n)), n.text) << n.text;
    }
    // A quoted name and an identifier of the same letters stay apart.
    EXPECT_NE(encodePredicate({NAME::KIND::QUOTED, "\"P\""}),
              encodePredicate({NAME::KIND::IDENTIFIER, "P"}));
    // Names clingo invented are shown as they are.
    EXPECT_EQ(decodePredicate("s'bad'zz"), "s'bad'zz");
}
