#pragma once
// Drives a running ZorvaneLogon from outside, as a user would: finds its dialog (also while hidden) and its
// message boxes and reads what the boxes show.
#include <windows.h>

#include <string>

#include "tests/support/WindowDriver.h"

namespace ztest {

enum class BoxIcon { None, Information, Warning, Unknown };
const char* BoxIconName(BoxIcon icon);

// What a message box shows.
struct BoxView {
    std::wstring caption;
    std::wstring text;
    BoxIcon icon = BoxIcon::None;
};

class LogonWindow : public WindowDriver {
public:
    explicit LogonWindow(DWORD processId) : m_processId(processId) {}

    // The sign-in dialog of the process, shown or not; null when it does not appear within the time.
    HWND WaitForDialog(DWORD timeoutMs = 15000);
    HWND Dialog() const { return m_window; }
    bool DialogVisible() const { return m_window && ::IsWindowVisible(m_window); }
    // Waits until the dialog's visibility is `visible`.
    bool WaitVisible(bool visible = true, DWORD timeoutMs = 15000) const;

    // A message box of the process: a visible dialog window other than the sign-in dialog.
    HWND FindBox() const;
    HWND WaitForBox(DWORD timeoutMs = 15000) const;
    static BoxView ReadBox(HWND box);
    // Presses the box's OK button and waits until the box is gone.
    static bool DismissBox(HWND box);

private:
    DWORD m_processId;
};

}  // namespace ztest
