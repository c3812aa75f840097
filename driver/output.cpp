#include "output.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <streambuf>
#include <vector>

#include "base/exits.hpp"
#include "base/options.hpp"

namespace {

// An output buffer over a file descriptor that remembers whether any write
// failed, so that a full disk never passes for a complete program.
class FileBuffer : public std::streambuf {
public:
    explicit FileBuffer(int fd) : fd_(fd), buffer_(1 << 16) {
        setp(buffer_.data(), buffer_.data() + buffer_.size());
    }
    ~FileBuffer() override { flush(); }

    bool flush() {
        const char* p = pbase();
        while (p < pptr()) {
            ssize_t n = ::write(fd_, p, static_cast<size_t>(pptr() - p));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                failed_ = true;
                break;
            }
            p += n;
        }
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        return !failed_;
    }
    bool failed() const { return failed_; }

protected:
    int_type overflow(int_type c) override {
        if (!flush()) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return flush() ? 0 : -1; }

private:
    int fd_;
    std::vector<char> buffer_;
    bool failed_ = false;
};

[[noreturn]] void cannotOpen(const std::string& file) {
    std::cerr << "Could not open file " << file << ". Aborting." << std::endl;
    SafeExit(1);
}

[[noreturn]] void cannotWrite(const std::string& file) {
    std::cerr << "Could not write file " << file << ". Aborting." << std::endl;
    SafeExit(1);
}

// Temporary files already exist (created exclusively); they are reopened
// without following links. A user's file is created or truncated.
int openProgramFile(const std::string& file) {
    if (IsTemporaryFile(file)) return ::open(file.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW);
    return ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0664);
}

}  // namespace

std::string CreateTemporaryFile(const std::string& directory) {
    std::string pattern = directory.empty() ? "tempXXXXXX.vok" : directory + "/tempXXXXXX.vok";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkstemps(name.data(), 4);
    if (fd < 0) return "";
    ::close(fd);
    std::string created(name.data());
    RegisterTemporaryFile(created);
    return created;
}

bool CreateExclusiveFile(const std::string& name) {
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
    if (fd < 0) return false;
    ::close(fd);
    RegisterTemporaryFile(name);
    return true;
}

void StoreToFile(std::string file, bool integral, const RULES* extra) {
    const bool pexa = OptionProgram == 2;
    const char* sep = pexa ? ",\n" : "\n";
    if (OptionStore && OptionVerbosity) std::cout << "Storing file " << file << " ..." << std::endl;

    int fd = openProgramFile(file);
    if (fd < 0) cannotOpen(file);

    const bool rules = !Pupd.empty();
    const bool minRules = integral && !MinRules.empty();
    const bool extraRules = integral && extra && !extra->empty();
    const bool constraints = !Constraints.empty();
    const bool minConstraints = integral && !MinConstraints.empty();

    bool ok;
    {
        FileBuffer buffer(fd);
        std::ostream out(&buffer);
        if (pexa) out << "@SET FUNCTION\n@LP({\n";
        // In the pexa form a group is followed by the separator exactly when
        // a later group is written, so the list never ends with a comma.
        auto group = [&](bool written, bool later, auto&& items) {
            if (!written) return;
            print_list(out, items, sep);
            if (pexa && later) out << sep;
            out << '\n';
        };
        group(rules, constraints || minRules || extraRules || minConstraints, Pupd);
        group(minRules, extraRules || constraints || minConstraints, MinRules);
        if (extraRules) group(true, constraints || minConstraints, *extra);
        group(constraints, minConstraints, Constraints);
        group(minConstraints, false, MinConstraints);
        if (pexa) out << "})\n";
        out.flush();
        ok = buffer.flush();
    }
    if (::close(fd) != 0) ok = false;
    if (!ok) cannotWrite(file);
}
