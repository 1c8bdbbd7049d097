// The sign-in attempts of the login dialog: the account check, the manual and the automatic attempt
// bodies with the worker tasks that run them, the busy state and Cancel.
#include "common/process/Process.h"
#include "common/suite/SuiteContract.h"
#include "common/worker/WorkerRun.h"
#include "login/ZorvaneLogonDlg.h"

namespace {

constexpr DWORD kRetryPauseMs = 5000;
constexpr UINT kProgressStepMs = 10;
constexpr int kAttemptTask = 1;

}  // namespace

SignInResult CZorvaneLogonDlg::RunLogin(const LoginAccount& account, const TaskStop& stop) {
    // A stopped attempt starts no updater, and a stop also ends one that started just after Cancel's kill
    // by name.
    return SignInResultOf(RunHostListUpdater(account.root, account.id, account.password, stop.Event()));
}

SignInResult CZorvaneLogonDlg::ManualLoginThread(const LoginAccount& account, const TaskStop& stop) {
    return RunLogin(account, stop);
}

SignInResult CZorvaneLogonDlg::AutoLoginThread(const LoginAccount& account, const TaskStop& stop) {
    for (;;) {
        const SignInResult result = RunLogin(account, stop);
        if (result == SignInResult::SignedIn || result == SignInResult::NotStarted) return result;
        // Out of reach or refused: again after a pause that Cancel and closing cut short.
        if (stop.StoppedWithin(kRetryPauseMs)) return result;
    }
}

void CZorvaneLogonDlg::StartAttempt(bool automatic, const std::wstring& id, const std::wstring& password) {
    const LoginAccount account{GetInstallRoot(), id, password};
    SetBusy(true);
    m_attempt = m_tasks.Start(
        kAttemptTask, TaskMode::Supersede,
        [account, automatic](const TaskStop& stop) {
            return automatic ? AutoLoginThread(account, stop) : ManualLoginThread(account, stop);
        },
        [this, id, password](SignInResult result) { OnLoginEnded(result, id, password); });
    if (!m_attempt) ReportFailure(SignInResult::NotStarted);
}

// Only the result of the attempt still awaited arrives here: one that was cancelled is dropped.
void CZorvaneLogonDlg::OnLoginEnded(SignInResult result, const std::wstring& id, const std::wstring& password) {
    if (result == SignInResult::SignedIn) {
        SaveAfterSignIn(id, password);
    } else {
        ReportFailure(result);
    }
}

void CZorvaneLogonDlg::SetBusy(bool on) {
    m_busy = on;
    // The button that stays usable is enabled and takes the focus before the other is disabled, so that
    // the keyboard (Escape included) keeps reaching the dialog.
    CButton& usable = on ? m_cancelButton : m_okButton;
    CButton& locked = on ? m_okButton : m_cancelButton;
    const HWND focus = ::GetFocus();
    usable.EnableWindow(TRUE);
    if (m_shown && (on || focus == nullptr || focus == locked.m_hWnd)) FocusControl(usable);
    locked.EnableWindow(FALSE);
    for (CWnd* control : {static_cast<CWnd*>(&m_idEdit), static_cast<CWnd*>(&m_passwordEdit),
                          static_cast<CWnd*>(&m_autoLogin), static_cast<CWnd*>(&m_saveId),
                          static_cast<CWnd*>(&m_savePassword)}) {
        control->EnableWindow(!on);
    }
    m_progress.ShowWindow(on ? SW_SHOW : SW_HIDE);
    m_nowLogin.ShowWindow(on ? SW_SHOW : SW_HIDE);
    for (CButton* box : {&m_autoLogin, &m_saveId, &m_savePassword}) box->ShowWindow(on ? SW_HIDE : SW_SHOW);
    if (on) {
        m_progress.StartEndless(kProgressStepMs);
    } else {
        m_progress.StopEndless();
    }
}

LRESULT CZorvaneLogonDlg::OnMouseMove(WPARAM, LPARAM) {
    if (m_busy) ::SetCursor(m_waitCursor);
    return Default();
}

void CZorvaneLogonDlg::OnBnClickedCancel() {
    if (!m_tasks.Stop(m_attempt)) return;  // nothing runs: Escape while idle changes nothing
    KillProcessesByName(kZorvaneHostsProcessName);
    SetBusy(false);
}

void CZorvaneLogonDlg::ReportFailure(SignInResult result) {
    SetBusy(false);
    ShowDialog();
    switch (result) {
        case SignInResult::NotStarted:
            ShowBox(L"error", L"fail_program_load", MB_OK | MB_ICONEXCLAMATION);
            break;
        case SignInResult::Unreachable:
            ShowBox(L"error", L"not_connect_server", MB_OK | MB_ICONINFORMATION);
            break;
        default:
            ShowBox(L"information", L"fail_login", MB_OK | MB_ICONINFORMATION);
            break;
    }
    FocusControl(m_okButton);
}
