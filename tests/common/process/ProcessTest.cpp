#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "common/process/Process.h"
#include "common/process/ProcessText.h"
#include "tests/support/ProcessSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using ztest::ChildProcess;
using ztest::StandInRun;
using ztest::StandInScript;
using ztest::TempDir;
using ztest::U;

constexpr unsigned kLongDelayMs = 120000;

// A name that no other test process carries, so ending programs by name stays inside this test.
std::wstring UniqueName(const std::wstring& stem) {
    static int counter = 0;
    return stem + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
}

std::wstring Helper() { return ztest::TestProgram(L"zvproc_helper.exe"); }

std::wstring CurrentFolder() {
    wchar_t buffer[4096];
    const DWORD n = ::GetCurrentDirectoryW(4096, buffer);
    return std::wstring(buffer, n < 4096 ? n : 0);
}

// Runs the process helper with `args` and gives its exit code.
DWORD RunHelper(const std::wstring& args) {
    ChildProcess child(Helper(), args);
    DWORD code = 99;
    EXPECT_TRUE(child.Wait(30000, &code)) << U(args);
    return code;
}

// Waits for the process with this id to end; true when it has (or is already gone).
bool WaitForEnd(DWORD processId, DWORD timeoutMs) {
    UniqueHandle process(::OpenProcess(SYNCHRONIZE, FALSE, processId));
    return !process || ::WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0;
}

bool MutexExists(const std::wstring& name) {
    return static_cast<bool>(UniqueHandle(::OpenMutexW(SYNCHRONIZE, FALSE, name.c_str())));
}

TEST(ProcessFolders, ProgramFindsItsFolderAndRoot) {
    // This test program sits in <build>\tests, as a suite program sits in <root>\bin.
    EXPECT_TRUE(NamesEqualNoCase(GetModuleFolder(), ztest::BinaryDir() + L"\\tests")) << U(GetModuleFolder());
    EXPECT_TRUE(NamesEqualNoCase(GetInstallRoot(), ztest::BinaryDir())) << U(GetInstallRoot());
}

TEST(RunProgram, WaitsAndGivesTheWholeExitCode) {
    TempDir dir;
    const std::wstring exe = dir / L"bin\\zvrun.exe";
    const std::wstring longArgs = L"/id:alice /password:\"a b\"\t%41 " + std::wstring(3000, L'x') + L" /end";
    struct Row {
        const char* name;
        std::wstring args;
        int show;
        long long exitCode;
        unsigned long flags;  // the start-up flags the program sees
        unsigned showWindow;
    };
    const Row rows[] = {
        {"options, shown", L"/id:alice /password:s3cret", SW_SHOW, 0, 0x81, SW_SHOW},
        {"empty arguments", L"", SW_SHOW, 702, 0x81, SW_SHOW},
        {"default show state, leading blank kept", L" /mode:auto", 0, 1, 0x80, 0},
        {"other show values leave the default", L"/x", SW_SHOWNORMAL, 303, 0x80, 0},
        {"long line, not cut, high exit code", longArgs, SW_SHOW, 0xC0000005LL, 0x81, SW_SHOW},
    };
    StandInScript script;
    for (const Row& r : rows) script.exitCodes.push_back(r.exitCode);
    ztest::InstallStandIn(exe, script);

    for (const Row& r : rows) {
        EXPECT_EQ(RunProgramWithArgs(exe, r.args, r.show, false), static_cast<int>(r.exitCode)) << r.name;
    }
    const std::vector<StandInRun> runs = ztest::StandInRuns(exe);
    ASSERT_EQ(runs.size(), std::size(rows));
    for (size_t i = 0; i < runs.size(); ++i) {
        const Row& r = rows[i];
        EXPECT_EQ(U(runs[i].commandLine), U(L" " + r.args)) << r.name;
        EXPECT_EQ(runs[i].startFlags & (STARTF_USESHOWWINDOW | STARTF_FORCEOFFFEEDBACK), r.flags) << r.name;
        if (r.flags & STARTF_USESHOWWINDOW) {
            EXPECT_EQ(runs[i].showWindow, r.showWindow) << r.name;
        }
        EXPECT_TRUE(NamesEqualNoCase(runs[i].workingFolder, CurrentFolder())) << r.name;
    }
}

TEST(RunProgram, WithoutArgumentsTheProgramIsItsOwnCommandLine) {
    TempDir dir;
    const std::wstring exe = dir / L"zvplain.exe";
    ztest::InstallStandIn(exe, {{7, 8}, {}});
    EXPECT_EQ(RunProgram(exe, SW_SHOW, false), 7);
    EXPECT_EQ(RunProgram(exe, 0, false), 8);
    const std::vector<StandInRun> runs = ztest::StandInRuns(exe);
    ASSERT_EQ(runs.size(), 2u);
    for (const StandInRun& run : runs) {
        std::wstring line = run.commandLine;
        if (line.size() >= 2 && line.front() == L'"' && line.back() == L'"') line = line.substr(1, line.size() - 2);
        EXPECT_TRUE(NamesEqualNoCase(line, exe)) << U(run.commandLine);
    }
    EXPECT_EQ(runs[0].startFlags & (STARTF_USESHOWWINDOW | STARTF_FORCEOFFFEEDBACK), 0x81u);
    EXPECT_EQ(runs[1].startFlags & (STARTF_USESHOWWINDOW | STARTF_FORCEOFFFEEDBACK), 0x80u);
}

TEST(RunProgram, ProgramThatCannotStartGivesMinusOne) {
    TempDir dir;
    ztest::WriteBytes(dir / L"notaprogram.exe", "plain text, not a program");
    ztest::InstallStandIn(dir / L"zvgood.exe");
    const struct {
        const char* name;
        std::wstring path;
    } rows[] = {
        {"missing file", dir / L"none\\missing.exe"},
        {"empty path", L""},
        {"not a program", dir / L"notaprogram.exe"},
        {"a folder", dir.path()},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(RunProgram(r.path, SW_SHOW, false), kRunFailed) << r.name;
        EXPECT_EQ(RunProgramWithArgs(r.path, L"/a", SW_SHOW, false), kRunFailed) << r.name;
        EXPECT_EQ(ShellRunProgram(dir.path(), r.path, L"/a", SW_SHOW, false), kRunFailed) << r.name;
    }
    // An argument text that cannot be passed whole starts nothing.
    const std::wstring cut(L"/id:a\0/password:b", 17);
    EXPECT_EQ(RunProgramWithArgs(dir / L"zvgood.exe", cut, SW_SHOW, false), kRunFailed);
    EXPECT_EQ(ShellRunProgram(dir.path(), dir / L"zvgood.exe", cut, SW_SHOW, false), kRunFailed);
    EXPECT_TRUE(ztest::StandInRuns(dir / L"zvgood.exe").empty());
}

TEST(RunProgram, NotWaitedForGivesStillActive) {
    TempDir dir;
    const std::wstring name = UniqueName(L"zvnowait");
    const std::wstring exe = dir / (name + L".exe");
    ztest::InstallStandIn(exe, {{5}, {kLongDelayMs}});
    EXPECT_EQ(RunProgram(exe, SW_SHOW, true), kStillRunning);
    EXPECT_EQ(RunProgramWithArgs(exe, L"/a", SW_SHOW, true), kStillRunning);
    EXPECT_EQ(ShellRunProgram(dir.path(), exe, L"/b", SW_SHOW, true), kStillRunning);
    ASSERT_TRUE(ztest::WaitForStandInRuns(exe, 3));
    KillProcessesByName(name);
    for (const StandInRun& run : ztest::StandInRuns(exe)) EXPECT_TRUE(WaitForEnd(run.processId, 10000));
}

TEST(RunProgram, StopEventEndsTheWaitAndTheProgram) {
    TempDir dir;
    const std::wstring exe = dir / (UniqueName(L"zvstop") + L".exe");
    // Run 1 ends by itself with 702; run 2 would take two minutes.
    ztest::InstallStandIn(exe, {{702, 5}, {0, kLongDelayMs}});
    UniqueHandle stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(stop);
    EXPECT_EQ(RunProgramWithArgsUntil(exe, L"/a", SW_SHOW, stop.get()), 702);

    std::thread setter([&] {
        ztest::WaitForStandInRuns(exe, 2);
        ::SetEvent(stop.get());
    });
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(RunProgramWithArgsUntil(exe, L"/b", SW_SHOW, stop.get()), 0);
    setter.join();
    EXPECT_LT(::GetTickCount64() - start, 30000u);
    const std::vector<StandInRun> runs = ztest::StandInRuns(exe);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_TRUE(WaitForEnd(runs[1].processId, 0));  // ended before the call returned

    // Already set: nothing starts.
    EXPECT_EQ(RunProgramWithArgsUntil(exe, L"/c", SW_SHOW, stop.get()), 0);
    EXPECT_EQ(ztest::StandInRuns(exe).size(), 2u);
}

TEST(ShellRunProgram, StartsInTheFolderAndGivesTheExitCode) {
    TempDir dir;
    const std::wstring exe = dir / L"bin\\zvshell.exe";
    const std::wstring work = dir / L"work folder";
    ASSERT_TRUE(::CreateDirectoryW(work.c_str(), nullptr));
    ztest::InstallStandIn(exe, {{702, 0}, {}});
    const std::wstring longArgs = L"/check " + std::wstring(2000, L'z');
    EXPECT_EQ(ShellRunProgram(work, exe, L"/mode:auto /x", SW_SHOW, false), 702);
    EXPECT_EQ(ShellRunProgram(work, exe, longArgs, SW_HIDE, false), 0);
    const std::vector<StandInRun> runs = ztest::StandInRuns(exe);
    ASSERT_EQ(runs.size(), 2u);
    const std::wstring tails[] = {L" /mode:auto /x", L" " + longArgs};
    const unsigned shows[] = {SW_SHOW, SW_HIDE};
    for (size_t i = 0; i < runs.size(); ++i) {
        const std::wstring& line = runs[i].commandLine;
        EXPECT_TRUE(line.size() >= tails[i].size() && line.compare(line.size() - tails[i].size(), tails[i].size(),
                                                                   tails[i]) == 0)
            << U(line);
        EXPECT_TRUE(NamesEqualNoCase(runs[i].workingFolder, work)) << U(runs[i].workingFolder);
        EXPECT_EQ(runs[i].showWindow, shows[i]);
    }
}

// Ends the named programs and leaves the others: four stand-ins run, two of them under the name itself
// (in two cases), two under names that contain it. The name rules in full are tested on the text alone.
TEST(KillProcessesByName, EndsOnlyProgramsOfExactlyThatName) {
    TempDir dir;
    const std::wstring base = UniqueName(L"zvkill");
    std::wstring upper = base;
    for (wchar_t& c : upper) c = static_cast<wchar_t>(::towupper(c));
    const std::wstring copies[] = {
        dir / (L"a\\" + base + L".exe"),
        dir / (L"b\\" + upper + L".EXE"),
        dir / (base + L"x.exe"),
        dir / (L"x" + base + L".exe"),
    };
    constexpr size_t kExactCopies = 2;
    for (const std::wstring& copy : copies) ztest::InstallStandIn(copy, {{9}, {kLongDelayMs}});

    struct Row {
        const char* name;
        std::wstring wanted;
        bool endsExact;
    };
    const Row rows[] = {
        {"empty name", L"", false},
        {"part of the name", base.substr(0, base.size() - 1), false},
        {"exact name without .exe", base, true},
        {"other case with .EXE", upper + L".EXE", true},
    };
    std::unique_ptr<ChildProcess> children[std::size(copies)];
    size_t starts[std::size(copies)] = {};
    for (const Row& r : rows) {
        for (size_t i = 0; i < std::size(copies); ++i) {
            if (children[i] && children[i]->Running()) continue;
            children[i] = std::make_unique<ChildProcess>(copies[i]);
            ASSERT_TRUE(ztest::WaitForStandInRuns(copies[i], ++starts[i])) << r.name;
        }
        KillProcessesByName(r.wanted);
        for (size_t i = 0; i < kExactCopies; ++i) {
            DWORD code = 99;
            if (r.endsExact) {
                EXPECT_TRUE(children[i]->Wait(10000, &code)) << r.name << ": " << U(copies[i]);
                EXPECT_EQ(code, 0u) << r.name;
            }
        }
        ::Sleep(300);
        for (size_t i = 0; i < std::size(copies); ++i) {
            if (i < kExactCopies && r.endsExact) continue;
            EXPECT_TRUE(children[i]->Running()) << r.name << ": " << U(copies[i]);
        }
    }
}

TEST(KillProcessesByName, NeverEndsTheCallingProcess) {
    const std::wstring self = GetModuleFilePath();
    ASSERT_FALSE(self.empty());
    const std::wstring file = self.substr(self.rfind(L'\\') + 1);
    std::wstring stem = file.substr(0, file.size() - 4);
    for (wchar_t& c : stem) c = static_cast<wchar_t>(::towupper(c));

    // Another program of the same name ends; this one goes on.
    TempDir dir;
    const std::wstring twin = dir / file;
    ztest::InstallStandIn(twin, {{9}, {kLongDelayMs}});
    for (const std::wstring& wanted : {file, stem}) {
        ChildProcess child(twin);
        ASSERT_TRUE(ztest::WaitForStandInRuns(twin, ztest::StandInRuns(twin).size() + 1));
        KillProcessesByName(wanted);
        DWORD code = 99;
        EXPECT_TRUE(child.Wait(10000, &code)) << U(wanted);
        EXPECT_EQ(code, 0u);
    }
}

TEST(InstanceMutex, ClaimKeepsTheNameForTheLifeOfTheProcess) {
    const std::wstring name = UniqueName(L"zvtest-claim-");
    EXPECT_FALSE(ClaimInstanceMutex(name));
    EXPECT_TRUE(MutexExists(name));
    EXPECT_TRUE(ProbeInstanceMutex(name));
    // Other processes see this one as the running instance.
    EXPECT_EQ(RunHelper(L"probe " + name), 1u);
    EXPECT_EQ(RunHelper(L"claim " + name + L" 0"), 1u);
}

TEST(InstanceMutex, HolderInAnotherProcessUntilItEnds) {
    const std::wstring name = UniqueName(L"zvtest-holder-");
    ChildProcess holder(Helper(), L"claim " + name + L" 120000");
    const ULONGLONG end = ::GetTickCount64() + 30000;
    while (!ProbeInstanceMutex(name) && ::GetTickCount64() < end) ::Sleep(20);
    ASSERT_TRUE(ProbeInstanceMutex(name));
    EXPECT_EQ(RunHelper(L"probe " + name), 1u);
    EXPECT_EQ(RunHelper(L"claim " + name + L" 0"), 1u);
    holder.Kill();
    // The system frees the name with its last holder.
    EXPECT_FALSE(ProbeInstanceMutex(name));
    EXPECT_FALSE(MutexExists(name));
}

TEST(InstanceMutex, ProbeNeverCreatesTheMutex) {
    const std::wstring name = UniqueName(L"zvtest-probe-");
    const std::wstring eventName = UniqueName(L"zvtest-event-");
    UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    ASSERT_TRUE(event);
    const struct {
        const char* name;
        std::wstring mutex;
    } rows[] = {
        {"nobody holds it", name},
        {"empty name", L""},
        {"another kind of object", eventName},
    };
    for (const auto& r : rows) {
        EXPECT_FALSE(ProbeInstanceMutex(r.mutex)) << r.name;
        EXPECT_FALSE(MutexExists(r.mutex)) << r.name;
    }
    EXPECT_FALSE(ClaimInstanceMutex(eventName));
}

TEST(InstanceMutex, ProbingBesideAStartingProgramNeverTakesTheName) {
    // Program starts one after another, each under a name nobody holds, while another thread keeps
    // probing the name of the start under way. A probe that created the name would now and then make the
    // starting program believe that it is a second copy.
    const std::wstring stem = UniqueName(L"zvtest-race-") + L"-";
    constexpr int kStarts = 1000;
    std::atomic<int> current{-1};
    std::thread prober([&] {
        for (int i; (i = current.load()) < kStarts;) {
            if (i >= 0) ProbeInstanceMutex(stem + std::to_wstring(i));
        }
    });
    int seenTaken = 0;
    for (int i = 0; i < kStarts; ++i) {
        current = i;
        ::Sleep(0);
        // What a starting program does: create the mutex and ask whether it existed.
        ::SetLastError(ERROR_SUCCESS);
        UniqueHandle mutex(::CreateMutexW(nullptr, TRUE, (stem + std::to_wstring(i)).c_str()));
        if (::GetLastError() == ERROR_ALREADY_EXISTS) ++seenTaken;
        if (mutex) ::ReleaseMutex(mutex.get());
    }
    current = kStarts;
    prober.join();
    EXPECT_EQ(seenTaken, 0);
}

}  // namespace
