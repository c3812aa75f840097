// Feeds files to a fuzz target's entry point, one call per file, the way
// libFuzzer replays a corpus, so that the committed seeds and regression
// inputs run in an ordinary build (any compiler, no libFuzzer). A target's
// checks trap and its faults crash, either of which ends the process.
//   replay-TARGET PATH...   (a folder stands for the files in it)
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
// Only some targets have an initialisation of their own.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

namespace fs = std::filesystem;

// The input being replayed, named when it ends the process.
std::string current;

void nameInputAndDie(int sig) {
    const char head[] = "the process ended while replaying ";
    (void)!::write(2, head, sizeof head - 1);
    (void)!::write(2, current.data(), current.size());
    (void)!::write(2, "\n", 1);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

// The regular files named, those in a named folder in name order.
std::vector<fs::path> inputsOf(int argc, char** argv) {
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        const fs::path path = argv[i];
        if (!fs::is_directory(path)) {
            files.push_back(path);
            continue;
        }
        std::vector<fs::path> inFolder;
        for (const auto& entry : fs::directory_iterator(path))
            if (entry.is_regular_file()) inFolder.push_back(entry.path());
        std::sort(inFolder.begin(), inFolder.end());
        files.insert(files.end(), inFolder.begin(), inFolder.end());
    }
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<fs::path> files = inputsOf(argc, argv);
    // A target may silence the C++ standard streams; messages go through
    // C's standard error, which it leaves alone.
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    for (int sig : {SIGILL, SIGSEGV, SIGABRT, SIGBUS, SIGFPE}) std::signal(sig, nameInputAndDie);
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", file.c_str());
            return 1;
        }
        current = file.string();
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::fprintf(stderr, "%zu inputs replayed\n", files.size());
    return files.empty() ? 1 : 0;
}
