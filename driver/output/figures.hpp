// The figures of a run as the results write them (answers.cpp): how the
// run ended and, with --stats, its summary in the words of the solver's
// own, in text or as members of the JSON document; and the figures every
// JSON document ends with, written without memory of their own, so that
// every end of the run can write them, one by a signal included. end is
// null where the run ended before FinishAnswers.
#pragma once

#include <cstddef>
#include <string>

#include "driver/output/answers.hpp"
#include "driver/settings.hpp"

// A text of fixed room on the stack.
struct FIXED_TEXT {
    char text[512] = {};
    std::size_t size = 0;
    void add(const char* piece) {
        while (*piece && size + 1 < sizeof text) text[size++] = *piece++;
        text[size] = '\0';
    }
    void addNumber(unsigned long long n) {
        char digits[24];
        char* p = digits + sizeof digits;
        *--p = '\0';
        do *--p = static_cast<char>('0' + n % 10);
        while ((n /= 10) != 0);
        add(p);
    }
    // Seconds with three decimals, as clingo writes them.
    void addSeconds(double seconds) {
        const unsigned long long ms =
            seconds > 0 ? static_cast<unsigned long long>(seconds * 1000 + 0.5) : 0;
        addNumber(ms / 1000);
        const char decimals[] = {'.', static_cast<char>('0' + ms / 100 % 10),
                                 static_cast<char>('0' + ms / 10 % 10),
                                 static_cast<char>('0' + ms % 10), '\0'};
        add(decimals);
    }
};

// "SATISFIABLE", "UNSATISFIABLE" or "UNKNOWN".
const char* ResultOf(const RUN_END* end);

// Why the result is UNKNOWN.
std::string UnknownReason(const RUN_END* end);

// Seconds with three decimals: "0.031".
std::string SecondsText(double seconds);

// "1 rule", "2 rules".
std::string Counted(std::size_t n, const std::string& what);

// The summary of --stats after the results in text.
std::string SummaryText(const RUN_END* end, const RUN_SETTINGS& settings);

// The member "Models" with the comma before it.
std::string ModelsMember(std::size_t number, const RUN_SETTINGS& settings);

// The members after "Result" in the JSON document with --stats, each with
// the comma before it.
std::string SummaryMembers(const RUN_END* end, const RUN_SETTINGS& settings);

// "Calls" and "Time" as clingo writes them without --stats (finished: the
// run got to its end).
void AddCallsAndTime(FIXED_TEXT& t, bool finished);

// The figures of a run that did not get to its end: its answer sets so far.
FIXED_TEXT UnknownFigures(unsigned long models);
