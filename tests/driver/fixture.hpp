// Fresh tables and options for every driver test, a capture of a standard
// stream, and a scratch folder for program files.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

#include "input/parser.hpp"
#include "rewriting/auxiliary.hpp"
#include "tests/representation/fixture.hpp"

inline void freshRun(int program = 1) {
    resetTables(program);
    resetAuxiliaryIndex();
    OptionVerbosity = OptionDebug = OptionMinimal = OptionStrict = OptionIntegral = false;
    OptionBrave = OptionCautious = OptionStore = OptionWait = false;
    IsPropositional = true;
    Goal.clear();
}

// Redirects a stream into a string for the lifetime of the capture.
class Capture {
public:
    explicit Capture(std::ostream& stream) : stream_(stream), old_(stream.rdbuf(text_.rdbuf())) {}
    ~Capture() { stream_.rdbuf(old_); }
    std::string text() const { return text_.str(); }

private:
    std::ostringstream text_;
    std::ostream& stream_;
    std::streambuf* old_;
};

// A folder of its own under /tmp, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder() {
        char name[] = "/tmp/vok-driver-test.XXXXXX";
        path_ = ::mkdtemp(name) ? name : "";
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    std::string path() const { return path_; }

private:
    std::string path_;
};

struct Driver : ::testing::Test {
    void SetUp() override { freshRun(); }
    void TearDown() override { freshRun(); }
};
