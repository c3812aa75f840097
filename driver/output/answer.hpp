// An answer set as the results show it, and the answer of a goal query:
// what the output filter hands over, the goal test records and the
// writers of the results print.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/text_map.hpp"
#include "driver/output/explain.hpp"
#include "driver/output/goal_pattern.hpp"
#include "driver/settings.hpp"

// The atoms of an answer set as vok prints them ("p(a,b)", strong negation
// as "-p"), in the order the evaluation program gave them. They are kept as
// one text, separated by ", " as the text form writes them, with where each
// one ends.
struct ANSWER_ATOMS {
    std::string text;               // "a, p(b)"
    std::vector<std::size_t> ends;  // of each atom in text

    void add(std::string_view atom) {
        if (!ends.empty()) text += ", ";
        text += atom;
        ends.push_back(text.size());
    }
    std::size_t size() const { return ends.size(); }
    std::string_view operator[](std::size_t i) const {
        const std::size_t begin = i ? ends[i - 1] + 2 : 0;
        return std::string_view(text).substr(begin, ends[i] - begin);
    }
    void clear() {
        text.clear();
        ends.clear();
    }
    // Adds the atoms of other after these.
    void append(const ANSWER_ATOMS& other) {
        if (other.ends.empty()) return;
        if (!ends.empty()) text += ", ";
        const std::size_t shift = text.size();
        text += other.text;
        for (std::size_t end : other.ends) ends.push_back(shift + end);
    }
    friend void swap(ANSWER_ATOMS& a, ANSWER_ATOMS& b) noexcept {
        a.text.swap(b.text);
        a.ends.swap(b.ends);
    }
};

// An answer set of a session's step told by what changed (--changes):
// the atoms it lacks and those it has beyond answer set `from` (counted
// from 1) of the answer sets printed before, each in the order of atoms.
struct ANSWER_CHANGES {
    std::size_t from = 1;
    ANSWER_ATOMS removed, added;
};

// One answer set that stands (a minimal one, with -min or -strict).
struct ANSWER {
    ANSWER_ATOMS atoms;
    // Printed instead of atoms where it is set.
    std::optional<ANSWER_CHANGES> changes;
    // With --explain: the rule instances it rejected, in the order of
    // ExplainAnswerSet.
    std::optional<std::vector<EXPLANATION>> rejected;
    // The evaluation program's line that closed it ended with a line end;
    // the text form ends its line only then.
    bool lineEnded = true;

    friend void swap(ANSWER& a, ANSWER& b) noexcept {
        swap(a.atoms, b.atoms);
        a.changes.swap(b.changes);
        a.rejected.swap(b.rejected);
        std::swap(a.lineEnded, b.lineEnded);
    }
};

// What one answer set gave a goal: whether it holds the ground goal, or the
// instances it holds of a goal with variables.
struct GOAL_MATCHES {
    bool holds = false;
    ANSWER_ATOMS instances;
    void clear() {
        holds = false;
        instances.clear();
    }
};

// Instances looked up by their text without being copied.
using INSTANCE_MAP = TEXT_MAP<std::size_t>;

// The answer to -FB= or -FC=: whether the goal holds (brave: in some answer
// set; cautious: in all), and the answer set kept as its witness; goal.hpp
// says which one that is and when it is shown. A goal with variables keeps
// its instances instead.
struct GOAL_ANSWER {
    GOAL_QUESTION question;  // what was asked
    bool holds = false;
    std::optional<ANSWER> witness;
    std::string atom;  // a ground goal as the answer sets write it
    // A goal with variables: its pattern; the instances found, each with
    // its witness's number (brave) or the number of the last answer set
    // that held it (cautious); the witnesses, shared by the instances
    // whose first answer set they were; the answer sets recorded.
    std::optional<GOAL_PATTERN> query;
    INSTANCE_MAP instances;
    std::vector<ANSWER> witnesses;
    std::size_t answerSets = 0;
};
