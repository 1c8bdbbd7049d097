#pragma once
// The tray program's dialog: never shown, it owns the notification-area icon and runs the icon's commands.
//
// Each command that starts something is one of the dialog's worker tasks (common/framework/WorkerTasks.h):
// its body works on copies of the program folder and the installation root only, and waits, where it
// waits, on its own thread. The tasks are left running when the dialog ends: the programs they started keep
// running, and their late results reach no window.
#include <windows.h>

#include <memory>
#include <string>

#include "common/cmdline/CmdLineParser.h"
#include "common/framework/MainDialog.h"
#include "common/framework/WorkerTasks.h"
#include "tray/MultiLangSystemTray.h"

// The dialog window of the running instance, seen by every instance of the program.
extern HWND g_hSharedMainWnd;

// The icon's id in every call to the shell, whichever menu it opens.
constexpr UINT kTrayIconId = 129;

// What a command body works with: copies, taken on the dialog's thread.
struct TrayPaths {
    std::wstring folder;  // the tray program's own folder (its neighbours)
    std::wstring root;    // the installation root (the launcher, bin\ZorvaneLogon.exe)
};

class CZorvaneTrayDlg : public CMainDialog {
public:
    CZorvaneTrayDlg();

    BOOL OnInitDialog() override;
    // Enter and Escape reach a hidden dialog too (it is the foreground window after a popup): they end
    // nothing. The dialog ends only by Exit answered Yes, WM_CLOSE or a failed start-up.
    void OnOK() override {}
    void OnCancel() override {}

    // A user is signed in while the agent's mutex exists; asked anew at every use.
    static bool IsSignedIn();
    // Readies the icon for a right click's popup in this state: menu 129 with the settings as its default
    // item when signed in, menu 130 with the sign-in when signed out.
    static void PreparePopup(CSystemTray& tray, bool signedIn);

    // Command bodies; each gives the started program's exit code, kRunFailed, or 0 when it started nothing.
    static int RunConfThread(const TrayPaths& paths);
    static int RunAboutThread(const TrayPaths& paths);
    static int RunPatchThread(const TrayPaths& paths);
    static int OpenHomePageThread(const TrayPaths& paths);
    static int LogoutThread(const TrayPaths& paths);
    static int LoginThread(const TrayPaths& paths);
    static int RunPrefsThread(const TrayPaths& paths);
    static int OpenServicesThread(const TrayPaths& paths);
    // Tells the launcher to stop the suite, without waiting for it.
    static void StopLauncher(const TrayPaths& paths);

protected:
    void DeclareMessageMap(MessageMap& map) override;
    bool MayShow() const override { return false; }

private:
    bool LoadDataFiles();
    void CreateTrayIcon();
    void StartCommand(int (*body)(const TrayPaths&));

    LRESULT OnTrayCallback(WPARAM id, LPARAM mouseMessage);
    LRESULT OnSecondInstance(WPARAM, LPARAM);
    void OnDestroy();
    void OnClose() { EndDialog(IDCANCEL); }
    void OnMenuDdnsConfig() { StartCommand(&RunConfThread); }
    void OnMenuProgramInformation() { StartCommand(&RunAboutThread); }
    void OnMenuProgramUpdate() { StartCommand(&RunPatchThread); }
    void OnMenuHomePage() { StartCommand(&OpenHomePageThread); }
    void OnMenuLogout() { StartCommand(&LogoutThread); }
    void OnMenuLogin() { StartCommand(&LoginThread); }
    void OnMenuPrefs() { StartCommand(&RunPrefsThread); }
    void OnMenuServices() { StartCommand(&OpenServicesThread); }
    void OnMenuExit();

    CCmdLineParser m_cmdLine;
    std::unique_ptr<CMultiLangSystemTray> m_tray;
    CWorkerTasks m_tasks{*this, CWorkerTasks::OwnerGone::LeaveRunning};
    bool m_askingExit = false;  // the exit question shows; the popup still opens meanwhile
};
