#include "config/ZorvaneWaitDlg.h"

#include "common/language/LangTable.h"
#include "common/process/Process.h"
#include "common/ui/TextTable.h"
#include "config/resource.h"

namespace {

// Posted to itself when the work's thread could not be started: the run ends from the dialog's loop.
constexpr UINT UWM_WORK_NOT_STARTED = WM_APP + 101;
// The bar's step; Windows times steps below 10 ms at 10 ms.
constexpr UINT kStepMs = 5;

constexpr int kWorkTask = 1;

const TextRow kTexts[] = {
    {IDCANCEL, L"general", L"cancel"},
};

}  // namespace

CZorvaneWaitDlg::CZorvaneWaitDlg() : CDialog(IDD_WAIT) {}

CZorvaneWaitDlg::~CZorvaneWaitDlg() { m_running = false; }

void CZorvaneWaitDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    dx->Bind(IDC_PROGRESS_WAIT, m_progress);
    dx->Bind(IDCANCEL, m_cancelButton);
    dx->Bind(IDC_STATIC_WAIT_MESSAGE, m_messageText);
}

void CZorvaneWaitDlg::DeclareMessageMap(MessageMap& map) {
    CDialog::DeclareMessageMap(map);
    map.OnCommand(BN_CLICKED, IDCANCEL, &CZorvaneWaitDlg::OnBnClickedCancel);
    map.OnMessage(UWM_WORK_NOT_STARTED, &CZorvaneWaitDlg::OnWorkNotStarted);
}

INT_PTR CZorvaneWaitDlg::DoModal(Work work, WorkDone done) {
    if (m_hWnd) return -1;  // a run is showing: it is left alone
    // Nothing of an earlier run survives into this one.
    m_running = false;
    m_stopped = false;
    m_work = std::move(work);
    m_done = std::move(done);
    const INT_PTR result = CDialog::DoModal();
    m_running = false;
    m_work = nullptr;
    m_done = nullptr;
    return result;
}

void CZorvaneWaitDlg::RunProgramWait(const wchar_t* section, const wchar_t* titleKey, const wchar_t* messageKey,
                                     const wchar_t* program, Work work, WorkDone done) {
    CLangTable* texts = CLangTable::GetInstance();
    SetTitle(texts->GetText(section, titleKey));
    SetMessage(texts->GetText(section, messageKey));
    if (DoModal(std::move(work), std::move(done)) == IDCANCEL) KillProcessesByName(program);
}

BOOL CZorvaneWaitDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    InitControls();
    StartWork();
    CenterWindow();
    return TRUE;
}

void CZorvaneWaitDlg::InitControls() {
    SetDialogTexts(m_hWnd, kTexts);
    SetWindowText(m_title);
    m_messageText.SetWindowText(m_message);
    m_progress.StartEndless(kStepMs);
    m_running = true;
    m_stopped = false;
}

void CZorvaneWaitDlg::StartWork() {
    const TaskTicket ticket = m_tasks.Start(
        kWorkTask, TaskMode::Supersede, [work = m_work](const TaskStop& stop) { return work ? work(stop) : 0; },
        [this](int result) { OnWorkEnded(result); });
    if (!ticket) PostMessage(UWM_WORK_NOT_STARTED);
}

LRESULT CZorvaneWaitDlg::OnWorkNotStarted(WPARAM, LPARAM) {
    OnWorkEnded(kWorkNotStarted);
    return 0;
}

// Only the result of the run that is still awaited arrives here: a cancelled run's is dropped.
void CZorvaneWaitDlg::OnWorkEnded(int result) {
    if (!m_running) return;
    if (m_done) m_done(result);
    EndWait();
}

bool CZorvaneWaitDlg::EndWait() {
    if (!m_hWnd || ::GetWindowThreadProcessId(m_hWnd, nullptr) != ::GetCurrentThreadId() || !m_running) {
        return false;
    }
    m_running = false;
    m_progress.StopEndless();
    // Hidden at once, so that a box the page shows next does not open over it. The owner is enabled first, so
    // that the activation passes to it rather than to another program's window.
    if (const HWND owner = ::GetWindow(m_hWnd, GW_OWNER)) ::EnableWindow(owner, TRUE);
    ShowWindow(SW_HIDE);
    CDialog::OnCancel();
    return true;
}

void CZorvaneWaitDlg::OnBnClickedCancel() {
    m_running = false;
    m_stopped = true;
    m_tasks.StopAll();
    m_progress.StopEndless();
    CDialog::OnCancel();
}
