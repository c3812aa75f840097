// The names and lines vok writes are the ones its evaluation programs
// take for vok's: temporary files as mkstemps fills in the template, test
// files made from them, and the declaration lines; the lines of a session
// and the names both sides spell read back as they were written.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "common/contract.hpp"

TEST(Contract, TestFileMarkGoesBeforeTheExtensionOfTheLastComponent) {
    EXPECT_EQ(TestFileName("/tmp/temp.vok", 3), "/tmp/temp_MM3.vok");
    EXPECT_EQ(TestFileName("/tmp/tempAbC123.vok", 1), "/tmp/tempAbC123_MM1.vok");
    EXPECT_EQ(TestFileName("out", 3), "out_MM3");
    EXPECT_EQ(TestFileName("./out", 1), "./out_MM1");
    EXPECT_EQ(TestFileName("run.d/prog.txt", 1), "run.d/prog_MM1.txt");
    EXPECT_EQ(TestFileName("run.d/prog", 12), "run.d/prog_MM12");
    EXPECT_EQ(TestFileName("a.b.c", 2), "a.b_MM2.c");
}

TEST(Contract, VoksTemporaryFilesAreToldFromTheUsers) {
    for (const char* f : {"/tmp/tempAb3xYz.vok", "tempAb3xYz.vok", "/tmp/tempAb3xYz_MM12.vok"})
        EXPECT_TRUE(IsVokTemporaryFile(f)) << f;
    for (const char* f :
         {"/tmp/out.vok", "/tmp/tempAb3xY.vok", "/tmp/tempAb3xYz_MM.vok", "/tmp/tempAb3xYz.lp",
          "/tmp/tempAb-xYz.vok", "/tmp/tempAb3xYz_x1.vok", "tempAb3xYz.vok/x"})
        EXPECT_FALSE(IsVokTemporaryFile(f)) << f;
}

TEST(Contract, FilesMadeFromTheTemplateAreVoks) {
    for (const std::string directory : {"/tmp", ""}) {
        const std::string pattern = TemporaryFileTemplate(directory);
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        const int fd = ::mkstemps(name.data(), static_cast<int>(TemporaryFileSuffix.size()));
        ASSERT_GE(fd, 0) << pattern;
        ::close(fd);
        const std::string made(name.data());
        ::unlink(made.c_str());
        EXPECT_TRUE(IsVokTemporaryFile(made)) << made;
        EXPECT_TRUE(IsVokTemporaryFile(TestFileName(made, 7))) << made;
        EXPECT_FALSE(IsVokTemporaryFile(TestFileName(made + ".txt", 7))) << made;
    }
}

TEST(Contract, DeclarationLines) {
    EXPECT_EQ(RejectionDeclaration("rej_P1_R0", 2, 3), "%vok:rejection rej_P1_R0 2 3\n");
    EXPECT_EQ(RejectionCountDeclaration(0), "%vok:rejections 0\n");
}

// The outcome line reads back as it was written; a reason keeps to its
// line; anything else is no outcome line.
TEST(Contract, OutcomeLines) {
    EXPECT_EQ(OutcomeLine({SOLVING_END::COMPLETE, {}}), "%vok:outcome complete\n");
    EXPECT_EQ(OutcomeLine({SOLVING_END::LIMITED, "ignored"}), "%vok:outcome limited\n");
    const std::string unfinished = OutcomeLine({SOLVING_END::UNFINISHED, "time\nlimit\r"});
    EXPECT_EQ(unfinished, "%vok:outcome unfinished time limit \n");
    for (SOLVING_END end : {SOLVING_END::COMPLETE, SOLVING_END::LIMITED, SOLVING_END::UNFINISHED}) {
        const std::string line = OutcomeLine({end, "clingo ended with status 65 (error)"});
        for (std::string_view text :
             {std::string_view(line), std::string_view(line).substr(0, line.size() - 1)}) {
            std::optional<SOLVING_OUTCOME> read = ReadOutcomeLine(text);
            ASSERT_TRUE(read) << text;
            EXPECT_EQ(read->end, end);
            EXPECT_EQ(read->reason,
                      end == SOLVING_END::UNFINISHED ? "clingo ended with status 65 (error)" : "");
        }
    }
    for (const char* other :
         {"%vok:outcome", "%vok:outcome ", "%vok:outcome completed", "%vok:outcome limited 3",
          "%vok:rejections 0", "{a}", " %vok:outcome complete"})
        EXPECT_FALSE(ReadOutcomeLine(other)) << other;
}

// ---- a session's lines ------------------------------------------------------

constexpr std::size_t MaxSize = static_cast<std::size_t>(-1);
constexpr unsigned MaxUnsigned = static_cast<unsigned>(-1);

TEST(SessionLines, CountsReadBackAtTheirLimitsAndNothingElseReads) {
    for (std::size_t n : {std::size_t(0), std::size_t(7), MaxSize}) {
        EXPECT_EQ(ReadStepLine(StepLine(n)), n);
        EXPECT_EQ(ReadProgramLine(ProgramLine(n)), n);
        EXPECT_FALSE(ReadStepLine(ProgramLine(n)));
    }
    for (const char* other : {"step", "step ", "step -1", "step +1", "step 1x", "step  1",
                              "steps 1", "step 18446744073709551616"})
        EXPECT_FALSE(ReadStepLine(other)) << other;
}

// Each answer line reads back as written and is of its own kind; a line
// whose fields do not read keeps its kind but gives nothing.
TEST(SessionLines, AnswerLinesReadBackAsWritten) {
    std::string changes;
    AppendBaseChangeLine(changes, true, "s(\"x y\")");
    AppendBaseChangeLine(changes, false, "-p");
    const std::string added = changes.substr(0, changes.find('\n') + 1);
    EXPECT_EQ(added, "+ s(\"x y\")\n");
    EXPECT_TRUE(ReadBaseChangeLine(added)->added);
    EXPECT_EQ(ReadBaseChangeLine(added)->atom, "s(\"x y\")");
    EXPECT_FALSE(ReadBaseChangeLine(changes.substr(added.size()))->added);
    EXPECT_FALSE(ReadBaseChangeLine("+p"));

    const std::string rejected = RejectedLine(MaxUnsigned, 0, 1, {"a", "\"x,y\""});
    EXPECT_EQ(rejected, "rejected 4294967295 0 1 (a,\"x,y\")\n");
    const std::optional<REJECTED_INSTANCE> r = ReadRejectedLine(rejected);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->program, MaxUnsigned);
    EXPECT_EQ(r->by, 1u);
    EXPECT_EQ(r->values, "(a,\"x,y\")");
    EXPECT_EQ(ReadRejectedLine(RejectedLine(0, 0, 0, {}))->values, "()");
    for (const char* bad : {"rejected 1 2 (a)", "rejected 1 2 3 a", "rejected 4294967296 0 0 ()",
                            "rejected -1 0 0 ()", "rejected 1 2 3  ()"})
        EXPECT_FALSE(ReadRejectedLine(bad)) << bad;

    const std::string infoLine = InfoLine(3, "solved in 0.1 s");
    const std::optional<INFO> info = ReadInfoLine(infoLine);
    EXPECT_EQ(info->step, 3u);
    EXPECT_EQ(info->text, "solved in 0.1 s");
    EXPECT_FALSE(ReadInfoLine("info step x: y")->step);
    EXPECT_EQ(ReadInfoLine("info step x: y")->text, "step x: y");

    for (const STEP_DONE done : {STEP_DONE{0, true}, STEP_DONE{MaxSize, false}}) {
        const std::optional<STEP_DONE> read = ReadDoneLine(DoneLine(done));
        ASSERT_TRUE(read);
        EXPECT_EQ(read->count, done.count);
        EXPECT_EQ(read->complete, done.complete);
    }
    for (const char* bad : {"done 1", "done 1 finished", "done x complete", "done 1 complete "})
        EXPECT_FALSE(ReadDoneLine(bad)) << bad;

    EXPECT_EQ(ReadFormLine(FormLine(PexaForm)), PexaForm);
    for (const char* bad : {"form", "form ", "form rox pexa", "forms rox"})
        EXPECT_FALSE(ReadFormLine(bad)) << bad;

    const std::vector<std::pair<std::string, SESSION_LINE>> kinds = {
        {FormLine(RoxForm), SESSION_LINE::FORM},  {added, SESSION_LINE::BASE_CHANGE},
        {"{a, b}", SESSION_LINE::ANSWER_SET},     {rejected, SESSION_LINE::REJECTED},
        {InfoLine(0, ""), SESSION_LINE::INFO},    {DoneLine({}), SESSION_LINE::DONE},
        {RefusalLine({}), SESSION_LINE::REFUSED}, {"Solving...", SESSION_LINE::OTHER}};
    for (const auto& [line, kind] : kinds) EXPECT_EQ(SessionLineKind(line), kind) << line;
}

// The place and the option that would remedy a refusal are fields of its
// line; a line without a place keeps its whole text as the reason.
TEST(SessionLines, RefusalsKeepPlaceReasonAndOption) {
    const REFUSAL maxint{2, 3, "\"+\" needs the largest integer",
                         std::string(LargestIntegerOption)};
    EXPECT_EQ(RefusalLine(maxint),
              "refused program 2 of the step, line 3: \"+\" needs the largest "
              "integer: give -N=<n>\n");
    for (const REFUSAL& sent : {maxint, REFUSAL{0, MaxUnsigned, "a: give me more", ""}}) {
        const std::optional<REFUSAL> read = ReadRefusalLine(RefusalLine(sent));
        ASSERT_TRUE(read);
        EXPECT_EQ(read->program, sent.program);
        EXPECT_EQ(read->line, sent.line);
        EXPECT_EQ(read->reason, sent.reason);
        EXPECT_EQ(read->option, sent.option);
    }
    for (const char* unplaced :
         {"refused no place", "refused program 0 of the step, line 1: x", "refused line x: y"}) {
        const std::optional<REFUSAL> read = ReadRefusalLine(unplaced);
        EXPECT_EQ(read->line, 0u) << unplaced;
        EXPECT_EQ(read->program, 0u) << unplaced;
        EXPECT_EQ("refused " + read->reason, unplaced);
    }
    EXPECT_EQ(RemedyThroughVok(LargestIntegerOption), "run vok with -o=-N=<n>");
}

// ---- names --------------------------------------------------------------------

TEST(Names, PexaNegationAndBuiltins) {
    std::string pexa;
    AppendPexaName(pexa, "-p");
    EXPECT_EQ(pexa, "NEG_p");
    EXPECT_EQ(InputNameOfPexa(pexa), "-p");
    EXPECT_EQ(InputNameOfPexa("p"), "p");
    EXPECT_EQ(InputNameOfPexa("NEG_"), "NEG_");  // the prefix alone names nothing negated
    for (std::size_t b = 0; b < BuiltinCount; ++b)
        EXPECT_EQ(BuiltinNumber(BuiltinSignatures[b].name), b);
    for (const char* other : {"=", "<>", "#in", "#succ(", ""}) EXPECT_FALSE(BuiltinNumber(other));
}

// Update and rejection names read back to their parts, clash suffixes and
// numbers at their limits included; a text that is no such name gives
// nothing, and one whose numbers have another spelling is not the name.
TEST(Names, UpdateNamesReadBackAtTheirLimits) {
    for (const auto& [base, program, suffix] :
         {std::tuple{"p", 0u, NoClashSuffix}, {"a_Pb", MaxUnsigned, 1u}, {"-q", 7u, MaxUnsigned}}) {
        std::string name = UpdateName(base, program);
        if (suffix != NoClashSuffix) AppendClashSuffix(name, suffix - 1);
        const std::optional<UPDATE_NAME_PARTS> parts = ReadUpdateName(name);
        ASSERT_TRUE(parts) << name;
        EXPECT_EQ(parts->base, base);
        EXPECT_EQ(parts->program, program);
        EXPECT_EQ(parts->suffix, suffix);
        EXPECT_TRUE(HasUpdateShape(name));
    }
    for (const char* bad : {"p", "_P1", "p_P", "p_P01", "p_P4294967296", "p_P1_x", "p_P1_01",
                            "p_P1_4294967295", "p_P-1"})
        EXPECT_FALSE(ReadUpdateName(bad)) << bad;

    std::string rejection;
    AppendRejectionName(rejection, MaxUnsigned, 0);
    AppendClashSuffix(rejection, 4);
    EXPECT_EQ(rejection, "rej_P4294967295_R0_4");
    const std::optional<REJECTION_NUMBERS> r = ReadRejectionName(rejection);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->program, MaxUnsigned);
    EXPECT_EQ(r->rule, 0u);
    EXPECT_EQ(r->suffix, 5u);
    for (const char* bad : {"rej_P1", "rej_P1_R", "rej_P_R1", "rej_P1_R2_R3", "rej_P1_R4294967296",
                            "rej_P1_R00", "mrej_P1_R2", "rej_p1_R2"})
        EXPECT_FALSE(ReadRejectionName(bad)) << bad;
    EXPECT_FALSE(HasUpdateShape("a_Px_P"));
    EXPECT_TRUE(HasUpdateShape("a_Px_P2y"));
}
