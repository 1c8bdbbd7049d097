#pragma once
// The main window of ZorvaneConf: four tab pages (hosts, IP, program settings, log), the close, sign-out and
// help buttons, and the one place where the settings are applied and saved (ApplySettings.cpp) whenever a page
// reports a change with UWM_SETTING_MODIFIED.
#include <windows.h>

#include <memory>

#include "common/cmdline/CmdLineParser.h"
#include "common/framework/Controls.h"
#include "common/framework/MainDialog.h"

class CZorvaneDlg;

// The main window of the running instance, seen by every instance of the program.
extern HWND g_hSharedMainWnd;

class CZorvaneConfDlg : public CMainDialog {
public:
    // The tab index of each page, as selected_menu stores it.
    enum Page { kHostPage = 0, kIpPage = 1, kSettingsPage = 2, kLogPage = 3, kPageCount = 4 };

    CZorvaneConfDlg();
    ~CZorvaneConfDlg() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

protected:
    void DeclareMessageMap(MessageMap& map) override;

private:
    // Start-up, in this order.
    // False with the fixed text of the load that failed.
    bool LoadDataFiles(std::wstring& failure);
    void CreatePages();
    void InitControls();
    void ShowPage(int index);

    // Applies the settings outside the program's files and saves the four documents (ApplySettings.cpp).
    void ApplySettings();

    // Message handlers.
    void OnDestroy();
    void OnTcnSelchangeTab(NMHDR*, LRESULT* result);
    void OnBnClickedOk();
    void OnBnClickedCancel();
    LRESULT OnSettingModified(WPARAM restart, LPARAM);
    void OnMouseMove(UINT flags, POINT point);
    void OnSize(UINT type, int cx, int cy);
    LRESULT OnSysCommand(WPARAM command, LPARAM);
    void OnBnClickedLogout();
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnBnClickedHelp();

    CTabCtrl m_tab;
    CCmdLineParser m_cmdLine;
    CButton m_closeButton;
    CButton m_logoutButton;
    CButton m_helpButton;
    HCURSOR m_waitCursor = nullptr;
    bool m_busy = false;     // an apply runs
    bool m_restart = false;  // the change being applied restarts the suite
    std::unique_ptr<CZorvaneDlg> m_pages[kPageCount];
    CImageList m_images;
};
