#pragma once
// The sign-in dialog of ZorvaneLogon: the account, the three "remember" boxes, and the attempts that check
// the account by running the host-list updater.
//
// Attempts run on worker threads that only run the updater and post their result; everything the user sees
// and every file write happens here, on the dialog's thread. Each attempt carries a number, and a result is
// taken only while its number is the one the dialog waits for, so a Cancel never swallows a later attempt.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "common/cmdline/CmdLineParser.h"
#include "common/framework/Controls.h"
#include "common/framework/MainDialog.h"
#include "common/framework/Thread.h"
#include "common/base/UniqueHandle.h"
#include "common/ui/DialogLayout.h"
#include "login/SignInResult.h"

// Posted by an attempt thread: wParam is the attempt's number. A failed attempt also gives its result
// (a SignInResult) in lParam.
constexpr UINT UWM_LOGIN_SUCCEEDED = WM_APP + 1000;
constexpr UINT UWM_LOGIN_FAILED = WM_APP + 1002;

// The dialog window of the running instance, seen by every instance of the program.
extern HWND g_hSharedMainWnd;

// What one attempt's thread works with: copies only, so the thread never reads the dialog.
struct LoginAttempt {
    HWND dialog = nullptr;
    unsigned number = 0;
    std::wstring root;
    std::wstring id;
    std::wstring password;
    UniqueHandle stop;  // manual-reset event: set when the attempt is cancelled or the dialog closes

    bool Stopped() const { return ::WaitForSingleObject(stop.get(), 0) == WAIT_OBJECT_0; }
};

class CZorvaneLogonDlg : public CMainDialog {
public:
    CZorvaneLogonDlg();
    ~CZorvaneLogonDlg() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    // The account check: runs <root>\bin\ZorvaneHosts.exe with the account and reads its exit code.
    static SignInResult RunLogin(const LoginAttempt& attempt);
    // Thread bodies; the parameter is a heap-held std::shared_ptr<LoginAttempt> that the thread takes over.
    // They return 1 after a sign-in and 0 otherwise.
    static UINT ManualLoginThread(LPVOID param);
    static UINT AutoLoginThread(LPVOID param);

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
    bool IsCurrentAttempt(WPARAM number) const;
    void StopAttempt();
    void ForgetEndedThreads();
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
    LRESULT OnTimer(WPARAM id, LPARAM);
    LRESULT OnLoginSucceeded(WPARAM number, LPARAM);
    LRESULT OnLoginFailed(WPARAM number, LPARAM result);
    LRESULT OnSecondInstance(WPARAM, LPARAM);
    void OnBnClickedSavePassword();
    void OnBnClickedSaveId();
    void OnBnClickedAutoLogin();

    HCURSOR m_waitCursor = nullptr;
    bool m_busy = false;          // an attempt runs: controls locked, progress sweeping
    bool m_shown = false;         // the dialog may show; only ever goes from false to true
    CDialogLayout m_layout;
    CCmdLineParser m_cmdLine;

    std::shared_ptr<LoginAttempt> m_attempt;  // the attempt whose result the dialog waits for, or none
    unsigned m_attemptCount = 0;
    std::vector<std::unique_ptr<CWinThread>> m_threads;

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
