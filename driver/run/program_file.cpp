#include "program_file.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <sstream>
#include <string_view>
#include <vector>

#include "base/exits.hpp"
#include "common/chunks.hpp"
#include "common/contract.hpp"
#include "driver/run/one_run.hpp"

namespace {

// Rules and constraints go to the file this many at a time: each batch
// is formatted in a string stream and written at once, so that the text of
// a large program never stands in memory whole.
constexpr std::size_t Batch = 1024;

// The count items that print(text, first, last) prints, separated by sep,
// without a separator after the last.
template <class PRINT>
void writeItems(std::FILE* out, std::size_t count, const char* sep, PRINT&& print) {
    std::ostringstream text;
    for (std::size_t at = 0; at < count; at += Batch) {
        if (at > 0) text << sep;
        print(text, at, at + std::min(Batch, count - at));
        const std::string_view piece = text.view();
        std::fwrite(piece.data(), 1, piece.size(), out);
        text.str("");
    }
}

template <class ITEM>
void writeList(std::FILE* out, const std::vector<ITEM>& items, const char* sep, NOTATION notation) {
    writeItems(out, items.size(), sep,
               [&](std::ostream& text, std::size_t first, std::size_t last) {
                   PrintList(text, items.data() + first, items.data() + last, sep, notation);
               });
}

// The translated program's rules, with the rejection and inertia rules in
// their places.
struct TRANSLATED_RULES {
    const TRANSLATION& translation;
};

void writeList(std::FILE* out, TRANSLATED_RULES rules, const char* sep, NOTATION notation) {
    writeItems(out, rules.translation.ruleCount(), sep,
               [&](std::ostream& text, std::size_t first, std::size_t last) {
                   PrintTranslatedRules(text, rules.translation, first, last, sep, notation);
               });
}

[[noreturn]] void cannotOpen(const std::string& file) {
    std::cerr << "Could not open file " << file << ". Aborting." << std::endl;
    throw END_OF_RUN{1};
}

[[noreturn]] void cannotWrite(const std::string& file) {
    std::cerr << "Could not write file " << file << ". Aborting." << std::endl;
    throw END_OF_RUN{1};
}

// Closes a stream when a failure unwinds past it; on a normal end the
// stream stays open for its owner to close.
struct CLOSED_ON_UNWIND {
    std::FILE* stream;
    const int failures = std::uncaught_exceptions();
    ~CLOSED_ON_UNWIND() {
        if (std::uncaught_exceptions() > failures) std::fclose(stream);
    }
};

// Temporary files already exist (created exclusively); they are reopened
// without following links. A user's file is created or truncated.
int openProgramFile(const std::string& file) {
    if (IsTemporaryFile(file)) return ::open(file.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW);
    return ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0664);
}

// The rules, then with integral the minimality rules and the extra rules,
// then the constraints, then with integral the minimality constraints; in
// the pexa form inside one list.
void writeProgram(std::FILE* out, const TRANSLATION& t, bool integral, const RULES* extra) {
    const bool pexa = t.notation == NOTATION::PEXA;
    const char* sep = pexa ? ",\n" : "\n";
    const bool rules = t.ruleCount() > 0;
    const bool minRules = integral && !t.minRules.empty();
    const bool extraRules = integral && extra && !extra->empty();
    const bool constraints = !t.constraints.empty();
    const bool minConstraints = integral && !t.minConstraints.empty();

    if (pexa) std::fputs("@SET FUNCTION\n@LP({\n", out);
    // In the pexa form a group is followed by the separator exactly when a
    // later group is written, so the list never ends with a comma.
    auto group = [&](bool written, bool later, const auto& items) {
        if (!written) return;
        writeList(out, items, sep, t.notation);
        if (pexa && later) std::fputs(sep, out);
        std::fputc('\n', out);
    };
    group(rules, constraints || minRules || extraRules || minConstraints, TRANSLATED_RULES{t});
    group(minRules, extraRules || constraints || minConstraints, t.minRules);
    if (extraRules) group(true, constraints || minConstraints, *extra);
    group(constraints, minConstraints, t.constraints);
    group(minConstraints, false, t.minConstraints);
    if (pexa) std::fputs("})\n", out);
}

}  // namespace

// The memory that registering a file needs is taken before the file is
// created (the name in its own string, the room in the registry), and the
// ending signals wait meanwhile, so that no file is left behind for want
// of memory or by a signal.
std::string CreateTemporaryFile(const std::string& directory) {
    std::string name = TemporaryFileTemplate(directory);
    std::string registered = name;
    ReserveTemporaryFile();
    // No signal ends the run between the creation and the registration.
    ENDING_SIGNALS_HELD held;
    // mkstemps writes the chosen characters into the template.
    int fd = ::mkstemps(name.data(), static_cast<int>(TemporaryFileSuffix.size()));
    if (fd < 0) return "";
    ::close(fd);
    registered = name;  // as long as the template: no memory of its own
    RegisterTemporaryFile(std::move(registered));
    return name;
}

bool CreateExclusiveFile(const std::string& name) {
    std::string registered = name;
    ReserveTemporaryFile();
    ENDING_SIGNALS_HELD held;
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
    if (fd < 0) return false;
    ::close(fd);
    RegisterTemporaryFile(std::move(registered));
    return true;
}

void AnnounceStoring(const RUN_SETTINGS& settings, const std::string& file) {
    if (settings.store && settings.verbose)
        std::cout << "Storing file " << file << " ..." << std::endl;
}

void StoreToFile(const TRANSLATION& translation, std::string file, PROGRAM_FILE kind,
                 const RULES* extra) {
    int fd = openProgramFile(file);
    if (fd < 0) cannotOpen(file);
    // The stream's buffer is ours: one the C library allocated itself
    // could quietly be missing for want of memory.
    std::vector<char> buffer(1 << 16);
    std::FILE* out = ::fdopen(fd, "w");
    if (!out) {
        const int reason = errno;
        ::close(fd);
        if (reason == ENOMEM) MemoryRanOut();
        cannotOpen(file);
    }
    std::setvbuf(out, buffer.data(), _IOFBF, buffer.size());
    {
        // A failure that unwinds past the writing closes the stream before
        // its buffer goes, so that what waits in it is never written later
        // (at the exit) from memory given back.
        CLOSED_ON_UNWIND closed{out};
        writeProgram(out, translation, kind == PROGRAM_FILE::INTEGRAL, extra);
        if (kind == PROGRAM_FILE::ONE_RUN) WriteRejectionDeclarations(out);
    }
    // The stream remembers a failed write, and closing it reports the last
    // one, so that a full disk never passes for a complete program.
    bool ok = !std::ferror(out);
    if (std::fclose(out) != 0) ok = false;
    if (!ok) cannotWrite(file);
}
