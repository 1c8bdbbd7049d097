// The stand-in program and the exit-code runner that the tests of every program rely on.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/ProcessSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using ztest::TempDir;
using ztest::U;

TEST(ExitRunner, PrintsTheWholeExitCodeAndPassesArgumentsUnchanged) {
    TempDir dir;
    // Installed like a suite program, under a name with a blank in its folder.
    const std::wstring exe = dir / L"my root\\bin\\zvrunner-target.exe";
    ztest::InstallStandIn(exe, {{702, 0, -1, 0xC0000005LL}, {}});
    const struct {
        const char* name;
        std::wstring args;
        unsigned long exitCode;
    } rows[] = {
        {"above 255", L"/id:alice /password:\"s3 cret\"", 702},
        {"zero", L"", 0},
        {"all bits", L"  two blanks", 0xFFFFFFFFul},
        {"crash code", L"/mode:auto", 0xC0000005ul},
    };
    for (const auto& r : rows) {
        const ztest::RunnerResult result = ztest::RunThroughRunner(exe, r.args);
        EXPECT_TRUE(result.ran) << r.name << ": " << result.output;
        EXPECT_EQ(result.exitCode, r.exitCode) << r.name;
    }
    const std::vector<ztest::StandInRun> runs = ztest::StandInRuns(exe);
    ASSERT_EQ(runs.size(), std::size(rows));
    for (size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(U(runs[i].commandLine), U(L" " + rows[i].args)) << rows[i].name;
        EXPECT_EQ(runs[i].startFlags & (STARTF_USESHOWWINDOW | STARTF_FORCEOFFFEEDBACK), 0x81u) << rows[i].name;
    }
}

TEST(ExitRunner, ProgramThatCannotStartIsReported) {
    TempDir dir;
    const ztest::RunnerResult result = ztest::RunThroughRunner(dir / L"missing.exe", L"/a");
    EXPECT_FALSE(result.ran) << result.output;
}

TEST(StandIn, ScriptRepeatsItsLastEntryAndRecordsEveryRun) {
    TempDir dir;
    const std::wstring exe = dir / L"zvscripted.exe";
    ztest::InstallStandIn(exe, {{3, 4}, {0, 50}});
    const DWORD expected[] = {3, 4, 4};
    const std::wstring work = dir.path();
    for (DWORD code : expected) {
        ztest::ChildProcess child(exe, L"tab\there, 100% sure\r\nnext line", work);
        DWORD got = 99;
        ASSERT_TRUE(child.Wait(30000, &got));
        EXPECT_EQ(got, code);
    }
    const std::vector<ztest::StandInRun> runs = ztest::StandInRuns(exe);
    ASSERT_EQ(runs.size(), std::size(expected));
    for (const ztest::StandInRun& run : runs) {
        EXPECT_EQ(U(run.commandLine), U(L"\"" + exe + L"\" tab\there, 100% sure\r\nnext line"));
        EXPECT_EQ(U(run.workingFolder), U(work));
        EXPECT_NE(run.processId, 0u);
    }
    // A fresh install forgets the runs of the copy before it.
    ztest::InstallStandIn(exe);
    EXPECT_TRUE(ztest::StandInRuns(exe).empty());
}

}  // namespace
