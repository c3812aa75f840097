// What vok writes to a session's evaluation program: each program of a
// step in the file form of the program type.
#include <sstream>

#include "driver/session/session_state.hpp"
#include "representation/rule.hpp"

namespace {

// A program in the file form of the program type, with the constraints
// that came with it (they hold for the whole sequence wherever they stand).
std::string programText(PROGRAM_TYPE type, const SEQUENCE& sequence, std::size_t program,
                        std::size_t firstConstraint, std::size_t endConstraint) {
    const bool pexa = type == PROGRAM_TYPE::PEXA;
    const NOTATION notation = NotationOf(type);
    const char* sep = pexa ? ",\n" : "\n";
    std::ostringstream out;
    if (pexa) out << "@SET FUNCTION\n@LP({\n";
    const RULES* rules = sequence.programs[program].rules.get();
    bool any = rules && !rules->empty();
    if (any) PrintList(out, *rules, sep, notation);
    if (endConstraint > firstConstraint) {
        if (any) out << sep;
        const CONSTRAINT* constraints = sequence.constraints.data();
        PrintList(out, constraints + firstConstraint, constraints + endConstraint, sep, notation);
        any = true;
    }
    if (any) out << "\n";
    if (pexa) out << "})\n";
    return out.str();
}

}  // namespace

// The text of each program from first on; the new constraints go with the
// last.
std::vector<std::string> StepPrograms(PROGRAM_TYPE type, const SEQUENCE& sequence,
                                      std::size_t first, std::size_t firstConstraint) {
    std::vector<std::string> programs;
    const std::size_t count = sequence.programs.size();
    for (std::size_t i = first; i < count; ++i) {
        const std::size_t end = i + 1 == count ? sequence.constraints.size() : 0;
        programs.push_back(programText(type, sequence, i, firstConstraint, end));
    }
    return programs;
}

// The step line, then the program line and the text of each program.
void AppendStep(std::string& message, const std::vector<std::string>& programs) {
    message += StepLine(programs.size());
    for (const std::string& text : programs) message += ProgramLine(text.size()) + text;
}

// The programs are with the evaluation program now; their rules are needed
// no longer (an explanation reads the rules' origins).
void ForgetRules(SEQUENCE& sequence, std::size_t first) {
    for (std::size_t i = first; i < sequence.programs.size(); ++i)
        if (sequence.programs[i].rules) RULES().swap(*sequence.programs[i].rules);
}
