// The sign-in attempts of the login dialog: the account check, the manual and the automatic attempt
// threads, the busy state and Cancel.
#include <utility>

#include "common/process/Process.h"
#include "common/worker/WorkerRun.h"
#include "login/ZorvaneLogonDlg.h"

namespace {

constexpr DWORD kRetryPauseMs = 5000;
constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT kProgressStepMs = 10;
constexpr ULONGLONG kThreadEndWaitMs = 5000;
constexpr wchar_t kHostsProgram[] = L"ZorvaneHosts";

std::shared_ptr<LoginAttempt> TakeAttempt(LPVOID param) {
    const std::unique_ptr<std::shared_ptr<LoginAttempt>> held(static_cast<std::shared_ptr<LoginAttempt>*>(param));
    return *held;
}

// Posts the result to the dialog, unless the attempt was stopped meanwhile.
UINT Report(const LoginAttempt& attempt, SignInResult result) {
    if (attempt.Stopped()) return 0;
    if (result == SignInResult::SignedIn) {
        ::PostMessageW(attempt.dialog, UWM_LOGIN_SUCCEEDED, attempt.number, 0);
        return 1;
    }
    ::PostMessageW(attempt.dialog, UWM_LOGIN_FAILED, attempt.number, static_cast<LPARAM>(result));
    return 0;
}

}  // namespace

SignInResult CZorvaneLogonDlg::RunLogin(const LoginAttempt& attempt) {
    // A stop also ends an updater that started just after Cancel's kill by name.
    return SignInResultOf(RunHostListUpdater(attempt.root, attempt.id, attempt.password, attempt.stop.get()));
}

UINT CZorvaneLogonDlg::ManualLoginThread(LPVOID param) {
    const std::shared_ptr<LoginAttempt> attempt = TakeAttempt(param);
    // Cancel's kill cannot reach an updater that starts after it: a stopped attempt starts none.
    if (attempt->Stopped()) return 0;
    return Report(*attempt, RunLogin(*attempt));
}

UINT CZorvaneLogonDlg::AutoLoginThread(LPVOID param) {
    const std::shared_ptr<LoginAttempt> attempt = TakeAttempt(param);
    while (!attempt->Stopped()) {
        const SignInResult result = RunLogin(*attempt);
        if (result == SignInResult::SignedIn || result == SignInResult::NotStarted) return Report(*attempt, result);
        // Out of reach or refused: again after a pause that Cancel and closing cut short.
        if (::WaitForSingleObject(attempt->stop.get(), kRetryPauseMs) != WAIT_TIMEOUT) return 0;
    }
    return 0;
}

CZorvaneLogonDlg::~CZorvaneLogonDlg() {
    StopAttempt();
    const ULONGLONG until = ::GetTickCount64() + kThreadEndWaitMs;
    for (const std::unique_ptr<CWinThread>& thread : m_threads) {
        const ULONGLONG now = ::GetTickCount64();
        thread->Wait(now < until ? static_cast<DWORD>(until - now) : 0);
    }
}

void CZorvaneLogonDlg::StartAttempt(bool automatic, const std::wstring& id, const std::wstring& password) {
    ForgetEndedThreads();
    auto attempt = std::make_shared<LoginAttempt>();
    attempt->dialog = m_hWnd;
    attempt->number = ++m_attemptCount;
    attempt->root = GetInstallRoot();
    attempt->id = id;
    attempt->password = password;
    attempt->stop.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));

    SetBusy(true);
    std::unique_ptr<CWinThread> thread;
    if (attempt->stop) {
        auto* param = new std::shared_ptr<LoginAttempt>(attempt);
        thread = AfxBeginThread(automatic ? &CZorvaneLogonDlg::AutoLoginThread : &CZorvaneLogonDlg::ManualLoginThread,
                                param);
        if (!thread) delete param;
    }
    if (!thread) {
        ReportFailure(SignInResult::NotStarted);
        return;
    }
    m_attempt = std::move(attempt);
    m_threads.push_back(std::move(thread));
}

bool CZorvaneLogonDlg::IsCurrentAttempt(WPARAM number) const { return m_attempt && m_attempt->number == number; }

void CZorvaneLogonDlg::StopAttempt() {
    if (!m_attempt) return;
    ::SetEvent(m_attempt->stop.get());
    m_attempt.reset();
}

void CZorvaneLogonDlg::ForgetEndedThreads() {
    for (auto it = m_threads.begin(); it != m_threads.end();) {
        it = (*it)->Wait(0) ? m_threads.erase(it) : it + 1;
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
        m_progress.SetRange(0, 100);
        m_progress.SetPos(0);
        m_progress.SetStep(1);
        SetTimer(kProgressTimer, kProgressStepMs);
    } else {
        KillTimer(kProgressTimer);
    }
}

LRESULT CZorvaneLogonDlg::OnTimer(WPARAM id, LPARAM) {
    // The bar starts again from its beginning when a step passes the end.
    if (id == kProgressTimer && m_busy) m_progress.StepIt();
    return 0;
}

LRESULT CZorvaneLogonDlg::OnMouseMove(WPARAM, LPARAM) {
    if (m_busy) ::SetCursor(m_waitCursor);
    return Default();
}

void CZorvaneLogonDlg::OnBnClickedCancel() {
    if (!m_attempt) return;  // nothing runs: Escape while idle changes nothing
    StopAttempt();
    KillProcessesByName(kHostsProgram);
    SetBusy(false);
}

LRESULT CZorvaneLogonDlg::OnLoginFailed(WPARAM number, LPARAM result) {
    if (!IsCurrentAttempt(number)) return 0;  // cancelled meanwhile
    m_attempt.reset();
    ReportFailure(static_cast<SignInResult>(result));
    return 0;
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
