#include "tests/config/ConfWindow.h"

#include <commctrl.h>

namespace ztest {
namespace {

constexpr int kTabId = 1000;
constexpr int kPageIds[] = {129, 130, 131, 142};
constexpr int kLogPageId = 142;
constexpr int kLogEditId = 1029;

bool IsMainWindow(HWND hwnd) {
    HWND tab = ::GetDlgItem(hwnd, kTabId);
    return IsDialog(hwnd) && tab && ClassOf(tab) == L"SysTabControl32";
}

}  // namespace

void PostKey(HWND window, WORD virtualKey) {
    ::PostMessageW(window, WM_KEYDOWN, virtualKey, 1);
    ::PostMessageW(window, WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
}

HWND ConfWindow::WaitForMainWindow(DWORD timeoutMs) {
    WaitFor(
        [&] {
            for (HWND hwnd : ProcessWindows(m_processId)) {
                if (IsMainWindow(hwnd) && ::IsWindowVisible(hwnd)) {
                    m_window = hwnd;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return m_window;
}

int ConfWindow::VisiblePage() const {
    int visible = 0;
    for (int id : kPageIds) {
        if (!Visible(id)) continue;
        visible = visible == 0 ? id : -1;
    }
    return visible;
}

int ConfWindow::TabSelection() const {
    return static_cast<int>(::SendMessageW(Control(kTabId), TCM_GETCURSEL, 0, 0));
}

int ConfWindow::TabCount() const { return static_cast<int>(::SendMessageW(Control(kTabId), TCM_GETITEMCOUNT, 0, 0)); }

bool ConfWindow::SelectTab(int index) const {
    // The selection is read back once the window has handled the key, its notification included.
    for (int step = 0; step < 8; ++step) {
        const int now = TabSelection();
        if (now == index) return true;
        const int next = now < index ? now + 1 : now - 1;
        PostKey(Control(kTabId), now < index ? VK_RIGHT : VK_LEFT);
        if (!WaitFor([&] { return TabSelection() == next; }, 5000)) return false;
    }
    return TabSelection() == index;
}

void ConfWindow::Drain() const {
    // A read-only edit never uses its typing limit: a posted change of it, once seen, tells that everything
    // posted before it was handled.
    static UINT marker = 100000;
    const HWND log = ::GetDlgItem(Control(kLogPageId), kLogEditId);
    const UINT limit = ++marker;
    ::PostMessageW(log, EM_SETLIMITTEXT, limit, 0);
    WaitFor([&] { return static_cast<UINT>(::SendMessageW(log, EM_GETLIMITTEXT, 0, 0)) == limit; }, 10000);
}

RECT ConfWindow::PlaceOf(int id) const { return PlaceIn(m_window, id); }

RECT ConfWindow::PlaceIn(HWND parent, int id) const {
    RECT rect{};
    ::GetWindowRect(::GetDlgItem(parent, id), &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT ConfWindow::WindowRect() const {
    RECT rect{};
    ::GetWindowRect(m_window, &rect);
    return rect;
}

HWND ConfWindow::FindBox() const {
    for (HWND hwnd : ProcessWindows(m_processId)) {
        if (hwnd != m_window && IsDialog(hwnd) && ::IsWindowVisible(hwnd) && !IsMainWindow(hwnd)) return hwnd;
    }
    return nullptr;
}

HWND ConfWindow::WaitForBox(DWORD timeoutMs) const {
    HWND box = nullptr;
    WaitFor([&] { return (box = FindBox()) != nullptr; }, timeoutMs);
    return box;
}

bool ConfWindow::HasWindow(const std::wstring& caption) const {
    for (HWND hwnd : ProcessWindows(m_processId)) {
        if (WindowText(hwnd) == caption) return true;
    }
    return false;
}

std::wstring ConfWindow::BoxText(HWND box) {
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) != L"Static") continue;
        const std::wstring text = WindowText(child);
        if (!text.empty()) return text;
    }
    return {};
}

bool ConfWindow::Answer(HWND box, int buttonId) {
    WindowDriver(box).Command(buttonId);
    return WaitFor([&] { return !::IsWindow(box) || !::IsWindowVisible(box); }, 10000);
}

}  // namespace ztest
