// Reading clingo's text output: the models it prints, back in the file's
// own notation.
#pragma once

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vok::evaluation {

struct ANSWER_SET_ERROR : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Turns one model line of clingo's text output ("-q u'P(a) s'x'20y(\"b\")")
// into an answer-set line without its line end ("{-q, P(a), \"x y\"(\"b\")}"):
// names decoded, strings unescaped, atoms sorted by their text (byte order)
// and separated by ", ". Throws ANSWER_SET_ERROR for a line that is not
// a list of atoms. With dataNames (the names of the predicates written as
// data, by id), an atom g'F(id,t1,...,tk) is read back as the named atom.
std::string formatAnswerSet(std::string_view clingoModel,
                            const std::vector<std::string>* dataNames = nullptr);

// How the models of a run make the one answer-set line printed at its end,
// instead of each being printed: NONE prints each; LAST keeps the last one
// (clingo's own consequence enumeration, whose last model is the
// consequences); UNION and INTERSECTION fold all of them (the brave and
// cautious consequences of the answer sets the one-run script prints).
enum class FOLD { NONE, LAST, UNION, INTERSECTION };

// What is known of clingo's standard output so far. It is split into lines,
// and the models picked out: in clingo's text output a model is the line
// after "Answer: N".
struct OUTPUT_READER {
    std::string buffer;        // the start of a line not yet whole
    std::size_t scan = 0;      // where buffer may hold a line end
    bool expectModel = false;  // the next line is a model
    std::size_t answerSets = 0;
    bool closed = false;       // the one-run script's closing line came last (but
                               // for clingo's result line and summary)
    bool interrupted = false;  // the one-run script said a search was interrupted
    std::string error;         // why reading stopped
    // The names of the predicates written as data (see formatAnswerSet).
    const std::vector<std::string>* dataNames = nullptr;
    // What follows the result line (SATISFIABLE, UNKNOWN, ...): clingo's
    // summary and, with --stats, its statistics.
    bool afterResult = false;
    std::string summary;
    bool timeLimitReached = false;  // clingo's summary says it stopped at its time limit
    bool outputClosed = false;      // emit failed because no one reads our output any more
    FOLD fold = FOLD::NONE;
    // FOLD::LAST: the last model as clingo printed it, read once clingo
    // finished (the models before it are dropped unread).
    std::string last;
    std::vector<std::string> folded;  // UNION, INTERSECTION: the atoms so far, sorted
    // FOLD::LAST: atoms in clingo's output form, separated by blanks, that
    // join the last model (those the text left out as true in every
    // answer set).
    std::string_view settled;
};

// The answer-set line ("{a, b}\n") that the models of a folding run make;
// meaningful once at least one model was read. Throws ANSWER_SET_ERROR
// when the last model of FOLD::LAST cannot be read.
std::string FoldedAnswerSet(const OUTPUT_READER& reader);

// Takes the next chunk of output and hands each model it completes to emit,
// formatted and ending in "\n". False when a model could not be read, or
// emit could not write it (error says which).
bool feedOutput(OUTPUT_READER& reader, const char* data, std::size_t size,
                const std::function<bool(std::string_view)>& emit);

}  // namespace vok::evaluation
