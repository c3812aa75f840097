// What a piece of code writes to a standard stream, as a string.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <sstream>
#include <string>

// Runs f and returns what it wrote to standard error (the C++ stream and
// the C one alike).
template <class F>
std::string stderrOf(F&& f) {
    ::testing::internal::CaptureStderr();
    f();
    return ::testing::internal::GetCapturedStderr();
}

// Redirects a C++ stream into a string for the lifetime of the capture.
class Capture {
public:
    explicit Capture(std::ostream& stream) : stream_(stream), old_(stream.rdbuf(text_.rdbuf())) {}
    ~Capture() { stream_.rdbuf(old_); }
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;
    std::string text() const { return text_.str(); }

private:
    std::ostringstream text_;
    std::ostream& stream_;
    std::streambuf* old_;
};
