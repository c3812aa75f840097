// What vok and its evaluation programs agree on: the names of vok's
// temporary program files, the declarations that end a program file for
// minimal answer sets in one run, and the option that asks for them; the
// line that tells vok how solving ended, and the option that asks for it.
// Each side writes and reads these from here.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

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
