// Fresh tables and options for every driver test, and a scratch folder for
// program files.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

#include "driver/run_state.hpp"
#include "input/parser.hpp"
#include "tests/support/builders.hpp"
#include "tests/support/capture.hpp"
#include "tests/support/rewriting/fresh_run.hpp"

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
    RUN_STATE state;  // the sequence and translation of the test's run

    void SetUp() override { freshRun(); }
    void TearDown() override { freshRun(); }
};
