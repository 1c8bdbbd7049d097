#pragma once
// Drives windows from outside, as a user would: finds them, reads what they show, clicks, types and presses
// keys. The windows may belong to another thread or another process.
#include <windows.h>

#include <string>
#include <vector>

namespace ztest {

// True when the condition holds within the time (checked every 20 ms).
template <typename Condition>
bool WaitFor(Condition condition, DWORD timeoutMs = 15000) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount64() >= end) return false;
        ::Sleep(20);
    }
}

std::wstring ClassOf(HWND hwnd);
// Sends a message to a window of any process, waiting at most 10 s and not at all for a hung one; 0 when it
// gives no answer.
LRESULT SendWithin(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// A dialog from a template or a message box (window class "#32770").
bool IsDialog(HWND hwnd);
// The top-level windows of a process, or of one thread.
std::vector<HWND> ProcessWindows(DWORD processId);
std::vector<HWND> ThreadWindows(DWORD threadId);
// A visible dialog with this caption, of any process (with `hiddenToo`, one that never shows counts as
// well); null when none appears within the time.
HWND WaitForDialog(const std::wstring& caption, DWORD timeoutMs = 10000, bool hiddenToo = false);
// A window's text, asked of the window itself (edits of another process included); empty when it does not
// answer.
std::wstring WindowText(HWND hwnd);

// A window (usually a dialog) and its controls by id.
class WindowDriver {
public:
    explicit WindowDriver(HWND window = nullptr) : m_window(window) {}

    HWND Window() const { return m_window; }
    HWND Control(int id) const { return ::GetDlgItem(m_window, id); }

    std::wstring Text(int id) const { return WindowText(Control(id)); }
    void SetText(int id, const std::wstring& text) const;
    // Clicks a button; `wait` returns after the window handled the click (never for a click that opens a box).
    void Click(int id, bool wait = true) const;
    // Ticks a check box without the click's notification.
    void Tick(int id) const;
    bool Checked(int id) const;
    bool Enabled(int id) const { return ::IsWindowEnabled(Control(id)) != FALSE; }
    bool Visible(int id) const { return ::IsWindowVisible(Control(id)) != FALSE; }
    // The control id of the focused window when it is in this window, else 0.
    int FocusId() const;
    // Posts a key press to the focused window of the window's thread (to the window itself when none has focus).
    void Key(WORD virtualKey) const;
    // Posts the command a click on the button sends to the window; for a box, that answer.
    void Command(int id) const;
    // Returns once the window's thread is back in its message loop (done with what it was handling).
    void Settle() const;
    void Close() const { ::PostMessageW(m_window, WM_CLOSE, 0, 0); }

protected:
    HWND m_window;
};

}  // namespace ztest
