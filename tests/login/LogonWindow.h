#pragma once
// Drives a running ZorvaneLogon from outside, as a user would: finds its dialog (also while hidden) and its
// message boxes, clicks, types, presses keys and reads what the controls show.
#include <windows.h>

#include <string>

namespace ztest {

enum class BoxIcon { None, Information, Warning, Unknown };
const char* BoxIconName(BoxIcon icon);

// What a message box shows.
struct BoxView {
    std::wstring caption;
    std::wstring text;
    BoxIcon icon = BoxIcon::None;
};

class LogonWindow {
public:
    explicit LogonWindow(DWORD processId) : m_processId(processId) {}

    // The sign-in dialog of the process, shown or not; null when it does not appear within the time.
    HWND WaitForDialog(DWORD timeoutMs = 15000);
    HWND Dialog() const { return m_dialog; }
    bool DialogVisible() const { return m_dialog && ::IsWindowVisible(m_dialog); }
    // Waits until the dialog's visibility is `visible`.
    bool WaitVisible(bool visible = true, DWORD timeoutMs = 15000) const;

    // A message box of the process: a visible dialog window other than the sign-in dialog.
    HWND FindBox() const;
    HWND WaitForBox(DWORD timeoutMs = 15000) const;
    static BoxView ReadBox(HWND box);
    // A window's text, asked of the window itself (edits of another process included).
    static std::wstring WindowText(HWND hwnd);
    // Presses the box's OK button and waits until the box is gone.
    static bool DismissBox(HWND box);

    // Clicks a button; `wait` returns after the dialog handled the click (never for a click that opens a box).
    void Click(int id, bool wait = true) const;
    void SetText(int id, const std::wstring& text) const;
    std::wstring Text(int id) const;
    bool Checked(int id) const;
    bool Enabled(int id) const;
    bool Visible(int id) const;
    // The control id of the focused window when it is in the dialog, else 0.
    int FocusId() const;
    // Posts a key press to the focused window of the dialog's thread.
    void Key(WORD virtualKey) const;
    // Returns once the dialog's thread is back in its message loop (done with what it was handling).
    void Settle() const;
    void Close() const { ::PostMessageW(m_dialog, WM_CLOSE, 0, 0); }

    // True when the condition holds within the time (checked every 20 ms).
    template <typename Condition>
    static bool WaitFor(Condition condition, DWORD timeoutMs = 15000) {
        const ULONGLONG end = ::GetTickCount64() + timeoutMs;
        for (;;) {
            if (condition()) return true;
            if (::GetTickCount64() >= end) return false;
            ::Sleep(20);
        }
    }

private:
    HWND Control(int id) const { return ::GetDlgItem(m_dialog, id); }

    DWORD m_processId;
    HWND m_dialog = nullptr;
};

}  // namespace ztest
