// What vok and its evaluation programs agree on: the names of vok's
// temporary program files, the declarations that end a program file for
// minimal answer sets in one run, and the option that asks for them; the
// line that tells vok how solving ended, and the option that asks for it;
// the lines of a session; the pexa form's strong negation, the builtins,
// and the names the rewriting gives its update predicates. Each side writes
// and reads these from here.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// vok's temporary program file: the prefix, random characters that
// mkstemps chooses, the suffix. The test file of candidate n adds the mark
// and n before the suffix (tempAb3xYz.vok, tempAb3xYz_MM12.vok). vok
// removes both when its run ends, so that an evaluation program names a
// place in them by its text, not by a line of a file that is gone.
inline constexpr std::string_view TemporaryFilePrefix = "temp";
inline constexpr std::size_t TemporaryFileRandom = 6;
inline constexpr std::string_view TemporaryFileSuffix = ".vok";
inline constexpr std::string_view TestFileMark = "_MM";

// The template for mkstemps (suffix length TemporaryFileSuffix.size()):
// "directory/tempXXXXXX.vok", or "tempXXXXXX.vok" without a directory.
std::string TemporaryFileTemplate(const std::string& directory);

// The test file of candidate n: the mark and n go before the extension of
// the last path component, or at the end when it has none.
std::string TestFileName(const std::string& file, unsigned n);

// Whether path names one of vok's temporary program files or a test file
// made from one.
bool IsVokTemporaryFile(const std::string& path);

// The declarations, comment lines after the program (in the pexa form
// after "})"):
//   %vok:rejection NAME ARITY LEVEL   one per rejection predicate, LEVEL the
//                                     number of its program + 1
//   %vok:rejections COUNT             the closing line, also for 0
inline constexpr std::string_view DeclarationMark = "%vok:";
inline constexpr std::string_view RejectionWord = "rejection";
inline constexpr std::string_view RejectionCountWord = "rejections";

// One declaration line, with its line end.
std::string RejectionDeclaration(std::string_view name, unsigned arity, unsigned level);
std::string RejectionCountDeclaration(unsigned count);

// The option that asks the evaluation program for the minimal
// (--minimal=min) or strictly minimal (--minimal=strict) answer sets.
inline constexpr std::string_view MinimalOption = "--minimal=";
inline constexpr std::string_view MinimalMode = "min";
inline constexpr std::string_view StrictMinimalMode = "strict";

// The option that asks the evaluation program to say, after the answer sets
// of a run that got to solving, how solving ended, on one line of its
// standard output:
//   %vok:outcome complete             every answer set was printed
//   %vok:outcome limited              it stopped at its limit of answer sets
//                                     while more may exist
//   %vok:outcome unfinished REASON    solving did not finish (REASON: why,
//                                     in its own words, on the same line)
// vok asks for it with --stats and reads the line instead of printing it.
inline constexpr std::string_view OutcomeOption = "--outcome";
inline constexpr std::string_view OutcomeWord = "outcome";

// The option that asks the evaluation program for the consequences of the
// answer sets instead of the answer sets: the atoms true in some
// (--consequences=brave) or in every one (--consequences=cautious), minimal
// ones under --minimal=, printed as one answer-set line once solving
// finished, and no line when there is no answer set.
inline constexpr std::string_view ConsequencesOption = "--consequences=";
inline constexpr std::string_view BraveMode = "brave";
inline constexpr std::string_view CautiousMode = "cautious";

// The option that asks the evaluation program not to say on standard error
// that it stopped at its limit of answer sets while more may exist: the
// caller set the limit itself (vok's -n) and learns of it otherwise.
inline constexpr std::string_view NoLimitWarningOption = "--no-limit-warning";

enum class SOLVING_END { COMPLETE, LIMITED, UNFINISHED };

struct SOLVING_OUTCOME {
    SOLVING_END end = SOLVING_END::COMPLETE;
    std::string reason;  // of an unfinished run
};

// The line, with its line end; line ends in the reason become blanks.
std::string OutcomeLine(const SOLVING_OUTCOME& outcome);

// The outcome an output line tells (line end included or not), or nothing
// when it is no outcome line.
std::optional<SOLVING_OUTCOME> ReadOutcomeLine(std::string_view line);

// ---- a session's lines ------------------------------------------------------
//
// vok begins the session with "form NAME", the form its programs come in
// (RoxForm or PexaForm); the evaluation program answers "form NAME" with
// its own form before anything else, whatever it was told, and goes on (a
// front end may leave the line out). vok writes each step as "step COUNT" and COUNT programs, each
// the line "program BYTES" and exactly BYTES bytes of text. The evaluation program answers, per
// step: "+ ATOM" and "- ATOM" (the base set changes), answer sets "{...}", "rejected K J BY
// (V1,...)" after an answer set (rule J of program K is rejected, by program BY, for these values
// of its variables), "info TEXT" (progress, "info step N: TEXT" for step N), and either "done COUNT
// complete|more" or "refused REASON". Each writer returns or appends the line with its line end;
// each reader takes a line with or without it, and the texts it gives are views into that line.

// The kind of an answer line, told by its first word alone, so that a line
// whose fields do not read is still known for what it claims to be.
enum class SESSION_LINE { FORM, BASE_CHANGE, ANSWER_SET, REJECTED, INFO, DONE, REFUSED, OTHER };
SESSION_LINE SessionLineKind(std::string_view line);
// Lines of these kinds hold atoms, whose quoted strings may hold line ends.
inline bool HoldsAtoms(SESSION_LINE kind) {
    return kind == SESSION_LINE::BASE_CHANGE || kind == SESSION_LINE::ANSWER_SET ||
           kind == SESSION_LINE::REJECTED;
}

inline constexpr std::string_view RoxForm = "rox";
inline constexpr std::string_view PexaForm = "pexa";
std::string FormLine(std::string_view form);
// The form a "form" line names: one word, not empty.
std::optional<std::string_view> ReadFormLine(std::string_view line);

std::string StepLine(std::size_t programs);
std::string ProgramLine(std::size_t bytes);
// The count of a "step" or "program" line; nothing for any other line.
std::optional<std::size_t> ReadStepLine(std::string_view line);
std::optional<std::size_t> ReadProgramLine(std::string_view line);

struct BASE_CHANGE {
    bool added = false;  // "+", or "-" when it leaves the base
    std::string_view atom;
};
void AppendBaseChangeLine(std::string& out, bool added, std::string_view atom);
std::optional<BASE_CHANGE> ReadBaseChangeLine(std::string_view line);

struct REJECTED_INSTANCE {
    unsigned program = 0, rule = 0, by = 0;
    std::string_view values;  // "(V1,...)" as written, the values' own syntax
};
std::string RejectedLine(unsigned program, unsigned rule, unsigned by,
                         const std::vector<std::string>& values);
std::optional<REJECTED_INSTANCE> ReadRejectedLine(std::string_view line);

struct INFO {
    std::optional<unsigned> step;  // the step it speaks of, if any
    std::string_view text;         // after "step N: " when there is a step
};
std::string InfoLine(unsigned step, std::string_view text);
std::optional<INFO> ReadInfoLine(std::string_view line);

struct STEP_DONE {
    std::size_t count = 0;  // answer sets printed
    bool complete = true;   // false: stopped at the limit, more may exist
};
std::string DoneLine(const STEP_DONE& done);
std::optional<STEP_DONE> ReadDoneLine(std::string_view line);

// A refused step: where (program of the step, counted from 1 when the step
// has several, and line in its text), why, and the option that would let
// it be taken. The line is "refused PLACE: REASON" with ": give OPTION"
// after the reason when there is an option; a reader that finds no place
// keeps the whole text as the reason (line 0).
struct REFUSAL {
    std::size_t program = 0;  // 0: the step's only program
    unsigned line = 0;
    std::string reason;
    std::string option;  // such as "-N=<n>", or empty
};
std::string RefusalLine(const REFUSAL& refusal);
std::optional<REFUSAL> ReadRefusalLine(std::string_view line);
// "line L", or "program P of the step, line L".
std::string RefusalPlace(const REFUSAL& refusal);

// How to give an option an evaluation program lacks: to the program itself
// ("give -N=<n>"), or through vok, which passes options with -o=.
inline constexpr std::string_view LargestIntegerOption = "-N=<n>";
std::string DirectRemedy(std::string_view option);
std::string RemedyThroughVok(std::string_view option);

// ---- the pexa form's strong negation ------------------------------------------
//
// The pexa form has no "-": the strong negation of p is the name "NEG_p",
// so pexa input may not begin a predicate name with the prefix.
inline constexpr std::string_view PexaNegationPrefix = "NEG_";
// Whether name is a strong negation in the pexa form (the prefix and more).
inline bool IsPexaNegation(std::string_view name) {
    return name.size() > PexaNegationPrefix.size() && name.starts_with(PexaNegationPrefix);
}
// Appends name in the pexa form: a leading "-" becomes the prefix.
void AppendPexaName(std::string& out, std::string_view name);
// The name in the input's form: the prefix becomes "-".
std::string InputNameOfPexa(std::string_view name);

// ---- builtins ---------------------------------------------------------------
//
// The builtin predicates of the rox form, as a program file writes them,
// by number: vok registers them as its first predicates, and each side's
// BUILTIN enumeration takes these numbers.
struct BUILTIN_SIGNATURE {
    const char* name;
    unsigned arity;
};
inline constexpr BUILTIN_SIGNATURE BuiltinSignatures[] = {
    {"==", 2}, {"!=", 2},   {"<", 2},     {">", 2}, {"<=", 2},
    {">=", 2}, {"#int", 1}, {"#succ", 2}, {"+", 3}, {"*", 3}};
inline constexpr std::size_t BuiltinCount = std::size(BuiltinSignatures);
// The number of the builtin written name, or nothing.
std::optional<std::size_t> BuiltinNumber(std::string_view name);
// An assignment T = U is written "=(T,U)": clingo's equality, which binds
// the variables of either side once the other side's are bound. It is no
// builtin of the table, whose numbers stay as they were.
inline constexpr std::string_view AssignmentName = "=";

// ---- update names -------------------------------------------------------------
//
// The rewriting names "literal p holds at program i" p_P<i> and "rule j of
// program i is rejected" rej_P<i>_R<j>; a name whose plain text another
// predicate has taken carries a clash suffix _<c>. Numbers are decimal,
// without sign or leading zero, so that each name has one text. A run makes
// millions of them: the writers append without a string of their own.
inline constexpr std::string_view ProgramMark = "_P";
inline constexpr std::string_view RuleMark = "_R";
inline constexpr std::string_view RejectionStem = "rej";

inline void AppendNameNumber(std::string& out, unsigned n) {
    char digits[16];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
}
// "_P<i>", and "_P<i>_R<j>".
inline void AppendProgramMark(std::string& out, unsigned i) {
    out += ProgramMark;
    AppendNameNumber(out, i);
}
inline void AppendRuleMarks(std::string& out, unsigned i, unsigned j) {
    AppendProgramMark(out, i);
    out += RuleMark;
    AppendNameNumber(out, j);
}
inline void AppendRejectionName(std::string& out, unsigned i, unsigned j) {
    out += RejectionStem;
    AppendRuleMarks(out, i, j);
}
// "_<c>".
inline void AppendClashSuffix(std::string& out, unsigned c) {
    out += '_';
    AppendNameNumber(out, c);
}
// base_P<i>, whole.
std::string UpdateName(std::string_view base, unsigned i);

// Whether name may be an update or rejection name or the complement of
// one: it holds "_P" and a digit. A run whose other predicates have no such
// name needs no clash check for the names it makes.
bool HasUpdateShape(std::string_view name);
// Whether name holds "_P" at all: the last "_P" of an update name marks
// where its base ends.
inline bool HasProgramMark(std::string_view name) {
    return name.find(ProgramMark) != std::string_view::npos;
}

// The parts of a text of the update form (base_P<i>, maybe a clash suffix)
// or the rejection form; nothing for a text of another form. Only the form
// is read: whether such a name was made is the name table's to say.
inline constexpr unsigned NoClashSuffix = 0;  // a suffix c is kept as c + 1
struct UPDATE_NAME_PARTS {
    std::string_view base;
    unsigned program;
    unsigned suffix;  // c + 1, or NoClashSuffix
};
std::optional<UPDATE_NAME_PARTS> ReadUpdateName(std::string_view text);
struct REJECTION_NUMBERS {
    unsigned program;
    unsigned rule;
    unsigned suffix;  // c + 1, or NoClashSuffix
};
std::optional<REJECTION_NUMBERS> ReadRejectionName(std::string_view text);
