// Holds Wine's desktop for a whole test run: the desktop process is started once, before any test, and
// stays while this program runs, instead of being started anew by whichever test processes first meet no
// desktop, all at once.
//
//   zv_desktop_holder <ready file>
//
// Creates the ready file once the desktop window exists, then waits until it is ended.
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zv_desktop_holder <ready file>\n");
        return 2;
    }
    if (!::GetDesktopWindow()) {
        std::fprintf(stderr, "zv_desktop_holder: no desktop window\n");
        return 1;
    }
    HANDLE ready = ::CreateFileW(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (ready == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "zv_desktop_holder: cannot create the ready file (error %lu)\n", ::GetLastError());
        return 1;
    }
    ::CloseHandle(ready);
    ::Sleep(INFINITE);
    return 0;
}
