#include "common/contract.hpp"

namespace {

bool isAlphanumeric(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string declaration(std::string_view word) {
    std::string line(DeclarationMark);
    line += word;
    return line;
}

}  // namespace

std::string TemporaryFileTemplate(const std::string& directory) {
    std::string name = directory.empty() ? std::string() : directory + "/";
    name += TemporaryFilePrefix;
    name.append(TemporaryFileRandom, 'X');
    name += TemporaryFileSuffix;
    return name;
}

std::string TestFileName(const std::string& file, unsigned n) {
    std::string mark = std::string(TestFileMark) + std::to_string(n);
    std::size_t slash = file.rfind('/');
    std::size_t base = slash == std::string::npos ? 0 : slash + 1;
    std::size_t dot = file.rfind('.');
    if (dot == std::string::npos || dot < base) return file + mark;
    return file.substr(0, dot) + mark + file.substr(dot);
}

bool IsVokTemporaryFile(const std::string& path) {
    std::string_view name = path;
    std::size_t slash = name.rfind('/');
    if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
    const std::size_t fixed =
        TemporaryFilePrefix.size() + TemporaryFileRandom + TemporaryFileSuffix.size();
    if (!name.starts_with(TemporaryFilePrefix) || !name.ends_with(TemporaryFileSuffix) ||
        name.size() < fixed)
        return false;
    for (char c : name.substr(TemporaryFilePrefix.size(), TemporaryFileRandom))
        if (!isAlphanumeric(c)) return false;
    std::string_view rest =
        name.substr(TemporaryFilePrefix.size() + TemporaryFileRandom, name.size() - fixed);
    if (rest.empty()) return true;
    if (!rest.starts_with(TestFileMark) || rest.size() == TestFileMark.size()) return false;
    for (char c : rest.substr(TestFileMark.size()))
        if (!isDigit(c)) return false;
    return true;
}

std::string RejectionDeclaration(std::string_view name, unsigned arity, unsigned level) {
    std::string line = declaration(RejectionWord);
    line += ' ';
    line += name;
    line += ' ' + std::to_string(arity) + ' ' + std::to_string(level) + '\n';
    return line;
}

std::string RejectionCountDeclaration(unsigned count) {
    return declaration(RejectionCountWord) + ' ' + std::to_string(count) + '\n';
}

namespace {

constexpr std::string_view EndWords[] = {"complete", "limited", "unfinished"};

}  // namespace

std::string OutcomeLine(const SOLVING_OUTCOME& outcome) {
    std::string line = declaration(OutcomeWord);
    line += ' ';
    line += EndWords[static_cast<int>(outcome.end)];
    if (outcome.end == SOLVING_END::UNFINISHED) {
        line += ' ';
        for (char c : outcome.reason) line += c == '\n' || c == '\r' ? ' ' : c;
    }
    return line + '\n';
}

std::optional<SOLVING_OUTCOME> ReadOutcomeLine(std::string_view line) {
    const std::string mark = declaration(OutcomeWord) + ' ';
    if (!line.starts_with(mark)) return std::nullopt;
    line.remove_prefix(mark.size());
    if (line.ends_with('\n')) line.remove_suffix(1);
    for (int end = 0; end < 3; ++end) {
        std::string_view word = EndWords[end];
        if (!line.starts_with(word)) continue;
        std::string_view rest = line.substr(word.size());
        SOLVING_OUTCOME outcome{static_cast<SOLVING_END>(end), {}};
        if (outcome.end == SOLVING_END::UNFINISHED && rest.starts_with(' '))
            outcome.reason = rest.substr(1);
        else if (!rest.empty()) continue;
        return outcome;
    }
    return std::nullopt;
}
