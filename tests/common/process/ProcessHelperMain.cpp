// Runs one process function in a process of its own, for the process tests:
//   zvproc_helper folders <file>      writes GetModuleFolder and GetInstallRoot, a line each, to <file>
//   zvproc_helper claim <name> <ms>   claims the instance mutex, then keeps running for <ms>
//   zvproc_helper probe <name>        probes the instance mutex
// Ends with 1 when the mutex has another holder, 0 when not (and after "folders"), 2 on a bad call.
#include <windows.h>

#include <cwchar>
#include <string>

#include "common/fs/File.h"
#include "common/process/Process.h"
#include "common/text/Utf.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const std::wstring command = argv[1];
    if (command == L"folders") {
        const std::string text = WideToUtf8(GetModuleFolder() + L"\n" + GetInstallRoot() + L"\n");
        std::wstring error;
        return zfs::WriteFileAtomic(argv[2], text, error) ? 0 : 2;
    }
    if (command == L"claim" && argc == 4) {
        const bool other = ClaimInstanceMutex(argv[2]);
        ::Sleep(static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)));
        return other ? 1 : 0;
    }
    if (command == L"probe") return ProbeInstanceMutex(argv[2]) ? 1 : 0;
    return 2;
}
