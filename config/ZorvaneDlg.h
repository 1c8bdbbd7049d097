#pragma once
// CZorvaneDlg: the base of the configuration program's four tab pages. A page is its dialog resource, its
// layout table (SetupLayout), its texts and contents (InitControls) and its message map; the base sets it up in
// that order, keeps Enter and Escape inside it harmless, keeps its controls placed as it is resized, and paints
// it with the visual-style background of the main window's tab control so that it looks part of the tab.
#include <windows.h>

#include "common/framework/Dialog.h"
#include "common/framework/ThemeBrush.h"
#include "common/ui/DialogLayout.h"
#include "config/ZorvaneWaitDlg.h"

// Posted by a page to the main window after it changed a setting in memory; the main window then applies
// and saves everything. wParam 1 also restarts the suite, 0 does not; lParam 0.
constexpr UINT UWM_SETTING_MODIFIED = WM_USER + 1000;

// Takes from this thread's queue the UWM_SETTING_MODIFIED messages posted to the main window and not yet
// handled. True when there was one; `restart` is then 1 when one of them asked for a restart.
bool TakePendingSettingChanges(HWND mainWindow, WPARAM& restart);

class CZorvaneDlg : public CDialog {
public:
    // The page's dialog resource and the main window, its parent once created.
    CZorvaneDlg(UINT templateId, CWnd* parent);

    // Layout engine on this page (scale and anchor, base 100 x 100, every control registered with its
    // current rectangle), then SetupLayout, then InitControls.
    BOOL OnInitDialog() override;
    // Enter and Escape inside a page neither close it nor reach the main window.
    void OnOK() override {}
    void OnCancel() override {}

protected:
    // The page's texts from the language file and its contents from the settings and data files.
    virtual void InitControls() = 0;
    // The page's layout rules.
    virtual void SetupLayout() = 0;

    void DeclareMessageMap(MessageMap& map) override;
    void OnSize(UINT type, int cx, int cy);
    // Refreshes the theme brush inside a paint cycle; pages replace it with their own that also redraws
    // their controls.
    void OnPaint();
    // Every control colour message, the page's own background included: the default colours unthemed, the
    // tab's texture themed.
    HBRUSH OnCtlColor(HDC dc, HWND control, CtlColor kind);

    void UpdateThemeBrush();
    // The main window's tab control that the page lies over.
    HWND TabControl() const;
    // UWM_SETTING_MODIFIED to the main window.
    void NotifySettingModified(bool restart) const;
    // Has the main window apply now the changes announced and not yet applied, so that a program started
    // next reads the files as the pages show them.
    void ApplyPendingSettings() const;

    CDialogLayout m_layout;
    CThemeBrush m_themeBrush;
    CZorvaneWaitDlg m_waitDlg;
};
