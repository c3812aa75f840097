#include "input/includes.hpp"

#include <cerrno>
#include <cstring>
#include <system_error>

#include "common/chunks.hpp"
#include "input/actions.hpp"
#include "input/parser.hpp"

namespace {

// A memory request that fails ends the run, as everywhere in vok.
std::filesystem::path identityOf(const std::string& name) {
    std::error_code failure;
    std::filesystem::path identity = std::filesystem::weakly_canonical(name, failure);
    if (failure == std::errc::not_enough_memory) MemoryRanOut();
    return failure ? std::filesystem::path(name) : identity;
}

}  // namespace

std::string IncludedName(const char* includingFile, std::string_view file) {
    const std::filesystem::path named(file);
    if (named.is_absolute() || !includingFile || !*includingFile) return std::string(file);
    const std::filesystem::path folder = std::filesystem::path(includingFile).parent_path();
    return (folder / named).string();
}

INCLUDES::INCLUDES(PARSER& parser) : parser_(parser), rootFile_(parser.file ? parser.file : "") {
    parser_.includes = this;
}

INCLUDES::~INCLUDES() {
    while (leave()) EndIncludedStream();
    parser_.includes = nullptr;
}

FILE* INCLUDES::enter(std::string_view file, std::string& refusal) {
    const std::string quoted = "\"" + std::string(file) + "\"";
    if (file.empty()) {
        refusal = "#include names no file; write #include \"file\".";
        return nullptr;
    }
    if (open_.size() >= MaxIncludeDepth) {
        refusal = "#include " + quoted + " nests includes deeper than " +
                  std::to_string(MaxIncludeDepth) + " files";
        return nullptr;
    }
    // Found only at the first directive, so that an input without any
    // costs nothing.
    if (open_.empty() && *rootFile_) rootIdentity_ = identityOf(rootFile_);
    auto included = std::make_unique<INCLUDED_FILE>();
    included->name = IncludedName(parser_.file, file);
    included->identity = identityOf(included->name);
    bool cycle = !rootIdentity_.empty() && included->identity == rootIdentity_;
    for (const auto& outer : open_) cycle = cycle || outer->identity == included->identity;
    if (cycle) {
        refusal = "#include " + quoted + " includes a file that is being read already";
        return nullptr;
    }
    included->stream = std::fopen(included->name.c_str(), "r");
    if (!included->stream) {
        const int reason = errno;
        if (reason == ENOMEM) MemoryRanOut();
        refusal = "#include " + quoted + " cannot open " + included->name + " (" +
                  std::strerror(reason) + ")";
        return nullptr;
    }
    // A folder opens but cannot be read, which the scanner could only
    // answer by ending the run.
    std::error_code failure;
    if (std::filesystem::is_directory(included->name, failure)) {
        std::fclose(included->stream);
        refusal = "#include " + quoted + " names a folder, " + included->name + ", not a file";
        return nullptr;
    }
    std::setvbuf(included->stream, nullptr, _IONBF, 0);
    included->outerFile = parser_.file;
    included->outerLine = parser_.line;
    included->outerNextColumn = parser_.nextColumn;
    parser_.file = included->name.c_str();
    parser_.line = 1;
    parser_.nextColumn = 1;
    open_.push_back(std::move(included));
    return open_.back()->stream;
}

bool INCLUDES::leave() {
    if (open_.empty()) return false;
    const INCLUDED_FILE& innermost = *open_.back();
    std::fclose(innermost.stream);
    parser_.file = innermost.outerFile;
    parser_.line = innermost.outerLine;
    parser_.nextColumn = innermost.outerNextColumn;
    open_.pop_back();
    return true;
}
