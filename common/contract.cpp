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

// ---- a session's lines ------------------------------------------------------

namespace {

constexpr std::string_view FormWord = "form ";
constexpr std::string_view StepWord = "step ";
constexpr std::string_view ProgramWord = "program ";
constexpr std::string_view AddedMark = "+ ";
constexpr std::string_view RemovedMark = "- ";
constexpr std::string_view RejectedWord = "rejected ";
constexpr std::string_view InfoWord = "info ";
constexpr std::string_view DoneWord = "done ";
constexpr std::string_view RefusedWord = "refused ";
constexpr std::string_view CompleteWord = "complete";
constexpr std::string_view MoreWord = "more";
constexpr std::string_view OfTheStep = " of the step, ";
constexpr std::string_view LineWord = "line ";
constexpr std::string_view GiveWord = "give ";

std::string_view withoutLineEnd(std::string_view line) {
    if (line.ends_with('\n')) line.remove_suffix(1);
    return line;
}

// The decimal number at the start of text, taken off it; nothing when text
// does not start with a digit or the number does not fit.
template <class NUMBER>
std::optional<NUMBER> takeNumber(std::string_view& text) {
    NUMBER n{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (error != std::errc() || text.empty() || !isDigit(text[0])) return std::nullopt;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return n;
}

// "WORD N" and nothing else.
std::optional<std::size_t> countAfter(std::string_view line, std::string_view word) {
    line = withoutLineEnd(line);
    if (!line.starts_with(word)) return std::nullopt;
    line.remove_prefix(word.size());
    const std::optional<std::size_t> n = takeNumber<std::size_t>(line);
    if (!n || !line.empty()) return std::nullopt;
    return n;
}

bool takeWord(std::string_view& text, std::string_view word) {
    if (!text.starts_with(word)) return false;
    text.remove_prefix(word.size());
    return true;
}

std::string countLine(std::string_view word, std::size_t n) {
    std::string line(word);
    line += std::to_string(n);
    return line + '\n';
}

}  // namespace

SESSION_LINE SessionLineKind(std::string_view line) {
    if (line.starts_with(FormWord)) return SESSION_LINE::FORM;
    if (line.starts_with(AddedMark) || line.starts_with(RemovedMark))
        return SESSION_LINE::BASE_CHANGE;
    if (line.starts_with('{')) return SESSION_LINE::ANSWER_SET;
    if (line.starts_with(RejectedWord)) return SESSION_LINE::REJECTED;
    if (line.starts_with(InfoWord)) return SESSION_LINE::INFO;
    if (line.starts_with(DoneWord)) return SESSION_LINE::DONE;
    if (line.starts_with(RefusedWord)) return SESSION_LINE::REFUSED;
    return SESSION_LINE::OTHER;
}

std::string FormLine(std::string_view form) {
    std::string line(FormWord);
    line += form;
    return line + '\n';
}

std::optional<std::string_view> ReadFormLine(std::string_view line) {
    line = withoutLineEnd(line);
    if (!takeWord(line, FormWord) || line.empty() || line.find(' ') != std::string_view::npos)
        return std::nullopt;
    return line;
}

std::string StepLine(std::size_t programs) { return countLine(StepWord, programs); }
std::string ProgramLine(std::size_t bytes) { return countLine(ProgramWord, bytes); }
std::optional<std::size_t> ReadStepLine(std::string_view line) {
    return countAfter(line, StepWord);
}
std::optional<std::size_t> ReadProgramLine(std::string_view line) {
    return countAfter(line, ProgramWord);
}

void AppendBaseChangeLine(std::string& out, bool added, std::string_view atom) {
    out += added ? AddedMark : RemovedMark;
    out += atom;
    out += '\n';
}

std::optional<BASE_CHANGE> ReadBaseChangeLine(std::string_view line) {
    if (SessionLineKind(line) != SESSION_LINE::BASE_CHANGE) return std::nullopt;
    return BASE_CHANGE{line[0] == '+', withoutLineEnd(line).substr(AddedMark.size())};
}

std::string RejectedLine(unsigned program, unsigned rule, unsigned by,
                         const std::vector<std::string>& values) {
    std::string line(RejectedWord);
    line += std::to_string(program) + ' ' + std::to_string(rule) + ' ' + std::to_string(by) + " (";
    for (std::size_t v = 0; v < values.size(); ++v) {
        if (v) line += ',';
        line += values[v];
    }
    return line + ")\n";
}

std::optional<REJECTED_INSTANCE> ReadRejectedLine(std::string_view line) {
    line = withoutLineEnd(line);
    if (!takeWord(line, RejectedWord)) return std::nullopt;
    REJECTED_INSTANCE r;
    for (unsigned* n : {&r.program, &r.rule, &r.by}) {
        const std::optional<unsigned> read = takeNumber<unsigned>(line);
        if (!read || !takeWord(line, " ")) return std::nullopt;
        *n = *read;
    }
    if (!line.starts_with('(') || !line.ends_with(')')) return std::nullopt;
    r.values = line;
    return r;
}

std::string InfoLine(unsigned step, std::string_view text) {
    std::string line(InfoWord);
    line += StepWord;
    line += std::to_string(step) + ": ";
    line += text;
    return line + '\n';
}

std::optional<INFO> ReadInfoLine(std::string_view line) {
    line = withoutLineEnd(line);
    if (!takeWord(line, InfoWord)) return std::nullopt;
    std::string_view rest = line;
    if (takeWord(rest, StepWord))
        if (const std::optional<unsigned> step = takeNumber<unsigned>(rest))
            if (takeWord(rest, ": ")) return INFO{step, rest};
    return INFO{std::nullopt, line};
}

std::string DoneLine(const STEP_DONE& done) {
    std::string line = countLine(DoneWord, done.count);
    line.pop_back();
    line += ' ';
    line += done.complete ? CompleteWord : MoreWord;
    return line + '\n';
}

std::optional<STEP_DONE> ReadDoneLine(std::string_view line) {
    line = withoutLineEnd(line);
    if (!takeWord(line, DoneWord)) return std::nullopt;
    const std::optional<std::size_t> count = takeNumber<std::size_t>(line);
    if (!count || !takeWord(line, " ")) return std::nullopt;
    if (line == CompleteWord) return STEP_DONE{*count, true};
    if (line == MoreWord) return STEP_DONE{*count, false};
    return std::nullopt;
}

std::string RefusalPlace(const REFUSAL& refusal) {
    std::string place;
    if (refusal.program)
        place = std::string(ProgramWord) + std::to_string(refusal.program) + std::string(OfTheStep);
    return place + std::string(LineWord) + std::to_string(refusal.line);
}

std::string RefusalLine(const REFUSAL& refusal) {
    std::string line = std::string(RefusedWord) + RefusalPlace(refusal) + ": ";
    for (char c : refusal.reason) line += c == '\n' || c == '\r' ? ' ' : c;
    if (!refusal.option.empty()) line += ": " + DirectRemedy(refusal.option);
    return line + '\n';
}

std::optional<REFUSAL> ReadRefusalLine(std::string_view line) {
    line = withoutLineEnd(line);
    if (!takeWord(line, RefusedWord)) return std::nullopt;
    REFUSAL refusal;
    std::string_view rest = line;
    bool placed = true;
    if (takeWord(rest, ProgramWord)) {
        const std::optional<std::size_t> program = takeNumber<std::size_t>(rest);
        placed = program && *program > 0 && takeWord(rest, OfTheStep);
        if (placed) refusal.program = *program;
    }
    std::optional<unsigned> at;
    placed = placed && takeWord(rest, LineWord) && (at = takeNumber<unsigned>(rest)) &&
             takeWord(rest, ": ");
    if (placed) {
        refusal.line = *at;
        line = rest;
    } else {
        refusal.program = 0;
    }
    const std::size_t give = line.rfind(std::string(": ") + std::string(GiveWord));
    if (give != std::string_view::npos) {
        const std::string_view option = line.substr(give + 2 + GiveWord.size());
        if (!option.empty() && option.find(' ') == std::string_view::npos) {
            refusal.option = option;
            line = line.substr(0, give);
        }
    }
    refusal.reason = line;
    return refusal;
}

std::string DirectRemedy(std::string_view option) {
    return std::string(GiveWord) + std::string(option);
}

std::string RemedyThroughVok(std::string_view option) {
    return "run vok with -o=" + std::string(option);
}

// ---- the pexa form's strong negation ------------------------------------------

void AppendPexaName(std::string& out, std::string_view name) {
    if (name.starts_with('-')) {
        out += PexaNegationPrefix;
        name.remove_prefix(1);
    }
    out += name;
}

std::string InputNameOfPexa(std::string_view name) {
    if (!IsPexaNegation(name)) return std::string(name);
    return "-" + std::string(name.substr(PexaNegationPrefix.size()));
}

// ---- builtins ---------------------------------------------------------------

std::optional<std::size_t> BuiltinNumber(std::string_view name) {
    for (std::size_t b = 0; b < BuiltinCount; ++b)
        if (name == BuiltinSignatures[b].name) return b;
    return std::nullopt;
}

// ---- update names -------------------------------------------------------------

namespace {

// The number that text holds whole, written as AppendNameNumber writes it.
bool readNameNumber(std::string_view text, unsigned& value) {
    if (text.empty() || (text[0] == '0' && text.size() > 1) || !isDigit(text[0])) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// Splits "<stem>_<c>" into the stem and the suffix c + 1 when text ends in
// "_" and digits after the place afterMark (a suffix follows the program
// number of an update name or the rule number of a rejection name, never
// part of a base); otherwise the whole text and NoClashSuffix. An empty
// stem: a suffix that does not read.
std::pair<std::string_view, unsigned> splitClashSuffix(std::string_view text,
                                                       std::size_t afterMark) {
    const std::size_t last = text.rfind('_');
    if (last == std::string_view::npos || last < afterMark) return {text, NoClashSuffix};
    unsigned c;
    if (!readNameNumber(text.substr(last + 1), c) || c + 1 == 0) return {{}, 0};
    return {text.substr(0, last), c + 1};
}

}  // namespace

std::string UpdateName(std::string_view base, unsigned i) {
    std::string name(base);
    AppendProgramMark(name, i);
    return name;
}

bool HasUpdateShape(std::string_view name) {
    for (std::size_t p = name.find(ProgramMark); p != std::string_view::npos;
         p = name.find(ProgramMark, p + 1))
        if (p + 2 < name.size() && isDigit(name[p + 2])) return true;
    return false;
}

// The last "_P" ends the base, as neither the program number nor the
// suffix holds a 'P'.
std::optional<UPDATE_NAME_PARTS> ReadUpdateName(std::string_view text) {
    const std::size_t p = text.rfind(ProgramMark);
    if (p == std::string_view::npos || p == 0) return std::nullopt;
    const std::size_t number = p + ProgramMark.size();
    const auto [stem, suffix] = splitClashSuffix(text, number);
    UPDATE_NAME_PARTS parts{text.substr(0, p), 0, suffix};
    if (stem.empty() || !readNameNumber(stem.substr(number), parts.program)) return std::nullopt;
    return parts;
}

// No update name has this form: its last "_P" is followed by digits and at
// most a clash suffix, never by "_R".
std::optional<REJECTION_NUMBERS> ReadRejectionName(std::string_view text) {
    std::string_view rest = text;
    if (!takeWord(rest, RejectionStem) || !takeWord(rest, ProgramMark)) return std::nullopt;
    const std::size_t first = text.size() - rest.size();
    const std::size_t r = text.find(RuleMark, first);
    if (r == std::string_view::npos) return std::nullopt;
    const auto [stem, suffix] = splitClashSuffix(text, r + RuleMark.size());
    REJECTION_NUMBERS numbers{0, 0, suffix};
    if (stem.empty() || !readNameNumber(stem.substr(first, r - first), numbers.program) ||
        !readNameNumber(stem.substr(r + RuleMark.size()), numbers.rule))
        return std::nullopt;
    return numbers;
}
