#include "driver/session/session.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <tuple>

#include "base/exits.hpp"
#include "common/contract.hpp"
#include "common/pipe_channel.hpp"
#include "driver/output/answer_atom.hpp"
#include "driver/output/answers.hpp"
#include "driver/output/explain.hpp"
#include "driver/output/goal.hpp"
#include "driver/output/goal_pattern.hpp"
#include "driver/run/process.hpp"
#include "driver/session/answer_changes.hpp"
#include "driver/session/directive.hpp"
#include "driver/session/sequence_file.hpp"
#include "driver/session/session_base.hpp"
#include "driver/session/session_state.hpp"
#include "driver/session/terminal.hpp"
#include "driver/show.hpp"
#include "input/blocks.hpp"
#include "input/parser.hpp"
#include "input/take_block.hpp"

namespace {

const char* const StdinName = "<stdin>";

// ---- what vok prints ----------------------------------------------------------

std::ostream& verbose() { return std::cout; }

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The answer to step `number` is complete; directive names the directive
// it answers, if any.
void finishStep(const SESSION_STATE& s, STEP_ANSWER& step, unsigned number,
                std::chrono::steady_clock::time_point start, const char* directive = nullptr) {
    STEP_OUTCOME end{number, step.complete, std::nullopt, directive};
    if (s.settings.run.verbose) end.seconds = secondsSince(start);
    FinishStep(end, step.goal);
}

// Whether a line read so far ends inside a quoted string: only the lines
// that hold atoms may go on (a string of the input may hold a line end,
// and no quote).
bool insideString(const std::string& line) {
    return HoldsAtoms(SessionLineKind(line)) && std::count(line.begin(), line.end(), '"') % 2 == 1;
}

// The next line the evaluation program wrote, without its line end; a line
// end inside a quoted string belongs to the line. False at the end of its
// output.
bool readChildLine(SESSION_STATE& s, std::string& line) {
    if (!ReadChannelLine(s.child, line)) return false;
    std::string more;
    while (insideString(line) && ReadChannelLine(s.child, more)) line += '\n' + more;
    return true;
}

// Closes the evaluation program's standard input, reads what it still
// writes, and waits for it; its exit code, or 128 + the signal that ended
// it.
int finishChild(SESSION_STATE& s) {
    CloseChannelInput(s.child);
    std::string rest;
    while (readChildLine(s, rest)) {
    }
    const int status = FinishProgramChannel(s.child);
    if (status == -1) return 1;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return 1;
}

// The evaluation program went away in the middle of a step: the session
// ends with its status.
[[noreturn]] void childEnded(SESSION_STATE& s) {
    std::cout.flush();
    std::cerr << "The evaluation program ended during step " << s.step << "." << std::endl;
    StepFailed(s.step);
    const int status = finishChild(s);
    throw END_OF_RUN{status == 0 ? 1 : status};
}

// Progress of the evaluation program, in vok's words for the step it
// answers (its own count of steps is that of the requests it was sent).
void printInfo(const INFO& info, unsigned step) {
    if (info.step) verbose() << "Step " << step << ": ";
    verbose() << info.text << std::endl;
}

std::string_view formOfPrograms(const SESSION_STATE& s) {
    return s.settings.run.programType == PROGRAM_TYPE::PEXA ? PexaForm : RoxForm;
}

// The evaluation program names its form before it answers step 0; one of
// another form would refuse every program vok writes, so the session ends
// there.
void checkForm(SESSION_STATE& s, std::string_view line) {
    const std::optional<std::string_view> theirs = ReadFormLine(line);
    const std::string_view ours = formOfPrograms(s);
    if (!theirs || *theirs == ours) return;
    const bool pexa = ours == PexaForm;
    std::cout.flush();
    std::cerr << "The evaluation program " << s.settings.program << " takes programs in " << *theirs
              << " form, not in " << ours << " form ("
              << (pexa ? "-P=pexa" : "-P=pexa was not given")
              << "): run vok with -p=" << (pexa ? "pexa-clingo" : "rox-clingo")
              << (*theirs == PexaForm ? ", or with -P=pexa for a propositional program" : "") << "."
              << std::endl;
    const int status = finishChild(s);
    throw END_OF_RUN{status == 0 ? 1 : status};
}

// Reads the answer to step `number` up to its "done" (or "refused") line.
STEP_ANSWER readAnswer(SESSION_STATE& s, unsigned number, const GOAL_QUESTION& question) {
    STEP_ANSWER step;
    step.goal = UnansweredGoal(question);
    // A ground goal is looked up among the atoms as the evaluation program
    // writes them.
    step.goalAtom = GoalAtomOf(step.goal, s.base.pexa);
    OPEN_ANSWER open;
    std::vector<std::string> added, removed;
    bool baseTaken = false;
    std::string line;
    for (;;) {
        if (!readChildLine(s, line)) childEnded(s);
        const SESSION_LINE kind = SessionLineKind(line);
        if (kind == SESSION_LINE::FORM) {
            checkForm(s, line);
            continue;
        }
        if (const std::optional<BASE_CHANGE> change = ReadBaseChangeLine(line)) {
            (change->added ? added : removed).emplace_back(change->atom);
            continue;
        }
        if (!baseTaken && kind != SESSION_LINE::INFO) {
            if (s.settings.changes) step.delta = BaseDelta(s, added, removed);
            ChangeBase(s.base, std::move(added), std::move(removed));
            baseTaken = true;
        }
        if (kind == SESSION_LINE::ANSWER_SET) {
            if (open.open) FinishAnswer(s, step, open);
            OpenAnswer(s, step.goal, open, line);
        } else if (kind == SESSION_LINE::REJECTED) {
            const std::optional<REJECTED_INSTANCE> rejected = ReadRejectedLine(line);
            if (open.open && rejected) NoteRejection(s, open, *rejected);
        } else if (kind == SESSION_LINE::INFO) {
            if (open.open) FinishAnswer(s, step, open);
            if (s.settings.run.verbose) printInfo(*ReadInfoLine(line), number);
        } else if (kind == SESSION_LINE::DONE) {
            if (open.open) FinishAnswer(s, step, open);
            // A "done" line that does not read still ends the step, which
            // then may miss answer sets.
            const std::optional<STEP_DONE> done = ReadDoneLine(line);
            step.complete = done && done->complete;
            return step;
        } else if (kind == SESSION_LINE::REFUSED) {
            step.refused = true;
            step.refusal = *ReadRefusalLine(line);
            return step;
        } else {
            // Text the protocol does not know is passed on, as a run passes
            // on what is no answer set.
            std::cout << line << '\n';
        }
    }
}

// Hands programs to the evaluation program as one step, answered as step
// `number`; the first step it gets begins with the form of the programs.
// question: the goal the step answers, the run's or a directive's.
STEP_ANSWER runStep(SESSION_STATE& s, const std::vector<std::string>& programs, unsigned number,
                    const GOAL_QUESTION& question) {
    std::string message = s.formSent ? std::string() : FormLine(formOfPrograms(s));
    s.formSent = true;
    AppendStep(message, programs);
    ShowInBase(s.base, s.settings.shown);
    // Begun before the write, so that a step whose write fails reports none
    // of the answer sets of the step before.
    BeginStep(number, question);
    if (!WriteToChannel(s.child, message)) childEnded(s);
    return readAnswer(s, number, question);
}

// A block dropped, or a directive refused, with the diagnostics it got.
void dropped(SESSION_STATE& s, unsigned line, bool directive = false) {
    ++s.dropped;
    DroppedBlock(s.step - 1, line, s.diagnostics, directive);
}

// The evaluation program's reason, with the remedy in vok's options. The
// line in the text vok wrote says nothing to the user of a one-program
// step; of several, the program and line are kept.
std::string refusalText(const REFUSAL& refusal) {
    std::string text = refusal.program ? RefusalPlace(refusal) + ": " : std::string();
    text += refusal.reason;
    if (!refusal.option.empty()) text += ": " + RemedyThroughVok(refusal.option);
    return text;
}

// ---- directives ----------------------------------------------------------------

// A directive that cannot be done: said on standard error as an input's
// error is, and answered as a dropped block is; the session goes on.
void refuseDirective(SESSION_STATE& s, unsigned line, const std::string& why) {
    s.parser->file = StdinName;
    s.parser->line = line;
    yyerror(*s.parser, why.c_str());
    dropped(s, line, true);
}

// The evaluation program of the session is ended and another one started,
// with nothing of the sequence yet.
void restartChild(SESSION_STATE& s) {
    const int status = finishChild(s);
    if (status != 0) {
        std::cerr << "The evaluation program ended with status " << status << "." << std::endl;
        throw END_OF_RUN{status};
    }
    s.base = BASE_SET();
    s.base.pexa = s.settings.run.programType == PROGRAM_TYPE::PEXA;
    s.formSent = false;
    std::cout.flush();
    if (!StartProgramChannel(s.commandWords, s.child)) {
        std::cerr << "Could not execute " << s.command << ". Aborting." << std::endl;
        throw END_OF_RUN{1};
    }
}

// #undo.: the last block taken is given back, and the sequence without it
// answered. The evaluation program's clingo cannot forget what it was
// given, so another evaluation program takes the remaining sequence as one
// step, grounded once.
void undoBlock(SESSION_STATE& s, unsigned line) {
    if (s.taken.empty())
        return refuseDirective(s, line, "#undo has no block to take back (the files remain)");
    const auto start = std::chrono::steady_clock::now();
    TAKEN_BLOCK last = std::move(s.taken.back());
    s.taken.pop_back();
    UndoLastBlock(*s.parser);
    s.settings.directives = std::move(last.directivesBefore);
    s.settings.shown = std::move(last.shownBefore);
    --s.step;
    std::vector<std::string> programs = s.filePrograms;
    for (const TAKEN_BLOCK& b : s.taken)
        programs.insert(programs.end(), b.programs.begin(), b.programs.end());
    if (s.settings.run.verbose)
        verbose() << "Step " << s.step - 1 << ": block of step " << s.step
                  << " taken back; the evaluation program is started again on the "
                  << programs.size()
                  << (programs.size() == 1 ? " program that remains." : " programs that remain.")
                  << std::endl;
    if (s.settings.changes)
        for (const BASE_SET::CHUNK& c : s.base.chunks)
            s.baseLeft.insert(s.baseLeft.end(), c.atoms.begin(), c.atoms.end());
    restartChild(s);
    STEP_ANSWER answer = runStep(s, programs, s.step - 1, s.settings.run.question());
    if (answer.refused) {
        std::cerr << "The evaluation program refused the sequence it took before: "
                  << refusalText(answer.refusal) << "." << std::endl;
        const int status = finishChild(s);
        throw END_OF_RUN{status == 0 ? 1 : status};
    }
    PrintHeld(s, answer, true);
    finishStep(s, answer, s.step - 1, start, "undo");
}

// #save "FILE".: the files, then every block taken, as one input.
void saveSequence(SESSION_STATE& s, const std::string& file, unsigned line) {
    std::string text = s.filesText;
    for (const TAKEN_BLOCK& b : s.taken) text += b.text + "\n";
    if (const std::optional<std::string> error = WriteFileWhole(file, text))
        return refuseDirective(s, line, "could not save to " + file + ": " + *error);
    SequenceSaved(s.step - 1, file);
}

// "invalid goal 'p(': unbalanced parenthesis at column 3"
std::string goalRefusal(const std::string& goal, const std::string& refusal) {
    std::string why = "invalid goal '" + goal + "'";
    const std::size_t second = refusal.find('\n');
    if (second == std::string::npos) return why;
    const std::size_t colon = refusal.find(": ", second);
    return why + ": " + refusal.substr(colon == std::string::npos ? second + 1 : colon + 2);
}

// #brave GOAL. and #cautious GOAL.: the goal over the answer sets of the
// sequence so far, which the evaluation program gives again for a step
// without programs.
void answerGoal(SESSION_STATE& s, const SESSION_DIRECTIVE& d, unsigned line) {
    if (const std::optional<std::string> refusal =
            GoalRefusal(d.argument, s.settings.run.invocation))
        return refuseDirective(s, line, goalRefusal(d.argument, *refusal));
    const bool brave = d.kind == SESSION_DIRECTIVE::BRAVE;
    STEP_ANSWER answer = runStep(s, {}, s.step - 1, GOAL_QUESTION{brave, !brave, d.argument});
    if (answer.refused)
        return refuseDirective(
            s, line,
            "the evaluation program refused the goal's step: " + refusalText(answer.refusal));
    PrintHeld(s, answer, false);
    GoalAnswered(s.step - 1, answer.goal, answer.complete);
}

void sessionDirective(SESSION_STATE& s, const INPUT_BLOCK& line) {
    const SESSION_DIRECTIVE d = ReadSessionDirective(line.text);
    switch (d.kind) {
        case SESSION_DIRECTIVE::UNDO: return undoBlock(s, line.line);
        case SESSION_DIRECTIVE::SAVE: return saveSequence(s, d.argument, line.line);
        case SESSION_DIRECTIVE::BRAVE:
        case SESSION_DIRECTIVE::CAUTIOUS: return answerGoal(s, d, line.line);
        case SESSION_DIRECTIVE::REFUSED: return refuseDirective(s, line.line, d.refusal);
    }
}

// ---- blocks --------------------------------------------------------------------

// One block of standard input as the next step, or dropped.
void takeBlock(SESSION_STATE& s, const INPUT_BLOCK& block) {
    const auto start = std::chrono::steady_clock::now();
    PARSER& parser = *s.parser;
    SEQUENCE& sequence = parser.sequence;
    parser.file = StdinName;
    if (block.kind == INPUT_BLOCK::STRAY && IsDirectiveLine(block.text))
        return sessionDirective(s, block);
    if (block.kind == INPUT_BLOCK::STRAY) {
        parser.line = block.line;
        yyerror(parser, "parse error");
        dropped(s, block.line);
        return;
    }
    const std::size_t first = sequence.programs.size();
    const std::size_t firstConstraint = sequence.constraints.size();
    // A block the evaluation program refuses is dropped whole: its #const
    // and #show go with it.
    INPUT_DIRECTIVES directivesBefore = s.settings.directives;
    SHOWN_PREDICATES shownBefore = s.settings.shown;
    if (!TakeBlock(parser, block.text, block.line, s.settings.directives)) {
        // The parser names where it ran out of input, which is not where
        // the block without its "}" began.
        if (!block.closed) {
            parser.line = block.line;
            yyerror(parser, "the block opened here has no closing '}'");
        }
        dropped(s, block.line);
        return;
    }
    if (s.settings.directives.showSeen) s.settings.shown.also(s.settings.directives.shown);
    if (s.settings.run.verbose) {
        const UPDATE_PROGRAM& program = sequence.programs.back();
        const std::size_t rules = program.rules ? program.rules->size() : 0;
        verbose() << "Step " << s.step << ": program " << first << " from " << StdinName << " line "
                  << block.line << ", " << rules << (rules == 1 ? " rule" : " rules") << " and "
                  << sequence.constraints.size() - firstConstraint << " constraints." << std::endl;
    }
    std::vector<std::string> programs =
        StepPrograms(s.settings.run.programType, sequence, first, firstConstraint);
    STEP_ANSWER answer = runStep(s, programs, s.step, s.settings.run.question());
    if (answer.refused) {
        UndoLastBlock(parser);
        s.settings.directives = std::move(directivesBefore);
        s.settings.shown = std::move(shownBefore);
        parser.line = block.line;
        yyerror(
            parser,
            ("the evaluation program refused the block: " + refusalText(answer.refusal)).c_str());
        dropped(s, block.line);
        return;
    }
    ForgetRules(sequence, first);
    s.taken.push_back(TAKEN_BLOCK{block.text, std::move(programs), std::move(directivesBefore),
                                  std::move(shownBefore)});
    PrintHeld(s, answer, true);
    finishStep(s, answer, s.step, start);
    ++s.step;
}

// One block or directive line, its diagnostics noted for the answer that
// drops it.
void takeNoted(SESSION_STATE& s, const INPUT_BLOCK& block) {
    s.diagnostics.clear();
    s.parser->notes = &s.diagnostics;
    try {
        takeBlock(s, block);
    } catch (...) {
        s.parser->notes = nullptr;
        throw;
    }
    s.parser->notes = nullptr;
}

// The prompt for a person who types the session: the number of the step
// that the next block would be, or that a block is open.
std::string promptText(const SESSION_STATE& s, const BLOCK_SCANNER& scanner) {
    return InsideBlock(scanner) ? "...> " : "vok " + std::to_string(s.step) + "> ";
}

// A short prompt on standard error when a person types the blocks.
void prompt(const SESSION_STATE& s, const BLOCK_SCANNER& scanner) {
    if (!::isatty(STDIN_FILENO)) return;
    std::cout.flush();
    std::cerr << promptText(s, scanner) << std::flush;
}

// The next piece of standard input: its size, 0 at its end, -1 when it
// cannot be read (errno says why). A descriptor that another process left
// non-blocking is waited on, which is no failure.
ssize_t readInput(char* chunk, std::size_t size) {
    for (;;) {
        const ssize_t r = ReadSome(STDIN_FILENO, chunk, size);
        if (r >= 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) return r;
        pollfd in{STDIN_FILENO, POLLIN, 0};
        if (PollRetrying(&in, 1, -1) < 0) return -1;
    }
}

// Takes the blocks of standard input up to its end. A read that fails ends
// the input too, but is said, with the system's reason: false then.
bool readBlocks(SESSION_STATE& s) {
    BLOCK_SCANNER scanner;
    std::vector<INPUT_BLOCK> blocks;
    const auto take = [&](std::string_view piece) {
        ScanBlocks(scanner, piece, blocks);
        for (const INPUT_BLOCK& b : blocks) takeNoted(s, b);
        blocks.clear();
    };
    char chunk[1 << 16];
    int failure = s.inputClosed ? EBADF : 0;
    if (failure == 0 && EditsLines()) {
        std::cout.flush();
        for (std::string line; ReadEditedLine(promptText(s, scanner), line);) take(line);
        EndLineEditing();
    }
    while (failure == 0 && !EditsLines()) {
        prompt(s, scanner);
        const ssize_t r = readInput(chunk, sizeof chunk);
        if (r < 0) failure = errno;
        if (r <= 0) break;
        take(std::string_view(chunk, static_cast<std::size_t>(r)));
    }
    FinishBlocks(scanner, blocks);
    for (const INPUT_BLOCK& b : blocks) takeNoted(s, b);
    if (::isatty(STDIN_FILENO)) std::cerr << std::endl;
    if (failure == 0) return true;
    std::cout.flush();
    std::cerr << "Could not read standard input: " << std::strerror(failure) << "." << std::endl;
    return false;
}

// The evaluation program and its arguments: the words of -o=, then what
// the session asks of it. They go to it as they are, no shell between.
std::vector<std::string> sessionCommand(const SESSION_SETTINGS& settings) {
    std::vector<std::string> command = SplitOptions(settings.options);
    command.insert(command.begin(), settings.program);
    command.push_back("--session");
    const RUN_SETTINGS& run = settings.run;
    if (run.strict) command.push_back("--minimal=strict");
    else if (run.minimal) command.push_back("--minimal=min");
    if (run.models) command.push_back("-n=" + std::to_string(run.models));
    if (run.explain) command.push_back("--explain");
    if (run.verbose) command.push_back("--verbose");
    return command;
}

// The command as vok names it in its messages: the words joined by blanks.
std::string commandText(const std::vector<std::string>& command) {
    std::string text;
    for (const std::string& word : command) text += (text.empty() ? "" : " ") + word;
    return text;
}

// The files as #save writes them, read once the parser took them: the
// session's sequence is what they held then.
std::string filesText(const std::vector<std::string>& files) {
    std::string text;
    for (const std::string& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        AppendInputText(text, content.str());
    }
    return text;
}

// The files hold what a run would stop on before solving.
void checkFiles(const RUN_SETTINGS& run, PARSER& parser) {
    if (run.programType == PROGRAM_TYPE::PEXA && !parser.sequence.propositional) {
        std::cerr << "Sorry, PEXA cannot process first order programs! Aborting." << std::endl;
        throw END_OF_RUN{1};
    }
    if (!CheckComplementArities(parser, 0, 0, 0)) {
        std::cerr << "Aborting due to parser errors." << std::endl;
        throw END_OF_RUN{1};
    }
}

}  // namespace

void CheckSessionOptions(const RUN_SETTINGS& run, const std::string& program, bool readStdin,
                         bool timeLimit) {
    std::vector<std::string> refused;
    if (run.store) refused.push_back("-f=");
    if (readStdin) refused.push_back("-stdin");
    if (run.integral) refused.push_back("-integral");
    if (run.wait) refused.push_back("-wait");
    // The summary and the time limit speak of one run; a session has many
    // steps, and the evaluation program's one clingo lives through all.
    if (run.stats) refused.push_back("--stats");
    if (timeLimit) refused.push_back("--time-limit=");
    if (!refused.empty()) {
        std::string names;
        for (std::size_t i = 0; i < refused.size(); ++i)
            names += (i == 0 ? "" : i + 1 == refused.size() ? " and " : ", ") + refused[i];
        std::cerr << "--session cannot be combined with " << names << "." << std::endl;
        throw END_OF_RUN{1, END_OF_RUN::AT_ONCE};
    }
    if (program.empty()) {
        std::cerr << "--session needs the evaluation program: give -p=<prog>." << std::endl;
        throw END_OF_RUN{1, END_OF_RUN::AT_ONCE};
    }
    if (!run.readsAnswerSets()) {
        std::cerr << "--session needs the program type rox or pexa (-P=)." << std::endl;
        throw END_OF_RUN{1, END_OF_RUN::AT_ONCE};
    }
}

void RunSession(const SESSION_SETTINGS& settings, PARSER& parser) {
    const auto start = std::chrono::steady_clock::now();
    checkFiles(settings.run, parser);
    SESSION_STATE s;
    s.parser = &parser;
    // Known before the pipes to the evaluation program are made, which
    // could take the number of a closed standard input.
    s.inputClosed = ::fcntl(STDIN_FILENO, F_GETFD) < 0 && errno == EBADF;
    s.settings = settings;
    s.base.pexa = settings.run.programType == PROGRAM_TYPE::PEXA;
    s.filesText = filesText(settings.files);
    s.commandWords = sessionCommand(settings);
    s.command = commandText(s.commandWords);
    if (settings.run.verbose) verbose() << "Executing " << s.command << " ..." << std::endl;
    std::cout.flush();
    if (!StartProgramChannel(s.commandWords, s.child)) {
        std::cerr << "Could not execute " << s.command << ". Aborting." << std::endl;
        throw END_OF_RUN{1};
    }
    if (settings.run.verbose)
        verbose() << "Step 0: " << parser.sequence.programs.size() << " programs from the files."
                  << std::endl;
    s.filePrograms = StepPrograms(settings.run.programType, parser.sequence, 0, 0);
    STEP_ANSWER answer = runStep(s, s.filePrograms, 0, settings.run.question());
    if (answer.refused) {
        std::cerr << "The evaluation program refused the files: " << refusalText(answer.refusal)
                  << "." << std::endl;
        const int status = finishChild(s);
        throw END_OF_RUN{status == 0 ? 1 : status};
    }
    ForgetRules(parser.sequence, 0);
    PrintHeld(s, answer, true);
    finishStep(s, answer, 0, start);
    ++s.step;
    const bool inputRead = readBlocks(s);
    const int status = finishChild(s);
    if (status != 0) {
        std::cerr << "The evaluation program ended with status " << status << "." << std::endl;
        throw END_OF_RUN{status};
    }
    throw END_OF_RUN{s.dropped || !inputRead ? 1 : 0};
}
