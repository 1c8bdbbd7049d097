#pragma once
// Drives a running ZorvaneConf from outside, as a user would: its main window, the page of each tab, the tab
// selection, and the boxes it shows.
#include <windows.h>

#include <string>

#include "tests/support/WindowDriver.h"

namespace ztest {

class ConfWindow : public WindowDriver {
public:
    explicit ConfWindow(DWORD processId) : m_processId(processId) {}

    // The main window of the process once it shows; null when it does not within the time.
    HWND WaitForMainWindow(DWORD timeoutMs = 15000);

    // A page by its dialog resource id (129 hosts, 130 IP, 131 settings, 142 log).
    WindowDriver Page(int pageId) const { return WindowDriver(Control(pageId)); }
    // The id of the one visible page; 0 when none is, -1 when more than one is.
    int VisiblePage() const;
    int TabSelection() const;
    int TabCount() const;
    // Moves the tab selection with the arrow keys, as a user would, so that the window hears of it.
    bool SelectTab(int index) const;
    // Returns once the window's thread has handled every message posted to the window before (a reply to a
    // sent message can come first).
    void Drain() const;

    // A control's (or page's) rectangle in the main window's client coordinates.
    RECT PlaceOf(int id) const;
    RECT PlaceIn(HWND parent, int id) const;
    RECT WindowRect() const;

    // A box of the process: a visible dialog window that is not the main window.
    HWND FindBox() const;
    HWND WaitForBox(DWORD timeoutMs = 15000) const;
    // True while a top-level window of the process, shown or hidden, has this caption.
    bool HasWindow(const std::wstring& caption) const;
    // The box's first non-empty static text.
    static std::wstring BoxText(HWND box);
    // Presses a button of the box and waits until the box is gone.
    static bool Answer(HWND box, int buttonId);

private:
    DWORD m_processId;
};

// Posts a key press to a window, as the keyboard would to the focused one.
void PostKey(HWND window, WORD virtualKey);

}  // namespace ztest
