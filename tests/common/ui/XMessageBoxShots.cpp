// Opens each kind of box the programs show, in both shipped languages, saves a PNG of each under the given
// folder for a person to look at, and fails (exit code 1) when a text does not fit its control.
//   xmessagebox_shots <source root> <output folder>
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "common/base/UniqueHandle.h"
#include "common/language/LangTable.h"
#include "common/ui/XMessageBox.h"
#include "tests/support/Screenshot.h"
#include "tests/support/WindowDriver.h"
#include "tests/support/WineDesktop.h"

namespace {

struct Kind {
    const char* name;
    UINT style;
    const wchar_t* section;
    const wchar_t* key;
};
const Kind kKinds[] = {
    {"question", 0x24, L"question", L"exit"},
    {"question-two-lines", 0x24, L"question", L"update"},
    {"information", 0x40, L"information", L"fail_login"},
    {"exclamation", 0x30, L"error", L"not_connect_server"},
    {"exclamation-long", 0x30, L"error", L"fail_program_load"},
};

// Names the controls whose text needs more room than they have.
std::vector<std::wstring> ClippedTexts(HWND box) {
    std::vector<std::wstring> clipped;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring text = ztest::WindowText(child);
        if (text.empty()) continue;
        const bool isStatic = ::_wcsicmp(ztest::ClassOf(child).c_str(), L"Static") == 0;
        RECT client{};
        ::GetClientRect(child, &client);
        HDC dc = ::GetDC(child);
        HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0)));
        RECT need{0, 0, client.right, 0};
        if (isStatic) {
            ::DrawTextW(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
        } else {
            ::DrawTextW(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_SINGLELINE);
            need.right += 8;  // the button's frame and focus rectangle
        }
        ::SelectObject(dc, old);
        ::ReleaseDC(child, dc);
        if (need.right > client.right || need.bottom > client.bottom) clipped.push_back(text);
    }
    return clipped;
}

// Paths handed over by the build are Unix paths; under Wine drive Z: maps the Unix root.
std::wstring WindowsPath(std::wstring path) {
    if (path.empty() || path[0] != L'/') return path;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return L"Z:" + path;
}

// The box the thread shows: its visible dialog window.
HWND WaitForBox(DWORD thread) {
    HWND box = nullptr;
    ztest::WaitFor(
        [&] {
            for (HWND hwnd : ztest::ThreadWindows(thread)) {
                if (ztest::IsDialog(hwnd) && ::IsWindowVisible(hwnd)) {
                    box = hwnd;
                    return true;
                }
            }
            return false;
        },
        10000);
    return box;
}

}  // namespace

int RunAgain() {
    std::wstring command = ::GetCommandLineW();
    command += L" --linked";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 2;
    UniqueHandle process(pi.hProcess), thread(pi.hThread);
    ::WaitForSingleObject(process.get(), INFINITE);
    DWORD code = 2;
    ::GetExitCodeProcess(process.get(), &code);
    return static_cast<int>(code);
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv || argc < 3) return 2;
    // Under Wine the fonts are linked to a Korean one and the shots taken by a second run, which reads the links
    // when it starts.
    if (argc == 3 && ztest::LinkHangulFont()) {
        ::LocalFree(argv);
        return RunAgain();
    }
    const std::wstring root = WindowsPath(argv[1]);
    const std::wstring out = WindowsPath(argv[2]);
    ::LocalFree(argv);
    ::CreateDirectoryW(out.c_str(), nullptr);

    int failures = 0;
    const DWORD uiThread = ::GetCurrentThreadId();
    for (const wchar_t* language : {L"korean", L"english"}) {
        if (!CLangTable::GetInstance()->Load(root, language)) {
            std::fwprintf(stderr, L"cannot load the %ls language file\n", language);
            return 2;
        }
        ExtendedMessageBoxOptions options;
        LoadMessageBoxCaptions(options);
        for (const Kind& kind : kKinds) {
            const std::wstring text = CLangTable::GetInstance()->GetText(kind.section, kind.key);
            const std::wstring caption = CLangTable::GetInstance()->GetText(kind.section, L"title");
            const std::wstring file = out + L"\\" + language + L"-" + std::wstring(kind.name, kind.name + strlen(kind.name)) + L".png";
            std::thread driver([&] {
                HWND box = WaitForBox(uiThread);
                if (!box) {
                    ++failures;
                    return;
                }
                ::Sleep(400);  // painted
                if (!ztest::SaveWindowPng(box, file)) ++failures;
                for (const std::wstring& clipped : ClippedTexts(box)) {
                    std::fwprintf(stderr, L"%ls: clipped text: %ls\n", file.c_str(), clipped.c_str());
                    ++failures;
                }
                const int button = (kind.style & 0x0F) == MB_YESNO ? IDYES : IDOK;
                ztest::WindowDriver(box).Command(button);
            });
            ExtendedMessageBox(nullptr, text.c_str(), caption.c_str(), kind.style | EMB_NO_BEEP, &options);
            driver.join();
        }
    }
    return failures == 0 ? 0 : 1;
}
