#pragma once
// CWorkerTasks: the background work that one window object owns.
//
//   class CMyPage : public CDialog { ... CWorkerTasks m_tasks{*this}; TaskTicket m_refresh = 0; };
//   m_refresh = m_tasks.Start(kRefresh, TaskMode::Supersede,
//       [root, id, password](const TaskStop& stop) { return RunHostListUpdater(root, id, password, stop.Event()); },
//       [this](int exitCode) { OnRefreshed(exitCode); });
//
// A body runs on a thread of its own (AfxBeginThread) with copies of its inputs and a stop token; it never
// touches the window, its controls, its documents or the language table. Its result is posted to the owner's
// window and handed to the handler there, on the window's thread, unless the ticket was stopped or superseded
// meanwhile: then it is dropped. The framework takes its own "task done" message before the owner's message
// map, so the owner needs no wiring beyond the member.
//
// When the owner's window goes (destroyed, or let go by the object) no result can be delivered any more: the
// bodies are stopped (StopAndWait) or left running (LeaveRunning). When this object goes, StopAndWait stops
// every body and waits at most kOwnerGoneWaitMs in all for their threads, then lets go of those still running;
// LeaveRunning neither stops nor waits. A body let go of keeps only its own copies and its task's shared state
// (stop event and result slot), and its late result reaches no window object.
//
// Unlike std::stop_token, TaskStop carries a Win32 event, and a stop also drops the ticket's result; like it,
// a stop only asks: a body that never looks at its token runs to its end.
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

#include "common/base/UniqueHandle.h"
#include "common/framework/Thread.h"

class CWnd;

// Names one start; 0 is no ticket. Unique in the process, so a result never reaches another start's handler.
using TaskTicket = unsigned;

// What a body is handed to see whether it should end.
class TaskStop {
public:
    explicit TaskStop(HANDLE event) : m_event(event) {}
    // The manual-reset event that a stop sets: for RunProgramWithArgsUntil and the body's own waits.
    HANDLE Event() const { return m_event; }
    bool Stopped() const { return ::WaitForSingleObject(m_event, 0) == WAIT_OBJECT_0; }
    // Waits up to `milliseconds`; true when the stop came (a pause cut short).
    bool StoppedWithin(DWORD milliseconds) const {
        return ::WaitForSingleObject(m_event, milliseconds) != WAIT_TIMEOUT;
    }

private:
    HANDLE m_event;
};

enum class TaskMode {
    Supersede,  // stops the running tickets of the same kind first (a new attempt, a new refresh)
    Beside,     // leaves them running (commands that may run at once)
};

class CWorkerTasks {
public:
    // What happens to running bodies when the owner goes.
    enum class OwnerGone {
        StopAndWait,   // stopped; this object's end waits for them a short, bounded time
        LeaveRunning,  // neither stopped nor waited for: they start programs that must keep running
    };
    // The longest wait of one tasks object when it goes (each object waits for its own bodies).
    static constexpr DWORD kOwnerGoneWaitMs = 2000;

    // One per window object, as its member, made on the thread that will run the window. The owner's thread
    // below is the thread of the owner's window (this object's own while the owner has none).
    explicit CWorkerTasks(CWnd& owner, OwnerGone policy = OwnerGone::StopAndWait);
    ~CWorkerTasks();
    CWorkerTasks(const CWorkerTasks&) = delete;
    CWorkerTasks& operator=(const CWorkerTasks&) = delete;

    // Owner's thread only. Runs body(const TaskStop&) -> Result on a new thread, then onResult(Result) on the
    // owner's thread. `kind` groups starts for TaskMode::Supersede, which stops that kind's running tickets
    // first. 0 when nothing started: called from another thread, the owner has no window, or no thread.
    template <class Body, class Handler>
    TaskTicket Start(int kind, TaskMode mode, Body body, Handler onResult);

    // Owner's thread only. Sets the ticket's stop event and drops its result. False when the ticket is not
    // running (delivered, stopped, superseded, unknown) or the call comes from another thread.
    bool Stop(TaskTicket ticket);
    // Owner's thread only. Stops every running ticket; false from another thread.
    bool StopAll();
    // Owner's thread only. True from the start until the result is delivered or the ticket stopped.
    bool IsRunning(TaskTicket ticket) const;

private:
    friend class CWnd;

    // What a task's thread and this object share; kept alive by whichever lets go last.
    struct Shared {
        virtual ~Shared() = default;
        virtual void RunBody(const TaskStop& stop) = 0;
        TaskTicket ticket = 0;
        HWND window = nullptr;
        UniqueHandle stopEvent;
        std::atomic<bool> wanted{true};  // the owner still waits for the result
        std::atomic<bool> done{false};   // the result is stored
    };
    template <class Body, class Result>
    struct Typed : Shared {
        explicit Typed(Body&& b) : body(std::move(b)) {}
        void RunBody(const TaskStop& stop) override {
            result.emplace(std::move(*body)(stop));
            body.reset();  // the copies go on the body's thread
        }
        std::optional<Body> body;
        std::optional<Result> result;
    };
    struct Task {
        int kind;
        std::shared_ptr<Shared> shared;
        std::unique_ptr<CWinThread> thread;
        std::function<void()> deliver;  // hands the result to the handler; empty once delivered or stopped
    };

    TaskTicket Launch(int kind, TaskMode mode, std::shared_ptr<Shared> shared, std::function<void()> deliver);
    static UINT ThreadMain(LPVOID param);
    bool OnOwnerThread() const;
    void Drop(Task& task, bool stop);
    void DropAll();
    void ForgetEnded();
    // Called by CWnd: the routed "task done" message, and the owner's window going.
    void Deliver(TaskTicket ticket);
    void OnOwnerWindowGone() { DropAll(); }

    CWnd& m_owner;
    const OwnerGone m_policy;
    const DWORD m_madeOnThread;
    std::vector<Task> m_tasks;
};

// The framework's message that carries a finished ticket (wParam) to its owner's window; CWnd routes it.
UINT TaskDoneMessage();

template <class Body, class Handler>
TaskTicket CWorkerTasks::Start(int kind, TaskMode mode, Body body, Handler onResult) {
    using Result = std::decay_t<std::invoke_result_t<Body&&, const TaskStop&>>;
    auto typed = std::make_shared<Typed<Body, Result>>(std::move(body));
    std::function<void()> deliver = [typed, handler = std::move(onResult)]() mutable {
        handler(std::move(*typed->result));
    };
    return Launch(kind, mode, std::move(typed), std::move(deliver));
}
