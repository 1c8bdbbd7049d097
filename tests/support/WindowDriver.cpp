#include "tests/support/WindowDriver.h"

namespace ztest {
namespace {

constexpr UINT kSendTimeoutMs = 10000;

struct Search {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectOfProcess(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner == search->processId) search->found.push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK Collect(HWND hwnd, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

}  // namespace

LRESULT SendWithin(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result)) return 0;
    return static_cast<LRESULT>(result);
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    return name;
}

bool IsDialog(HWND hwnd) { return ClassOf(hwnd) == L"#32770"; }

std::vector<HWND> ProcessWindows(DWORD processId) {
    Search search{processId, {}};
    ::EnumWindows(CollectOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> ThreadWindows(DWORD threadId) {
    std::vector<HWND> found;
    ::EnumThreadWindows(threadId, Collect, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND WaitForDialog(const std::wstring& caption, DWORD timeoutMs, bool hiddenToo) {
    HWND dialog = nullptr;
    const auto found = [&] { return dialog && (hiddenToo || ::IsWindowVisible(dialog)); };
    WaitFor(
        [&] {
            dialog = ::FindWindowW(L"#32770", caption.c_str());
            return found();
        },
        timeoutMs);
    return found() ? dialog : nullptr;
}

std::wstring WindowText(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length)) return {};
    std::vector<wchar_t> buffer(length + 1, L'\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG,
                          kSendTimeoutMs, &copied);
    return std::wstring(buffer.data(), copied <= length ? copied : length);
}

void WindowDriver::SetText(int id, const std::wstring& text) const {
    SendWithin(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void WindowDriver::Click(int id, bool wait) const {
    if (wait) {
        SendWithin(Control(id), BM_CLICK, 0, 0);
    } else {
        ::PostMessageW(Control(id), BM_CLICK, 0, 0);
    }
}

void WindowDriver::Tick(int id) const { SendWithin(Control(id), BM_SETCHECK, BST_CHECKED, 0); }

bool WindowDriver::Checked(int id) const { return SendWithin(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

int WindowDriver::FocusId() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(m_window, nullptr), &info)) return 0;
    return info.hwndFocus && ::IsChild(m_window, info.hwndFocus) ? ::GetDlgCtrlID(info.hwndFocus) : 0;
}

void WindowDriver::Key(WORD virtualKey) const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    HWND target = m_window;
    if (::GetGUIThreadInfo(::GetWindowThreadProcessId(m_window, nullptr), &info) && info.hwndFocus) {
        target = info.hwndFocus;
    }
    ::PostMessageW(target, WM_KEYDOWN, virtualKey, 1);
    ::PostMessageW(target, WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
}

void WindowDriver::Command(int id) const {
    ::PostMessageW(m_window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Control(id)));
}

void WindowDriver::Settle() const {
    // Any message the window answers at once; it is handled only when the thread is back in its loop.
    SendWithin(m_window, WM_GETTEXTLENGTH, 0, 0);
}

}  // namespace ztest
