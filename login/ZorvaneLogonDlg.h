#pragma once
// The sign-in dialog of ZorvaneLogon: the account, the three "remember" boxes, and the attempts that check
// the account by running the host-list updater.
//
// Attempts are the dialog's worker tasks (common/framework/WorkerTasks.h): a body only runs the updater with
// copies of the account; its result comes back to the dialog's thread, where everything the user sees and
// every file write happens. A new attempt supersedes the one before and Cancel stops it, so a stopped
// attempt's result is dropped and never swallows a later attempt's.
#include <windows.h>

#include <string>

#include "common/cmdline/CmdLineParser.h"
#include "common/framework/Controls.h"
#include "common/framework/MainDialog.h"
#include "common/framework/WorkerTasks.h"
#include "common/ui/DialogLayout.h"
#include "login/SignInResult.h"

// The dialog window of the running instance, seen by every instance of the program.
extern HWND g_hSharedMainWnd;

// What one attempt works with: copies only, so its body never reads the dialog.
struct LoginAccount {
    std::wstring root;
    std::wstring id;
    std::wstring password;
};

class CZorvaneLogonDlg : public CMainDialog {
public:
    CZorvaneLogonDlg();

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    // The account check: runs <root>\bin\ZorvaneHosts.exe with the account and reads its exit code; a stop
    // ends the updater.
    static SignInResult RunLogin(const LoginAccount& account, const TaskStop& stop);
    // Attempt bodies. The manual one checks once; the automatic one checks again after a pause while the
    // service is out of reach or refuses, until a sign-in, an updater that does not start, or a stop.
    static SignInResult ManualLoginThread(const LoginAccount& account, const TaskStop& stop);
    static SignInResult AutoLoginThread(const LoginAccount& account, const TaskStop& stop);

protected:
    void DeclareMessageMap(MessageMap& map) override;
    // Hidden until ShowDialog or InitControls allows it.
    bool MayShow() const override { return m_shown; }

private:
    // Start-up.
    bool LoadDataFiles();
    void InitControls();
    void SetupLayout();
    bool ParseCommandLine();
    void StartByMode();

    void ShowDialog();
    void FocusControl(const CWnd& control);
    bool CheckInput();
    int ShowBox(const wchar_t* section, const wchar_t* key, UINT style);

    // Attempts.
    void StartAttempt(bool automatic, const std::wstring& id, const std::wstring& password);
    void OnLoginEnded(SignInResult result, const std::wstring& id, const std::wstring& password);
    void SetBusy(bool on);
    void ReportFailure(SignInResult result);
    void SaveAfterSignIn(const std::wstring& id, const std::wstring& password);

    // Message handlers.
    void OnBnClickedOk();
    void OnBnClickedCancel();
    void OnSize(UINT type, int cx, int cy);
    void OnBnClickedShowPassword();
    void OnClose();
    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnSecondInstance(WPARAM, LPARAM);
    void OnBnClickedSavePassword();
    void OnBnClickedSaveId();
    void OnBnClickedAutoLogin();

    HCURSOR m_waitCursor = nullptr;
    bool m_busy = false;          // an attempt runs: controls locked, progress sweeping
    bool m_shown = false;         // the dialog may show; only ever goes from false to true
    CDialogLayout m_layout;
    CCmdLineParser m_cmdLine;

    CWorkerTasks m_tasks{*this};
    TaskTicket m_attempt = 0;  // the latest attempt; its result is awaited while m_tasks runs it

    CButton m_okButton;
    CButton m_cancelButton;
    CEdit m_idEdit;
    CEdit m_passwordEdit;
    CStatic m_idLabel;
    CStatic m_passwordLabel;
    CButton m_loginGroup;
    CButton m_descriptionGroup;
    CStatic m_description;
    CButton m_autoLogin;
    CButton m_showPassword;
    CButton m_savePassword;
    CButton m_saveId;
    CStatic m_nowLogin;
    CProgressCtrl m_progress;
};
