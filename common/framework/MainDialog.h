#pragma once
// CMainDialog: the one modal dialog of an interactive program (the sign-in dialog, the configuration
// program's main window, the tray program's hidden dialog).
//
// It does what each of them owes its program: the program icon in both sizes, the icon painted while the
// window is minimised and handed out as the drag icon, the window handle in the program's shared section
// from WM_INITDIALOG until the window is destroyed (so that a second start finds it), and a window that
// stays hidden for as long as the derived class's MayShow says no.
#include <functional>

#include "common/framework/Dialog.h"

// Posted by a second start of a program to the main dialog of the instance that runs.
constexpr UINT UWM_SECOND_INSTANCE = WM_APP + 1001;

// What a second start does with the running instance's main dialog.
enum class SecondStart {
    Notify = 1,                 // post UWM_SECOND_INSTANCE (wParam 0, lParam 0) to it
    BringToFront = 2,           // restore it (SW_RESTORE) and make it the foreground window
    NotifyAndBringToFront = 3,  // both, in this order
};

class CMainDialog : public CDialog {
public:
    // `sharedMainWnd` is the program's own ZORVANE_SHARED window-handle variable (SharedSection.h);
    // `iconId` the program icon's resource id. The icon is loaded here.
    CMainDialog(UINT templateId, HWND& sharedMainWnd, UINT iconId);

    // Sets the icon big and small and writes the window handle into the shared section; a derived
    // OnInitDialog calls it first.
    BOOL OnInitDialog() override;

    // The second start's side, given the window handle the running instance left in the shared section.
    // False when there is none (the first instance has not got that far, or has ended).
    static bool ReachFirstInstance(HWND firstWindow, SecondStart how);

protected:
    void DeclareMessageMap(MessageMap& map) override;
    bool OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    // Asked whenever the window is about to show: while it says false the window stays hidden, whatever
    // asks it to show (the dialog's visible style, ShowWindow, a second start). Always true here.
    virtual bool MayShow() const { return true; }
    // Ends the dialog with IDCANCEL from OnInitDialog after a failed start-up: it never shows. `tellUser` (a
    // box) runs after the dialog is marked, so nothing that arrives while the box is up (a second start)
    // shows it.
    void EndAtStartUp(const std::function<void()>& tellUser = nullptr);

    // WM_PAINT: the icon centred on the erased background while minimised, else the default painting.
    void OnPaint();
    LRESULT OnQueryDragIcon(WPARAM, LPARAM);
    LRESULT OnWindowPosChanging(WPARAM, LPARAM pos);

    HICON m_hIcon;  // shared resource icon, never destroyed

private:
    HWND& m_sharedMainWnd;
    bool m_endedAtStartUp = false;
};
