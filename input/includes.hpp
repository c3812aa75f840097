// #include "file".: the scanner reads the named file's text where the
// directive stands, as if it were written there; diagnostics name the
// included file and its lines. A parse that may follow includes holds an
// INCLUDES for its duration; without one (a session's blocks, the fuzz
// harness) #include is refused.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "input/parser.hpp"

// Files included inside one another at most, so that a chain of includes
// cannot exhaust the open files or the memory.
inline constexpr std::size_t MaxIncludeDepth = 32;

// One file being read through #include, and where the including text
// resumes after it.
struct INCLUDED_FILE {
    std::string name;                // the name diagnostics give
    std::filesystem::path identity;  // its canonical path, for cycles
    FILE* stream = nullptr;
    const char* outerFile = "";
    unsigned outerLine = 0;
    unsigned outerNextColumn = 0;
};

class INCLUDES {
public:
    // Follows the includes of the input parser reads (parser.file: empty
    // for standard input, whose includes are relative to the working
    // directory) until destroyed.
    explicit INCLUDES(PARSER& parser);
    // Closes the files a parse that stopped early left open and gives the
    // scanner back the including input's place.
    ~INCLUDES();
    INCLUDES(const INCLUDES&) = delete;
    INCLUDES& operator=(const INCLUDES&) = delete;

    // Opens the file a directive in the current input names and makes it
    // the current input; its stream, or null with the reason in refusal.
    FILE* enter(std::string_view file, std::string& refusal);
    // Closes the innermost included file and makes the including input
    // current again; false when none is open.
    bool leave();
    bool empty() const { return open_.empty(); }

private:
    PARSER& parser_;
    const char* rootFile_;
    std::filesystem::path rootIdentity_;
    // Behind pointers: parser.file points into a name while it is read.
    std::vector<std::unique_ptr<INCLUDED_FILE>> open_;
};

// The scanner's side of INCLUDES: makes the stream the text it reads
// next, and goes back to the including text's buffer.
void ScanIncludedStream(FILE* stream);
void EndIncludedStream();

// The name a directive "#include "file"." written in includingFile (empty:
// standard input) means: relative to the including file's folder.
std::string IncludedName(const char* includingFile, std::string_view file);
