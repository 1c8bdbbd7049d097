#include "config/ZorvaneWaitDlg.h"

#include <atomic>

#include "common/base/UniqueHandle.h"
#include "common/language/LangTable.h"
#include "common/process/Process.h"
#include "common/ui/TextTable.h"
#include "config/resource.h"

namespace {

// One step of the bar, posted by the animation to the dialog.
constexpr UINT UWM_PROGRESS_STEP = WM_APP + 100;
// Posted to itself when the work's thread could not be started: the run ends from the dialog's loop.
constexpr UINT UWM_WORK_NOT_STARTED = WM_APP + 101;
constexpr DWORD kStepMs = 5;

constexpr int kAnimationTask = 1;
constexpr int kWorkTask = 2;

const TextRow kTexts[] = {
    {IDCANCEL, L"general", L"cancel"},
};

}  // namespace

// What the animation's thread and the dialog share: a step waits for the one before it to be taken, so a
// busy dialog thread never finds a heap of them; the event tells that the thread posts no more.
struct CZorvaneWaitDlg::Animation {
    std::atomic<bool> stepPending{false};
    UniqueHandle ended{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

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
    map.OnMessage(UWM_PROGRESS_STEP, &CZorvaneWaitDlg::OnProgressStep);
    map.OnMessage(UWM_WORK_NOT_STARTED, &CZorvaneWaitDlg::OnWorkNotStarted);
}

INT_PTR CZorvaneWaitDlg::DoModal(Work work, WorkDone done) {
    if (m_hWnd) return -1;  // a run is showing: it is left alone
    // Nothing of an earlier run survives into this one.
    m_running = false;
    m_stopped = false;
    m_animationTicket = 0;
    m_animation.reset();
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
    StartAnimation();
    StartWork();
    CenterWindow();
    return TRUE;
}

void CZorvaneWaitDlg::InitControls() {
    SetDialogTexts(m_hWnd, kTexts);
    SetWindowText(m_title);
    m_messageText.SetWindowText(m_message);
    m_progress.SetRange(0, 100);
    m_progress.SetPos(0);
    m_progress.SetStep(1);
    m_running = true;
    m_stopped = false;
}

void CZorvaneWaitDlg::StartAnimation() {
    auto animation = std::make_shared<Animation>();
    const HWND window = m_hWnd;
    m_animationTicket = m_tasks.Start(
        kAnimationTask, TaskMode::Supersede,
        [animation, window](const TaskStop& stop) {
            while (!stop.StoppedWithin(kStepMs)) {
                if (!animation->stepPending.exchange(true)) ::PostMessageW(window, UWM_PROGRESS_STEP, 0, 0);
            }
            ::SetEvent(animation->ended.get());
            return 1;
        },
        [](int) {});
    if (m_animationTicket) m_animation = std::move(animation);
}

void CZorvaneWaitDlg::StopAnimation() {
    if (!m_animation) return;
    m_tasks.Stop(m_animationTicket);
    ::WaitForSingleObject(m_animation->ended.get(), kAnimationStopWaitMs);
    m_animation.reset();
    m_animationTicket = 0;
}

LRESULT CZorvaneWaitDlg::OnProgressStep(WPARAM, LPARAM) {
    // A step past the end starts the bar again at its beginning.
    if (m_animation && m_running) {
        m_animation->stepPending = false;
        m_progress.StepIt();
    }
    return 0;
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
    StopAnimation();
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
    StopAnimation();
    CDialog::OnCancel();
}
