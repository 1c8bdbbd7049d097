#include "common/process/Process.h"

#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cwchar>
#include <vector>

#include "common/base/ComScope.h"
#include "common/base/UniqueHandle.h"
#include "common/process/ProcessText.h"

namespace {

// The longest path Windows hands out, in UTF-16 units.
constexpr DWORD kMaxPathUnits = 32768;

STARTUPINFOW StartupInfoFor(int show) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_FORCEOFFFEEDBACK;
    if (show == SW_SHOW) {
        startup.dwFlags |= STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOW;
    }
    return startup;
}

// Waits for the process unless told not to, and gives its exit code, or `unreadable` when there is none.
int ExitCodeOf(HANDLE process, bool noWait, int unreadable) {
    if (!noWait) ::WaitForSingleObject(process, INFINITE);
    DWORD code = 0;
    if (!::GetExitCodeProcess(process, &code)) return unreadable;
    return static_cast<int>(code);
}

constexpr int kStartAttempts = 4;
constexpr DWORD kStartRetryMs = 50;

// `commandLine` is null or a writable NUL-terminated buffer, as CreateProcessW may write into it. With a
// `stop` event the wait also ends when it is set, and a program still running is then ended.
int Run(const std::wstring& path, wchar_t* commandLine, int show, bool noWait, HANDLE stop = nullptr) {
    STARTUPINFOW startup = StartupInfoFor(show);
    PROCESS_INFORMATION info{};
    // Under Wine a start now and then fails with ERROR_INTERNAL_ERROR while other programs start at the same
    // moment; it goes through when tried again.
    for (int attempt = 0;; ++attempt) {
        if (::CreateProcessW(path.c_str(), commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &info)) {
            break;
        }
        if (::GetLastError() != ERROR_INTERNAL_ERROR || attempt == kStartAttempts - 1) return kRunFailed;
        ::Sleep(kStartRetryMs);
    }
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    if (stop) {
        const HANDLE waitFor[] = {process.get(), stop};
        if (::WaitForMultipleObjects(2, waitFor, FALSE, INFINITE) != WAIT_OBJECT_0) {
            ::TerminateProcess(process.get(), 0);
            ::WaitForSingleObject(process.get(), INFINITE);
            return 0;
        }
    }
    return ExitCodeOf(process.get(), noWait, kRunFailed);
}

// ShellExecuteExW in a COM apartment, as the shell's extensions need it.
bool ShellExecuteInApartment(SHELLEXECUTEINFOW& exec) {
    const ComScope com;
    return ::ShellExecuteExW(&exec) != FALSE;
}

std::vector<wchar_t> ArgsBuffer(const std::wstring& args) {
    const std::wstring line = ArgsCommandLine(args);
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');
    return buffer;
}

}  // namespace

std::wstring GetModuleFilePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), size);
        if (n == 0) return {};
        if (n < size) return std::wstring(buffer.data(), n);
        // Cut to fit: try again with more room, up to the longest path there is.
        if (size >= kMaxPathUnits) return {};
        buffer.resize(size * 2);
    }
}

std::wstring GetModuleFolder() { return TextBeforeLastBackslash(GetModuleFilePath()); }

std::wstring GetInstallRoot() { return TextBeforeLastBackslash(GetModuleFolder()); }

int RunProgram(const std::wstring& path, int show, bool noWait) { return Run(path, nullptr, show, noWait); }

int RunProgramWithArgs(const std::wstring& path, const std::wstring& args, int show, bool noWait) {
    if (args.find(L'\0') != std::wstring::npos) return kRunFailed;
    std::vector<wchar_t> buffer = ArgsBuffer(args);
    return Run(path, buffer.data(), show, noWait);
}

int RunProgramWithArgsUntil(const std::wstring& path, const std::wstring& args, int show, HANDLE stop) {
    if (args.find(L'\0') != std::wstring::npos) return kRunFailed;
    if (::WaitForSingleObject(stop, 0) == WAIT_OBJECT_0) return 0;
    std::vector<wchar_t> buffer = ArgsBuffer(args);
    return Run(path, buffer.data(), show, false, stop);
}

int ShellRunProgram(const std::wstring& folder, const std::wstring& file, const std::wstring& args, int show,
                    bool noWait) {
    // No file, or a folder, would have the shell open a folder instead of starting a program.
    if (file.empty() || args.find(L'\0') != std::wstring::npos) return kRunFailed;
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return kRunFailed;
    const std::wstring parameters = ArgsCommandLine(args);
    SHELLEXECUTEINFOW exec{};
    exec.cbSize = sizeof(exec);
    // A library function shows no message, also not the shell's own on a failed start. The start is finished
    // before the call returns (the caller may end right after).
    exec.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    exec.lpFile = file.c_str();
    exec.lpParameters = parameters.c_str();
    exec.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    exec.nShow = show;
    if (!ShellExecuteInApartment(exec)) return kRunFailed;
    UniqueHandle process(exec.hProcess);
    if (!process) return 0;
    return ExitCodeOf(process.get(), noWait, 0);
}

int OpenWithShell(const std::wstring& file, const std::wstring& parameters, int show) {
    SHELLEXECUTEINFOW exec{};
    exec.cbSize = sizeof(exec);
    exec.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    exec.lpVerb = L"open";
    exec.lpFile = file.c_str();
    exec.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    exec.nShow = show;
    return ShellExecuteInApartment(exec) ? 0 : kRunFailed;
}

void KillProcessesByName(const std::wstring& name) {
    UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return;
    const DWORD self = ::GetCurrentProcessId();
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ProcessID == self) continue;
        const std::wstring_view exeFile(entry.szExeFile, ::wcsnlen(entry.szExeFile, MAX_PATH));
        if (!ProgramNameMatches(exeFile, name)) continue;
        UniqueHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID));
        if (process) ::TerminateProcess(process.get(), 0);
    }
}

bool ClaimInstanceMutex(const std::wstring& name) {
    ::SetLastError(ERROR_SUCCESS);
    // Never closed: the handle keeps the name taken until the process ends.
    const HANDLE mutex = ::CreateMutexW(nullptr, TRUE, name.c_str());
    const DWORD error = ::GetLastError();
    if (mutex) ::ReleaseMutex(mutex);
    return error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED;
}

bool ProbeInstanceMutex(const std::wstring& name) {
    // Opening only: a probe that created the name would make a program starting at this moment believe
    // that it is a second copy.
    const HANDLE opened = ::OpenMutexW(SYNCHRONIZE, FALSE, name.c_str());
    const DWORD error = ::GetLastError();
    UniqueHandle mutex(opened);
    return mutex || error == ERROR_ACCESS_DENIED;
}
