#include "exits.hpp"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <vector>

#include "options.hpp"

namespace {
// Few files at a time: the main program and at most one candidate test.
std::vector<std::string>& temporaryFiles() {
    static std::vector<std::string> files;
    return files;
}
}  // namespace

void RegisterTemporaryFile(const std::string& name) { temporaryFiles().push_back(name); }

void UnregisterTemporaryFile(const std::string& name) {
    auto& files = temporaryFiles();
    files.erase(std::remove(files.begin(), files.end(), name), files.end());
}

void RemoveFile(const std::string& name) { ::unlink(name.c_str()); }

void RemoveTemporaryFiles() {
    for (const std::string& f : temporaryFiles()) RemoveFile(f);
    temporaryFiles().clear();
}

void WaitForReturn() {
    if (!OptionWait) return;
    std::cout << std::endl;
    char line[1024];
    if (!std::fgets(line, sizeof line, stdin)) line[0] = '\0';
}

void SafeExit(int status) {
    std::cout.flush();
    RemoveTemporaryFiles();
    WaitForReturn();
    std::exit(status);
}

void AbortRun(int status) {
    std::cout.flush();
    RemoveTemporaryFiles();
    std::exit(status);
}

void InternalError(const std::string& message) {
    std::cout.flush();
    std::cerr << std::endl
              << "An internal error occurred (" << message << ")." << std::endl
              << "Please contact <maintainers@vok.invalid>!" << std::endl;
    RemoveTemporaryFiles();
    std::exit(99);
}
