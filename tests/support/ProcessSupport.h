#pragma once
// Win32 test helpers around child processes: the stand-in program and the exit-code runner of the build
// folder, and started processes that end when the test lets go of them.
#include <windows.h>

#include <string>
#include <vector>

#include "common/base/UniqueHandle.h"
#include "tests/support/StandInFormat.h"

namespace ztest {

// A test program of the build folder (<build>\tests\<fileName>); the two below are built for every test.
std::wstring TestProgram(const std::wstring& fileName);
std::wstring StandInExe();     // zv_standin.exe
std::wstring ExitRunnerExe();  // zv_exit_runner.exe

// Copies a file to `to`, replacing it and creating missing folders; fails the test when it cannot.
void CopyProgram(const std::wstring& from, const std::wstring& to);

// Copies the stand-in to `exePath` (any name, e.g. <root>\bin\ZorvaneHosts.exe) with `script` beside it,
// and forgets what an earlier copy there recorded.
void InstallStandIn(const std::wstring& exePath, const StandInScript& script = {});

// What the copy at `exePath` recorded, one entry per run in order of start.
std::vector<StandInRun> StandInRuns(const std::wstring& exePath);

// Waits until the copy at `exePath` has recorded at least `count` runs; false when the time runs out.
bool WaitForStandInRuns(const std::wstring& exePath, size_t count, DWORD timeoutMs = 30000);

// A process started with the command line "\"exePath\" args" in `folder` (the test's own when empty).
// Ends it, if it still runs, when the object goes.
class ChildProcess {
public:
    explicit ChildProcess(const std::wstring& exePath, const std::wstring& args = L"",
                          const std::wstring& folder = L"");
    ~ChildProcess() { Kill(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return static_cast<bool>(m_process); }
    DWORD id() const { return m_id; }
    bool Running() const;
    // True, with the exit code, when the process has ended within `timeoutMs`.
    bool Wait(DWORD timeoutMs, DWORD* exitCode = nullptr);
    void Kill();

private:
    UniqueHandle m_process;
    DWORD m_id = 0;
};

struct CapturedRun {
    bool started = false;
    bool finished = false;  // ended within the time limit (otherwise it was ended)
    DWORD exitCode = 0;
    std::string output;     // standard output and standard error
};

// Runs "\"exePath\" args" to its end with its output captured; the output must fit the pipe (64 KiB).
CapturedRun RunCaptured(const std::wstring& exePath, const std::wstring& args, DWORD timeoutMs = 60000);

struct RunnerResult {
    bool ran = false;        // the runner started the program and printed its exit code
    unsigned long exitCode = 0;
    std::string output;      // what the runner printed
    bool started = false;    // the runner itself started
    bool finished = false;   // and ended within the time limit
    DWORD runnerExitCode = 0;
};

// Runs `exePath` with `args` through the exit-code runner, as a script would.
RunnerResult RunThroughRunner(const std::wstring& exePath, const std::wstring& args);

}  // namespace ztest
