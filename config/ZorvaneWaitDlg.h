#pragma once
// CZorvaneWaitDlg: the modal wait dialog with an endlessly running progress bar that a page shows while one of
// its worker programs runs (the host-list refresh, the address update).
//
//   m_waitDlg.RunProgramWait(L"host_config", L"wait_refresh_title", L"wait_refresh_message",
//       kZorvaneHostsProcessName,
//       [root, args](const TaskStop& stop) { return RunProgramWithArgsUntil(...); },
//       [this](int exitCode) { ...; m_waitDlg.EndWait(); ShowReport(exitCode); });
//
// Each DoModal is one run: its state is reset before anything starts. The work is a worker task of the dialog
// (common/framework/WorkerTasks.h), started once the dialog exists; it holds copies only and reaches the
// dialog by posting to it. The bar steps from a timer on the dialog's thread. The work's result is handed to
// the page's handler on the dialog's thread, while the dialog is still up, also when the work ended before
// the dialog had shown; the handler ends the wait with EndWait, and the wait ends at the latest when the
// handler returns. Cancel (the button, Escape, the close box) ends the wait at once and stops the run: its
// result is dropped, so a cancelled run never reports, never closes a later run's dialog and leaves nothing
// behind that a later run would see.
// EndWait belongs to the dialog's thread: a worker never calls it.
#include <functional>
#include <string>

#include "common/framework/Controls.h"
#include "common/framework/Dialog.h"
#include "common/framework/WorkerTasks.h"

class CZorvaneWaitDlg : public CDialog {
public:
    // The work of one run, on a thread of its own with copies of its inputs; its result (a program's exit code).
    using Work = std::function<int(const TaskStop& stop)>;
    // What the page does with the result, on the dialog's thread.
    using WorkDone = std::function<void(int result)>;
    // The result handed on when the work's thread cannot be started.
    static constexpr int kWorkNotStarted = -1;

    // No parent: DoModal makes the application's main window the owner.
    CZorvaneWaitDlg();
    ~CZorvaneWaitDlg() override;

    // The caption and the message of the next run.
    void SetTitle(const std::wstring& title) { m_title = title; }
    void SetMessage(const std::wstring& message) { m_message = message; }

    // Shows the dialog while `work` runs and hands its result to `done`. Returns IDCANCEL whether the user
    // cancelled or the work ended, or -1 when the dialog could not be created (nothing then runs).
    INT_PTR DoModal(Work work, WorkDone done);
    // One run of a worker program: the caption and the message are the texts of `titleKey` and `messageKey` in
    // the language section, then DoModal, then every process named `program` is ended by name. The wait ends
    // with IDCANCEL either way, so this ends a cancelled run's program, and after a run's end it reaches only a
    // copy that something else started.
    void RunProgramWait(const wchar_t* section, const wchar_t* titleKey, const wchar_t* messageKey,
                        const wchar_t* program, Work work, WorkDone done);
    // Ends the wait of the run whose result is being handled: the bar stops, the dialog hides and closes.
    // False, doing nothing, when no wait is up (the user cancelled, the wait already ended, no run) or when
    // called from another thread.
    bool EndWait();
    // True while a run waits: from the dialog's start until its end or Cancel.
    bool IsWaiting() const { return m_running; }
    // True when the user cancelled the last run.
    bool Cancelled() const { return m_stopped; }

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

protected:
    void DeclareMessageMap(MessageMap& map) override;

private:
    void InitControls();
    void StartWork();
    void OnWorkEnded(int result);
    void OnBnClickedCancel();
    LRESULT OnWorkNotStarted(WPARAM, LPARAM);

    bool m_running = false;
    bool m_stopped = false;
    std::wstring m_title;
    std::wstring m_message;
    Work m_work;
    WorkDone m_done;

    CProgressCtrl m_progress;
    CButton m_cancelButton;
    CStatic m_messageText;
    // Last, so that it goes first: the bodies are stopped before anything they were started for.
    CWorkerTasks m_tasks{*this};
};
