#include "driver/session/sequence_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/exits.hpp"
#include "common/pipe_channel.hpp"

namespace {

// Whether the input's first token is "{": blanks and comments ("%" to the
// line end, "%*" to "*%") come before it, as the scanner skips them.
bool beginsWithBlock(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
        } else if (c == '%' && i + 1 < text.size() && text[i + 1] == '*') {
            const std::size_t end = text.find("*%", i + 2);
            if (end == std::string_view::npos) return false;
            i = end + 2;
        } else if (c == '%') {
            const std::size_t end = text.find('\n', i);
            if (end == std::string_view::npos) return false;
            i = end + 1;
        } else {
            return c == '{';
        }
    }
    return false;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string reason(int error) { return std::strerror(error); }

// The permissions a file created by open(2) with mode 0666 gets.
mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

void AppendInputText(std::string& sequence, std::string_view text) {
    const bool block = beginsWithBlock(text);
    // The line ends keep a comment on the text's last line from reaching
    // what follows.
    if (!block) sequence += "{\n";
    sequence += text;
    if (!text.empty() && text.back() != '\n') sequence += '\n';
    if (!block) sequence += "}\n";
}

std::optional<std::string> WriteFileWhole(const std::string& path, std::string_view text) {
    if (path.empty() || path.back() == '/') return reason(EISDIR);
    std::string temporary = folderOf(path) + "/.vok-save-XXXXXX";
    std::vector<char> name(temporary.begin(), temporary.end());
    name.push_back('\0');
    // Known to every end of the run before it exists, so that a signal
    // leaves no half-written file behind.
    ReserveTemporaryFile();
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return reason(errno);
    temporary = name.data();
    RegisterTemporaryFile(temporary);
    int error = 0;
    if (!WriteAll(fd, text)) error = errno ? errno : EIO;
    if (!error && ::fchmod(fd, newFileMode()) != 0) error = errno;
    if (!error && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && !error) error = errno;
    if (!error && std::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
    if (error) ::unlink(temporary.c_str());
    UnregisterTemporaryFile(temporary);
    if (!error) return std::nullopt;
    return reason(error);
}
