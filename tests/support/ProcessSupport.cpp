#include "tests/support/ProcessSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "common/fs/File.h"
#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;

namespace ztest {
namespace {

constexpr DWORD kPipeBytes = 64 * 1024;

// Starts "\"exePath\" args"; `startup` may carry standard handles, then handles are inherited.
bool Start(const std::wstring& exePath, const std::wstring& args, const std::wstring& folder,
           STARTUPINFOW& startup, PROCESS_INFORMATION& info) {
    std::wstring line = L"\"" + exePath + L"\"";
    if (!args.empty()) line += L" " + args;
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');
    const BOOL inherit = (startup.dwFlags & STARTF_USESTDHANDLES) ? TRUE : FALSE;
    // Wine refuses a start now and then with ERROR_INTERNAL_ERROR while others start at once; a retry passes.
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (::CreateProcessW(exePath.c_str(), buffer.data(), nullptr, nullptr, inherit, 0, nullptr,
                             folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
            return true;
        }
        if (::GetLastError() != ERROR_INTERNAL_ERROR) return false;
        ::Sleep(50);
    }
    return false;
}

}  // namespace

std::wstring TestProgram(const std::wstring& fileName) { return BinaryDir() + L"\\tests\\" + fileName; }
std::wstring StandInExe() { return TestProgram(L"zv_standin.exe"); }
std::wstring ExitRunnerExe() { return TestProgram(L"zv_exit_runner.exe"); }

void CopyProgram(const std::wstring& from, const std::wstring& to) {
    std::error_code ec;
    fs::create_directories(fs::path(to).parent_path(), ec);
    fs::copy_file(fs::path(from), fs::path(to), fs::copy_options::overwrite_existing, ec);
    EXPECT_FALSE(ec) << U(from) << " -> " << U(to) << ": " << ec.message();
}

void InstallStandIn(const std::wstring& exePath, const StandInScript& script) {
    CopyProgram(StandInExe(), exePath);
    WriteBytes(StandInScriptPath(exePath), FormatStandInScript(script));
    zfs::DeleteFileAt(StandInRecordPath(exePath));
}

std::vector<StandInRun> StandInRuns(const std::wstring& exePath) {
    std::string bytes;
    std::wstring error;
    if (!zfs::ReadFileBytes(StandInRecordPath(exePath), bytes, error)) return {};
    return ParseStandInRuns(bytes);
}

bool WaitForStandInRuns(const std::wstring& exePath, size_t count, DWORD timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (StandInRuns(exePath).size() >= count) return true;
        if (::GetTickCount64() >= end) return false;
        ::Sleep(20);
    }
}

ChildProcess::ChildProcess(const std::wstring& exePath, const std::wstring& args, const std::wstring& folder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!Start(exePath, args, folder, startup, info)) {
        ADD_FAILURE() << "cannot start " << U(exePath) << " (error " << ::GetLastError() << ")";
        return;
    }
    m_process.reset(info.hProcess);
    UniqueHandle thread(info.hThread);
    m_id = info.dwProcessId;
}

bool ChildProcess::Running() const {
    return m_process && ::WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT;
}

bool ChildProcess::Wait(DWORD timeoutMs, DWORD* exitCode) {
    if (!m_process || ::WaitForSingleObject(m_process.get(), timeoutMs) != WAIT_OBJECT_0) return false;
    DWORD code = 0;
    ::GetExitCodeProcess(m_process.get(), &code);
    if (exitCode) *exitCode = code;
    return true;
}

void ChildProcess::Kill() {
    if (!Running()) return;
    ::TerminateProcess(m_process.get(), 1);
    ::WaitForSingleObject(m_process.get(), 10000);
}

CapturedRun RunCaptured(const std::wstring& exePath, const std::wstring& args, DWORD timeoutMs) {
    CapturedRun result;
    SECURITY_ATTRIBUTES inheritable{};
    inheritable.nLength = sizeof(inheritable);
    inheritable.bInheritHandle = TRUE;
    UniqueHandle readEnd, writeEnd;
    if (!::CreatePipe(readEnd.put(), writeEnd.put(), &inheritable, kPipeBytes)) {
        ADD_FAILURE() << "cannot create a pipe";
        return result;
    }
    ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = writeEnd.get();
    PROCESS_INFORMATION info{};
    if (!Start(exePath, args, L"", startup, info)) return result;
    result.started = true;
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    writeEnd.reset();  // only the child (and what it starts) writes now

    // Programs the child starts may inherit the pipe and outlive it, so the pipe is only ever read as far as
    // it holds bytes: reading to its end could wait for them forever.
    // Once every writer is gone the peek fails with a broken pipe, and what is left is read without waiting.
    const auto drain = [&] {
        char chunk[4096];
        for (;;) {
            DWORD available = 0;
            if (::PeekNamedPipe(readEnd.get(), nullptr, 0, nullptr, &available, nullptr)) {
                if (available == 0) return;
            } else if (::GetLastError() != ERROR_BROKEN_PIPE) {
                return;
            }
            DWORD got = 0;
            if (!::ReadFile(readEnd.get(), chunk, sizeof(chunk), &got, nullptr) || got == 0) return;
            result.output.append(chunk, got);
        }
    };
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        const DWORD wait = ::WaitForSingleObject(process.get(), 50);
        drain();
        if (wait == WAIT_OBJECT_0) {
            result.finished = true;
            ::GetExitCodeProcess(process.get(), &result.exitCode);
            break;
        }
        if (::GetTickCount64() >= end) {
            ::TerminateProcess(process.get(), 1);
            ::WaitForSingleObject(process.get(), 10000);
            drain();
            break;
        }
    }
    return result;
}

RunnerResult RunThroughRunner(const std::wstring& exePath, const std::wstring& args) {
    RunnerResult result;
    const CapturedRun run = RunCaptured(ExitRunnerExe(), L"\"" + exePath + L"\" " + args);
    result.output = run.output;
    result.started = run.started;
    result.finished = run.finished;
    result.runnerExitCode = run.exitCode;
    if (!run.finished || run.exitCode != 0) return result;
    char* end = nullptr;
    result.exitCode = std::strtoul(run.output.c_str(), &end, 10);
    result.ran = end != run.output.c_str();
    return result;
}

}  // namespace ztest
