// The names and lines vok writes are the ones its evaluation programs
// take for vok's: temporary files as mkstemps fills in the template, test
// files made from them, and the declaration lines.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "common/contract.hpp"

TEST(Contract, TestFileMarkGoesBeforeTheExtensionOfTheLastComponent) {
    EXPECT_EQ(TestFileName("/tmp/temp.vok", 3), "/tmp/temp_MM3.vok");
    EXPECT_EQ(TestFileName("/tmp/tempAbC123.vok", 1), "/tmp/tempAbC123_MM1.vok");
    EXPECT_EQ(TestFileName("out", 3), "out_MM3");
    EXPECT_EQ(TestFileName("./out", 1), "./out_MM1");
    EXPECT_EQ(TestFileName("run.d/prog.txt", 1), "run.d/prog_MM1.txt");
    EXPECT_EQ(TestFileName("run.d/prog", 12), "run.d/prog_MM12");
    EXPECT_EQ(TestFileName("a.b.c", 2), "a.b_MM2.c");
}

TEST(Contract, VoksTemporaryFilesAreToldFromTheUsers) {
    for (const char* f : {"/tmp/tempAb3xYz.vok", "tempAb3xYz.vok", "/tmp/tempAb3xYz_MM12.vok"})
        EXPECT_TRUE(IsVokTemporaryFile(f)) << f;
    for (const char* f :
         {"/tmp/out.vok", "/tmp/tempAb3xY.vok", "/tmp/tempAb3xYz_MM.vok", "/tmp/tempAb3xYz.lp",
          "/tmp/tempAb-xYz.vok", "/tmp/tempAb3xYz_x1.vok", "tempAb3xYz.vok/x"})
        EXPECT_FALSE(IsVokTemporaryFile(f)) << f;
}

TEST(Contract, FilesMadeFromTheTemplateAreVoks) {
    for (const std::string directory : {"/tmp", ""}) {
        const std::string pattern = TemporaryFileTemplate(directory);
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        const int fd = ::mkstemps(name.data(), static_cast<int>(TemporaryFileSuffix.size()));
        ASSERT_GE(fd, 0) << pattern;
        ::close(fd);
        const std::string made(name.data());
        ::unlink(made.c_str());
        EXPECT_TRUE(IsVokTemporaryFile(made)) << made;
        EXPECT_TRUE(IsVokTemporaryFile(TestFileName(made, 7))) << made;
        EXPECT_FALSE(IsVokTemporaryFile(TestFileName(made + ".txt", 7))) << made;
    }
}

TEST(Contract, DeclarationLines) {
    EXPECT_EQ(RejectionDeclaration("rej_P1_R0", 2, 3), "%vok:rejection rej_P1_R0 2 3\n");
    EXPECT_EQ(RejectionCountDeclaration(0), "%vok:rejections 0\n");
}

// The outcome line reads back as it was written; a reason keeps to its
// line; anything else is no outcome line.
TEST(Contract, OutcomeLines) {
    EXPECT_EQ(OutcomeLine({SOLVING_END::COMPLETE, {}}), "%vok:outcome complete\n");
    EXPECT_EQ(OutcomeLine({SOLVING_END::LIMITED, "ignored"}), "%vok:outcome limited\n");
    const std::string unfinished = OutcomeLine({SOLVING_END::UNFINISHED, "time\nlimit\r"});
    EXPECT_EQ(unfinished, "%vok:outcome unfinished time limit \n");
    for (SOLVING_END end : {SOLVING_END::COMPLETE, SOLVING_END::LIMITED, SOLVING_END::UNFINISHED}) {
        const std::string line = OutcomeLine({end, "clingo ended with status 65 (error)"});
        for (std::string_view text :
             {std::string_view(line), std::string_view(line).substr(0, line.size() - 1)}) {
            std::optional<SOLVING_OUTCOME> read = ReadOutcomeLine(text);
            ASSERT_TRUE(read) << text;
            EXPECT_EQ(read->end, end);
            EXPECT_EQ(read->reason,
                      end == SOLVING_END::UNFINISHED ? "clingo ended with status 65 (error)" : "");
        }
    }
    for (const char* other :
         {"%vok:outcome", "%vok:outcome ", "%vok:outcome completed", "%vok:outcome limited 3",
          "%vok:rejections 0", "{a}", " %vok:outcome complete"})
        EXPECT_FALSE(ReadOutcomeLine(other)) << other;
}
