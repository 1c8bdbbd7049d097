#include "common/framework/WorkerTasks.h"

#include "common/framework/Wnd.h"

namespace {

std::atomic<TaskTicket> g_lastTicket{0};

constexpr DWORD kPostRetryMs = 50;

TaskTicket NextTicket() {
    TaskTicket ticket = 0;
    while (ticket == 0) ticket = ++g_lastTicket;  // 0 is no ticket, also after a wrap
    return ticket;
}

}  // namespace

UINT TaskDoneMessage() {
    // Registered, so that it meets no program's own message numbers.
    static const UINT message = ::RegisterWindowMessageW(L"ZorvaneWorkerTaskDone");
    return message;
}

CWorkerTasks::CWorkerTasks(CWnd& owner, OwnerGone policy)
    : m_owner(owner), m_policy(policy), m_madeOnThread(::GetCurrentThreadId()) {
    if (!m_owner.m_tasks) m_owner.m_tasks = this;
}

CWorkerTasks::~CWorkerTasks() {
    if (m_owner.m_tasks == this) m_owner.m_tasks = nullptr;
    DropAll();
    if (m_policy == OwnerGone::StopAndWait) {
        const ULONGLONG until = ::GetTickCount64() + kOwnerGoneWaitMs;
        for (const Task& task : m_tasks) {
            const ULONGLONG now = ::GetTickCount64();
            task.thread->Wait(now < until ? static_cast<DWORD>(until - now) : 0);
        }
    }
    // The threads still running keep their shared state and end by themselves.
}

bool CWorkerTasks::OnOwnerThread() const {
    const HWND window = m_owner.m_hWnd;
    const DWORD thread = window ? ::GetWindowThreadProcessId(window, nullptr) : m_madeOnThread;
    return thread == ::GetCurrentThreadId();
}

TaskTicket CWorkerTasks::Launch(int kind, TaskMode mode, std::shared_ptr<Shared> shared,
                                std::function<void()> deliver) {
    // A second tasks object of the same window would never see its results.
    if (m_owner.m_tasks != this || !m_owner.m_hWnd || !OnOwnerThread() || TaskDoneMessage() == 0) return 0;
    ForgetEnded();
    shared->stopEvent.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!shared->stopEvent) return 0;
    shared->ticket = NextTicket();
    shared->window = m_owner.m_hWnd;

    // Made suspended, so that the tickets it supersedes are stopped only once it exists, and before it runs.
    auto* param = new std::shared_ptr<Shared>(shared);
    std::unique_ptr<CWinThread> thread = AfxBeginThread(&CWorkerTasks::ThreadMain, param, THREAD_PRIORITY_NORMAL,
                                                        CREATE_SUSPENDED);
    if (!thread) {
        delete param;
        return 0;
    }
    if (mode == TaskMode::Supersede) {
        for (Task& task : m_tasks) {
            if (task.kind == kind && task.deliver) Drop(task, true);
        }
    }
    const TaskTicket ticket = shared->ticket;
    m_tasks.push_back(Task{kind, std::move(shared), std::move(thread), std::move(deliver)});
    ::ResumeThread(m_tasks.back().thread->Handle());
    return ticket;
}

UINT CWorkerTasks::ThreadMain(LPVOID param) {
    const std::shared_ptr<Shared> shared = [param] {
        const std::unique_ptr<std::shared_ptr<Shared>> held(static_cast<std::shared_ptr<Shared>*>(param));
        return *held;
    }();
    shared->RunBody(TaskStop(shared->stopEvent.get()));
    shared->done.store(true, std::memory_order_release);
    // A result posted just before a stop is dropped by Deliver; one posted after the owner went finds no
    // tasks object (CWnd routes the message only to a live one) or no window at all.
    // A full message queue refuses a post: tried again for as long as the owner waits for the result (its end,
    // a stop or a supersede ends the wait), so that the result is never lost.
    while (shared->wanted.load(std::memory_order_acquire)) {
        if (::PostMessageW(shared->window, TaskDoneMessage(), shared->ticket, 0)) break;
        if (!::IsWindow(shared->window)) break;
        ::Sleep(kPostRetryMs);
    }
    return 0;
}

void CWorkerTasks::Drop(Task& task, bool stop) {
    task.shared->wanted.store(false, std::memory_order_release);
    if (stop) ::SetEvent(task.shared->stopEvent.get());
    task.deliver = nullptr;
}

void CWorkerTasks::DropAll() {
    for (Task& task : m_tasks) {
        if (task.deliver) Drop(task, m_policy == OwnerGone::StopAndWait);
    }
}

void CWorkerTasks::ForgetEnded() {
    for (auto it = m_tasks.begin(); it != m_tasks.end();) {
        it = !it->deliver && it->thread->Wait(0) ? m_tasks.erase(it) : it + 1;
    }
}

bool CWorkerTasks::Stop(TaskTicket ticket) {
    if (ticket == 0 || !OnOwnerThread()) return false;
    for (Task& task : m_tasks) {
        if (task.shared->ticket != ticket) continue;
        if (!task.deliver) return false;
        Drop(task, true);
        return true;
    }
    return false;
}

bool CWorkerTasks::StopAll() {
    if (!OnOwnerThread()) return false;
    for (Task& task : m_tasks) {
        if (task.deliver) Drop(task, true);
    }
    return true;
}

bool CWorkerTasks::IsRunning(TaskTicket ticket) const {
    if (ticket == 0 || !OnOwnerThread()) return false;
    for (const Task& task : m_tasks) {
        if (task.shared->ticket == ticket) return static_cast<bool>(task.deliver);
    }
    return false;
}

void CWorkerTasks::Deliver(TaskTicket ticket) {
    for (Task& task : m_tasks) {
        if (task.shared->ticket != ticket) continue;
        // A message whose result is not stored is not the body's own.
        if (!task.deliver || !task.shared->done.load(std::memory_order_acquire)) return;
        std::function<void()> deliver = std::move(task.deliver);
        task.deliver = nullptr;
        task.shared->wanted.store(false, std::memory_order_release);
        deliver();  // may start or stop tasks: `task` may be gone from here on
        return;
    }
}
