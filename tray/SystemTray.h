#pragma once
// CSystemTray: one icon in the notification area. It keeps the icon there when the shell restarts
// ("TaskbarCreated") or the work area changes, both received by the object's own hidden top-level window (a
// message-only window would get no broadcasts), and turns the icon's mouse messages into a popup menu (right
// button) or the default command (double click).
//
// Two things are kept apart: whether the icon is wanted hidden (HideTrayIcon, or created hidden) and whether
// the shell holds it. An add that fails leaves the icon wanted and not held, so the next "TaskbarCreated" or
// work-area change adds it; an add refused because the shell still holds the icon is checked with a modify
// call, and the icon then counts as held.
//
// Every call comes from the thread of the window that receives the icon's messages.
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

#include "common/base/UniqueHandle.h"
#include "common/framework/Wnd.h"
#include "common/ui/Menu.h"

// What the icon sends the window of its record: wParam the icon id, lParam (low word) the mouse message.
constexpr UINT UWM_TRAY_CALLBACK = WM_APP + 1000;

// A popup menu ready to track: the loaded menu resource and its first submenu.
struct TrayPopupMenu {
    UniqueMenu menu;
    HMENU popup = nullptr;
};

class CSystemTray : public CWnd {
public:
    // The shell call that adds, modifies and deletes the icon (Shell_NotifyIconW unless replaced).
    using NotifyFunction = std::function<BOOL(DWORD message, NOTIFYICONDATAW* data)>;

    CSystemTray();
    // Removes the icon when the shell holds it, and destroys the object's window.
    ~CSystemTray() override;

    // Replaces the shell call; before CreateIcon.
    void SetNotifyFunction(NotifyFunction notify) { m_notify = std::move(notify); }

    // Creates the object's window and adds the icon. The icon's messages go to `parent`'s window when it has
    // one, else to the object's own (then to OnIconNotify). The texts are cut to what the record holds (the
    // tip to 127 characters), never inside a surrogate pair. The balloon shows once, with the first add only.
    // False when the window cannot be created or the shell refused the icon (it is added again at the next
    // shell restart or work-area change unless hidden).
    bool CreateIcon(CWnd* parent, const std::wstring& tip, HICON icon, UINT id, bool hidden = false,
                    const std::wstring& balloonText = L"", const std::wstring& balloonTitle = L"",
                    DWORD balloonFlags = NIIF_NONE, UINT balloonSeconds = 10);
    // Adds the icon again (after removing it when the shell holds it); true when the shell holds it now.
    bool ShowTrayIcon();
    // Removes the icon and keeps it hidden until ShowTrayIcon; true when the shell no longer holds it. When
    // the shell refuses the removal, the icon stays wanted and false is given.
    bool HideTrayIcon();

    // The popup's default item (drawn bold) and the double click's command.
    void SetDefaultMenuItem(UINT item, bool byPosition);
    // The menu resource the popup comes from; 0 (the start) takes the icon's id.
    void SetMenuResource(UINT menuId) { m_menuId = menuId; }
    // The window that owns the popup and gets the commands; null takes the program's main window.
    void SetTargetWnd(HWND target) { m_target = target; }

    // The icon's mouse message: a right button's release tracks the popup, a double click posts the default
    // command to the target. 0 when the message is not for this icon, there is no target, or the menu is
    // missing; 1 otherwise.
    virtual int OnIconNotify(WPARAM id, LPARAM mouseMessage);
    // The popup as a right click shows it: the menu resource's first submenu, its texts from PrepareMenu, then
    // the default item marked (a changed text may clear the mark). Empty when the menu is missing.
    TrayPopupMenu LoadPopupMenu();

protected:
    // Sets the popup's item texts before it shows; nothing here.
    virtual void PrepareMenu(HMENU popup);
    void DeclareMessageMap(MessageMap& map) override;

private:
    LRESULT OnOwnCallback(WPARAM id, LPARAM mouseMessage);
    LRESULT OnSettingChange(WPARAM action, LPARAM);
    LRESULT OnShellRestarted(WPARAM, LPARAM);

    // NIM_ADD with `flags`; when the shell refuses, NIM_MODIFY tells whether it holds the icon after all.
    bool AddIcon(UINT flags);
    bool Notify(DWORD message, UINT flags);
    HWND Target() const;

    NOTIFYICONDATAW m_data{};
    bool m_enabled = false;  // the window exists and the record is filled
    bool m_hidden = true;    // wanted out of the notification area
    bool m_removed = true;   // the shell does not hold the icon
    UINT m_creationFlags = 0;
    MenuDefaultItem m_defaultItem{0, true};
    UINT m_menuId = 0;
    HWND m_target = nullptr;
    NotifyFunction m_notify;
};
