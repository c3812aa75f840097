#include <gtest/gtest.h>

#include <string>

#include "answer_sets.hpp"
#include "names.hpp"

using namespace vok::evaluation;

TEST(Names, EncodeOnlyWhatClingoWouldReadDifferently) {
    using K = Name::Kind;
    EXPECT_EQ(encode_predicate({K::Identifier, "rej_P0_R0"}), "rej_P0_R0");
    EXPECT_EQ(encode_predicate({K::Identifier, "P"}), "u'P");
    EXPECT_EQ(encode_predicate({K::Identifier, "NEG_b"}), "u'NEG_b");
    EXPECT_EQ(encode_predicate({K::Identifier, "not"}), "u'not");
    EXPECT_EQ(encode_predicate({K::Identifier, "nota"}), "nota");
    EXPECT_EQ(encode_predicate({K::Quoted, "\"my pred\""}), "s''22my'20pred'22");
    EXPECT_EQ(encode_predicate({K::Quoted, "\"a b\"_P1"}), "s''22a'20b'22_P1");
}

TEST(Names, DecodeBackToTheFileForm) {
    for (const Name& n :
         {Name{Name::Kind::Identifier, "p_1"}, Name{Name::Kind::Identifier, "Q"},
          Name{Name::Kind::Identifier, "not"}, Name{Name::Kind::Quoted, "\"a 'b', c%\\ \xc3\xa9\""},
          Name{Name::Kind::Quoted, "\"u'x\"_P0"}, Name{Name::Kind::Quoted, "\"\""}}) {
        EXPECT_EQ(decode_predicate(encode_predicate(n)), n.text) << n.text;
    }
    // A quoted name and an identifier of the same letters stay apart.
    EXPECT_NE(encode_predicate({Name::Kind::Quoted, "\"P\""}),
              encode_predicate({Name::Kind::Identifier, "P"}));
    // Names clingo invented are shown as they are.
    EXPECT_EQ(decode_predicate("s'bad'zz"), "s'bad'zz");
}

TEST(AnswerSetLine, IsSortedDecodedAndSeparatedByCommaBlank) {
    EXPECT_EQ(format_answer_set(""), "{}");
    EXPECT_EQ(format_answer_set("r q -u'P(a) s''22x'20y'22(b,-3) -s''22x'22_P0"),
              "{\"x y\"(b,-3), -\"x\"_P0, -P(a), q, r}");
    // Strings: clingo's escapes undone, blanks and commas kept.
    EXPECT_EQ(format_answer_set("p(\"a b, c\") p(\"x\\\\y\\\"z\")"),
              "{p(\"a b, c\"), p(\"x\\y\"z\")}");
    EXPECT_EQ(format_answer_set("p(f(a,\"b c\"),(1,2),#sup)"), "{p(f(a,\"b c\"),(1,2),#sup)}");
}

TEST(AnswerSetLine, RefusesTextThatIsNoListOfAtoms) {
    EXPECT_THROW(format_answer_set("p(\"open"), AnswerSetFormatError);
    EXPECT_THROW(format_answer_set("p(a"), AnswerSetFormatError);
    EXPECT_THROW(format_answer_set("p  q"), AnswerSetFormatError);
    EXPECT_THROW(format_answer_set("SATISFIABLE!"), AnswerSetFormatError);
    EXPECT_THROW(format_answer_set("p(-)"), AnswerSetFormatError);
}
