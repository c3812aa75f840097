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
