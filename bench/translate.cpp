// Prints the clingo text that rox-clingo would hand to clingo for a rox
// program file, so that the benchmark can time clingo's grounding of the
// very program vok wrote.
//
//   vok-translate [-N=<n>] FILE
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "reader.hpp"
#include "translate.hpp"

int main(int argc, char** argv) {
    std::optional<std::int64_t> maxint;
    int first = 1;
    if (argc > 1 && std::string(argv[1]).starts_with("-N=")) {
        maxint = std::strtoll(argv[1] + 3, nullptr, 10);
        first = 2;
    }
    if (argc != first + 1) {
        std::fprintf(stderr, "usage: %s [-N=<n>] FILE\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[first], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[first]);
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    try {
        std::string program =
            vok::evaluation::Translate(vok::evaluation::ReadRox(text.str()), maxint);
        std::fwrite(program.data(), 1, program.size(), stdout);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
        return 1;
    }
    return std::ferror(stdout) ? 1 : 0;
}
