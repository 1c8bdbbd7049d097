// Runs one instance-mutex function in a process of its own, for the process tests:
//   zvproc_helper claim <name> <ms>   claims the instance mutex, then keeps running for <ms>
//   zvproc_helper probe <name>        probes the instance mutex
// Ends with 1 when the mutex has another holder, 0 when not, 2 on a bad call.
#include <windows.h>

#include <cwchar>
#include <string>

#include "common/process/Process.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const std::wstring command = argv[1];
    if (command == L"claim" && argc == 4) {
        const bool other = ClaimInstanceMutex(argv[2]);
        ::Sleep(static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)));
        return other ? 1 : 0;
    }
    if (command == L"probe") return ProbeInstanceMutex(argv[2]) ? 1 : 0;
    return 2;
}
