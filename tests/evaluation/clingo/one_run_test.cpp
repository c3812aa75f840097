#include <gtest/gtest.h>

#include <string>

#include "evaluation/clingo/one_run.hpp"

using namespace vok::evaluation;

TEST(RejectionList, BecomesScriptDataInClingosNames) {
    REJECTION_LIST list;
    list.closed = true;
    list.predicates = {{"rej_P0_R0", 1, 1, 1}, {"Rej", 0, 3, 2}};
    const CLINGO_TEXT plain;
    const std::string script = OneRunScript(list, {}, plain, true, 5);
    EXPECT_TRUE(script.starts_with(
        "#script (lua)\nlocal rejections = [==[\nrej_P0_R0 1 1\nu'Rej 0 3\n]==]\n"
        "local strict = true\nlocal limit = 5\n"));
    EXPECT_TRUE(script.ends_with("end\n#end.\n"));
    EXPECT_NE(script.find(std::string(OneRunClosingLine)), std::string::npos);
    EXPECT_NE(
        OneRunScript(list, {}, plain, false, 0).find("local strict = false\nlocal limit = 0\n"),
        std::string::npos);
}
