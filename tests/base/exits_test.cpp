// The one place where a run ends (RunToEnd): each kind of end with its
// status, its messages, the -wait pause where it applies, and what every
// end clears.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "base/exits.hpp"

namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class Ends : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("vok-exits-" + std::to_string(::getpid()));
    fs::path out = dir / "out";
    fs::path file = dir / "temporary.vok";

    void SetUp() override {
        fs::create_directories(dir);
        std::ofstream(file) << "p.\n";
        std::ofstream(dir / "in") << "\n";
    }
    void TearDown() override { fs::remove_all(dir); }

    // In the process that ends: standard output to a file, a Return
    // waiting on standard input, the temporary file registered and a
    // writer that finishes its output at the end.
    bool wait = false;  // -wait, read at the end of the run

    void prepare(bool wait) {
        if (!std::freopen(out.c_str(), "w", stdout) ||
            !std::freopen((dir / "in").c_str(), "r", stdin))
            std::_Exit(2);
        this->wait = wait;
        ReserveTemporaryFile();
        RegisterTemporaryFile(file);
        AtOutputEnd([] { std::cout << "closed\n"; });
        std::cout << "result\n";
    }
};

TEST_F(Ends, ANormalEndPausesWithWaitAndClearsEverything) {
    EXPECT_EXIT(RunToEnd(
                    [&] {
                        prepare(true);
                        return 0;
                    },
                    wait),
                ::testing::ExitedWithCode(0), "^$");
    // The pause's empty line comes before what the writers finish.
    EXPECT_EQ(contents(out), "result\n\nclosed\n");
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(Ends, AStopAfterThePauseKeepsItsStatus) {
    EXPECT_EXIT(RunToEnd(
                    [&]() -> int {
                        prepare(true);
                        throw END_OF_RUN{3};
                    },
                    wait),
                ::testing::ExitedWithCode(3), "^$");
    EXPECT_EQ(contents(out), "result\n\nclosed\n");
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(Ends, AStopAtOnceSkipsThePauseAndSaysItsLastWords) {
    EXPECT_EXIT(RunToEnd(
                    [&]() -> int {
                        prepare(true);
                        throw END_OF_RUN{1, END_OF_RUN::AT_ONCE, "p, seen twice."};
                    },
                    wait),
                ::testing::ExitedWithCode(1), "^p, seen twice\\.\n$");
    EXPECT_EQ(contents(out), "result\nclosed\n");
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(Ends, InternalErrorsEndWith99AndNoPause) {
    const char* message =
        "^\nAn internal error occurred \\(out of memory\\)\\.\n"
        "Please contact <maintainers@vok.invalid>!\n$";
    EXPECT_EXIT(RunToEnd(
                    [&]() -> int {
                        prepare(true);
                        throw std::bad_alloc();
                    },
                    wait),
                ::testing::ExitedWithCode(99), message);
    EXPECT_EQ(contents(out), "result\nclosed\n");
    EXPECT_FALSE(fs::exists(file));
    // A table beyond its limit ends the run as memory running out does,
    // not as an uncaught exception.
    EXPECT_EXIT(RunToEnd([]() -> int { throw std::length_error("too many names"); }),
                ::testing::ExitedWithCode(99), message);
    EXPECT_EXIT(RunToEnd([]() -> int { throw INTERNAL_ERROR{"a bug"}; }),
                ::testing::ExitedWithCode(99), "An internal error occurred \\(a bug\\)\\.");
}

// Under the sanitizers an allocation this large is reported, not failed.
#if defined(__SANITIZE_ADDRESS__)
#define VOK_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VOK_SANITIZED 1
#endif
#endif

#ifndef VOK_SANITIZED
TEST_F(Ends, AFailedMemoryRequestEndsTheRunAsAnInternalError) {
    EXPECT_EXIT(RunToEnd(
                    [&] {
                        prepare(true);
                        EndRunWhenMemoryRunsOut();
                        const std::string huge(std::size_t(1) << 62, 'x');
                        return static_cast<int>(huge.size());
                    },
                    wait),
                ::testing::ExitedWithCode(99), "An internal error occurred \\(out of memory\\)");
    EXPECT_EQ(contents(out), "result\nclosed\n");
    EXPECT_FALSE(fs::exists(file));
}
#endif

TEST_F(Ends, OutputThatCannotBeWrittenIsNoSuccess) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    EXPECT_EXIT(RunToEnd([] {
                    if (!std::freopen("/dev/full", "w", stdout)) std::_Exit(2);
                    std::cout << "result\n";
                    return 0;
                }),
                ::testing::ExitedWithCode(1), "^Could not write to standard output\\.\n$");
}

}  // namespace
