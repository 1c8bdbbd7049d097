// The stand-in program: copied under any name into a test's folders, it stands in for a program that
// another program starts. Each run appends how it was started to "<its path>.record", then waits and
// exits as "<its path>.script" says for that run, leaving the files it names in place (see StandInFormat.h).
#include <windows.h>

#include <string>
#include <vector>

#include "common/fs/File.h"
#include "common/process/Process.h"
#include "tests/support/StandInFormat.h"

namespace {

std::wstring CurrentFolder() {
    std::vector<wchar_t> buffer(::GetCurrentDirectoryW(0, nullptr) + 1);
    const DWORD n = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    return n < buffer.size() ? std::wstring(buffer.data(), n) : std::wstring();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::wstring self = GetModuleFilePath();
    std::string bytes;
    std::wstring error;
    ztest::StandInScript script;
    if (zfs::ReadFileBytes(ztest::StandInScriptPath(self), bytes, error)) {
        script = ztest::ParseStandInScript(bytes);
    }
    size_t runIndex = 0;
    if (zfs::ReadFileBytes(ztest::StandInRecordPath(self), bytes, error)) {
        runIndex = ztest::ParseStandInRuns(bytes).size();
    }

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    ::GetStartupInfoW(&startup);
    ztest::StandInRun run;
    run.processId = ::GetCurrentProcessId();
    run.startFlags = startup.dwFlags;
    run.showWindow = startup.wShowWindow;
    run.workingFolder = CurrentFolder();
    run.commandLine = ::GetCommandLineW();
    zfs::AppendToFile(ztest::StandInRecordPath(self), ztest::FormatStandInRun(run));

    const unsigned delay = ztest::ScriptEntry(script.delaysMs, runIndex, 0u);
    if (delay > 0) ::Sleep(delay);
    for (const auto& [from, to] : script.placedFiles) ::CopyFileW(from.c_str(), to.c_str(), FALSE);
    ::ExitProcess(static_cast<UINT>(ztest::ScriptEntry(script.exitCodes, runIndex, 0LL)));
}
