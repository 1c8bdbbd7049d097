// The exit-code runner: starts a program the way the suite's programs start each other (CreateProcessW
// with the program as the application name and " " + the argument text as the command line, shown, no
// inherited handles), waits for it and prints its whole 32-bit exit code, which a shell under Wine would
// see cut to the low 8 bits (702 arrives as 190).
//
//   zv_exit_runner <program> [argument text]
//
// The program may be in double quotes; the argument text is everything after the one blank that follows
// it, passed on unchanged. A program path that starts with '/' names a file on drive Z:, Wine's view of
// the Unix root. Prints the exit code as an unsigned decimal number and a line end, and ends with 0; ends
// with 127 when the program cannot be started and with 2 when no program is named.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/base/UniqueHandle.h"

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// Reads one command-line word at `pos` (quoted or up to white space) and moves `pos` past it.
std::wstring ReadWord(const std::wstring& line, size_t& pos) {
    std::wstring word;
    if (pos < line.size() && line[pos] == L'"') {
        const size_t close = line.find(L'"', pos + 1);
        const size_t end = close == std::wstring::npos ? line.size() : close;
        word = line.substr(pos + 1, end - pos - 1);
        pos = close == std::wstring::npos ? line.size() : close + 1;
        return word;
    }
    while (pos < line.size() && !IsBlank(line[pos])) word += line[pos++];
    return word;
}

std::wstring WindowsPath(std::wstring path) {
    if (path.empty() || path[0] != L'/') return path;
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return L"Z:" + path;
}

}  // namespace

int wmain() {
    const std::wstring line = ::GetCommandLineW();
    size_t pos = 0;
    ReadWord(line, pos);
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    const std::wstring program = WindowsPath(ReadWord(line, pos));
    if (program.empty()) {
        std::fprintf(stderr, "usage: zv_exit_runner <program> [argument text]\n");
        return 2;
    }
    if (pos < line.size()) ++pos;  // the one blank before the argument text
    std::wstring commandLine = L" " + line.substr(pos);
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_FORCEOFFFEEDBACK;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION info{};
    // Wine refuses a start now and then with ERROR_INTERNAL_ERROR while others start at once; a retry passes.
    BOOL started = FALSE;
    for (int attempt = 0; attempt < 4 && !started; ++attempt) {
        if (attempt > 0) ::Sleep(50);
        started = ::CreateProcessW(program.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &info);
        if (!started && ::GetLastError() != ERROR_INTERNAL_ERROR) break;
    }
    if (!started) {
        std::fprintf(stderr, "zv_exit_runner: cannot start the program (error %lu)\n", ::GetLastError());
        return 127;
    }
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    ::WaitForSingleObject(process.get(), INFINITE);
    DWORD code = 0;
    if (!::GetExitCodeProcess(process.get(), &code)) {
        std::fprintf(stderr, "zv_exit_runner: cannot read the exit code (error %lu)\n", ::GetLastError());
        return 127;
    }
    std::printf("%lu\n", static_cast<unsigned long>(code));
    std::fflush(stdout);
    return 0;
}
