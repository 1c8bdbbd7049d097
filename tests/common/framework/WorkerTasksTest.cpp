// Worker tasks as one table: what was delivered, when and on which thread, and what still runs. The program
// a body starts is the stand-in, ended through its stop event (RunProgramWithArgsUntil).
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/base/UniqueHandle.h"
#include "common/framework/Dialog.h"
#include "common/framework/WorkerTasks.h"
#include "common/process/Process.h"
#include "tests/common/framework/TestDialogIds.h"
#include "tests/support/ProcessSupport.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WindowDriver.h"

namespace {

using OwnerGone = CWorkerTasks::OwnerGone;

constexpr int kKind = 1;
constexpr int kAtOnce = 7;         // what a body without a program gives
constexpr int kProgramExit = 41;   // what the first body's program ends with
constexpr int kSecond = 42;        // what a second body gives, at once
constexpr unsigned kLongMs = 60000;

class TaskOwner : public CWnd {
public:
    explicit TaskOwner(OwnerGone policy) : tasks(*this, policy) {}
    CWorkerTasks tasks;
};

// What a body shares with the test; kept alive by both.
struct Probe {
    UniqueHandle gate{::CreateEventW(nullptr, TRUE, TRUE, nullptr)};  // the body waits for it first
    UniqueHandle ended{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<DWORD> thread{0};
    bool Ended(DWORD waitMs = 0) const { return ::WaitForSingleObject(ended.get(), waitMs) == WAIT_OBJECT_0; }
};

struct Delivery {
    int value;
    DWORD thread;
    bool bodyEnded;
    ULONGLONG at;
};

// Runs the program at `exe` until it ends or the stop comes; without a program gives kAtOnce.
std::function<int(const TaskStop&)> Body(const std::wstring& exe, std::shared_ptr<Probe> probe, int atOnce) {
    return [exe, probe, atOnce](const TaskStop& stop) {
        probe->thread = ::GetCurrentThreadId();
        ::WaitForSingleObject(probe->gate.get(), INFINITE);
        const int result = exe.empty() ? atOnce : RunProgramWithArgsUntil(exe, L"/task", SW_HIDE, stop.Event());
        ::SetEvent(probe->ended.get());
        return result;
    };
}

bool Pump(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG until = ::GetTickCount64() + timeoutMs;
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (::GetTickCount64() >= until) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

bool ProcessEnded(DWORD id, DWORD waitMs) {
    UniqueHandle process(::OpenProcess(SYNCHRONIZE, FALSE, id));
    return !process || ::WaitForSingleObject(process.get(), waitMs) == WAIT_OBJECT_0;
}

enum class Act { None, StopBeforeRun, StopDuringRun, StopWhenPosted, Supersede, Beside, DestroyWindow, DestroyOwner };

TEST(WorkerTasks, DeliverOnTheOwnersThreadUnlessStoppedSupersededOrGone) {
    const struct {
        const char* name;
        OwnerGone policy;
        unsigned programMs;  // of the first body's program; 0: the body ends at once without one
        Act act;
        std::vector<int> delivered;
        size_t programRuns;
        bool cutShort;  // the first body's program was ended long before its time
    } rows[] = {
        {"ends at once", OwnerGone::StopAndWait, 0, Act::None, {kAtOnce}, 0, false},
        {"ends later", OwnerGone::StopAndWait, 400, Act::None, {kProgramExit}, 1, false},
        {"stopped before it runs", OwnerGone::StopAndWait, kLongMs, Act::StopBeforeRun, {}, 0, false},
        {"stopped during its run", OwnerGone::StopAndWait, kLongMs, Act::StopDuringRun, {}, 1, true},
        {"stopped with its result posted", OwnerGone::StopAndWait, 0, Act::StopWhenPosted, {}, 0, false},
        {"superseded by a second start", OwnerGone::StopAndWait, kLongMs, Act::Supersede, {kSecond}, 1, true},
        {"a second start beside it", OwnerGone::StopAndWait, 2000, Act::Beside, {kSecond, kProgramExit}, 1, false},
        {"owner's window destroyed during its run", OwnerGone::StopAndWait, kLongMs, Act::DestroyWindow, {}, 1, true},
        {"owner destroyed during its run", OwnerGone::StopAndWait, kLongMs, Act::DestroyOwner, {}, 1, true},
        {"owner destroyed, bodies left running", OwnerGone::LeaveRunning, 2000, Act::DestroyOwner, {}, 1, false},
    };
    const DWORD self = ::GetCurrentThreadId();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ztest::TempDir dir;
        const std::wstring exe = row.programMs ? dir / L"zvtask.exe" : L"";
        if (!exe.empty()) ztest::InstallStandIn(exe, {{kProgramExit}, {row.programMs}});

        std::vector<Delivery> delivered;
        const auto record = [&delivered](std::shared_ptr<Probe> probe) {
            return [&delivered, probe](int value) {
                delivered.push_back({value, ::GetCurrentThreadId(), probe->Ended(), ::GetTickCount64()});
            };
        };
        auto owner = std::make_unique<TaskOwner>(row.policy);
        ASSERT_TRUE(owner->CreateEx(0, nullptr, L"tasks", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
        const HWND window = owner->m_hWnd;
        auto first = std::make_shared<Probe>();
        std::shared_ptr<Probe> second;
        if (row.act == Act::StopBeforeRun) ::ResetEvent(first->gate.get());

        const ULONGLONG started = ::GetTickCount64();
        const TaskTicket ticket =
            owner->tasks.Start(kKind, TaskMode::Supersede, Body(exe, first, kAtOnce), record(first));
        ASSERT_NE(ticket, 0u);
        EXPECT_TRUE(owner->tasks.IsRunning(ticket));
        if (row.programMs && row.act != Act::None && row.act != Act::StopBeforeRun) {
            ASSERT_TRUE(ztest::WaitForStandInRuns(exe, 1));
        }

        switch (row.act) {
            case Act::None:
                break;
            case Act::StopBeforeRun:
            case Act::StopDuringRun:
                EXPECT_TRUE(owner->tasks.Stop(ticket));
                EXPECT_FALSE(owner->tasks.Stop(ticket)) << "stopped twice";
                ::SetEvent(first->gate.get());
                break;
            case Act::StopWhenPosted: {
                // Looked at, not taken: the result waits in the queue when the stop comes.
                MSG posted;
                const UINT done = TaskDoneMessage();
                EXPECT_TRUE(ztest::WaitFor([&] { return ::PeekMessageW(&posted, window, done, done, PM_NOREMOVE); }));
                EXPECT_TRUE(owner->tasks.Stop(ticket));
                break;
            }
            case Act::Supersede:
            case Act::Beside: {
                second = std::make_shared<Probe>();
                const TaskMode mode = row.act == Act::Beside ? TaskMode::Beside : TaskMode::Supersede;
                const TaskTicket next = owner->tasks.Start(kKind, mode, Body(L"", second, kSecond), record(second));
                EXPECT_NE(next, 0u);
                EXPECT_NE(next, ticket);
                EXPECT_EQ(owner->tasks.IsRunning(ticket), mode == TaskMode::Beside);
                break;
            }
            case Act::DestroyWindow:  // a modal dialog's end: the window goes first, the object later
                ASSERT_TRUE(::DestroyWindow(window));
                EXPECT_FALSE(owner->tasks.IsRunning(ticket));
                break;
            case Act::DestroyOwner: {
                const ULONGLONG before = ::GetTickCount64();
                owner.reset();  // the window stays: a late result would still find it
                const ULONGLONG took = ::GetTickCount64() - before;
                if (row.policy == OwnerGone::StopAndWait) {
                    EXPECT_TRUE(first->Ended()) << "the body was not waited for";
                    EXPECT_LT(took, CWorkerTasks::kOwnerGoneWaitMs);
                } else {
                    EXPECT_FALSE(first->Ended()) << "the body was stopped";
                    EXPECT_LT(took, 500u) << "the body was waited for";
                    EXPECT_FALSE(ProcessEnded(ztest::StandInRuns(exe)[0].processId, 0)) << "the program was ended";
                }
                break;
            }
        }
        if (row.cutShort) {
            EXPECT_TRUE(first->Ended(10000)) << "the stop did not end the program";
        }

        // Everything expected arrives, every body ends, and nothing more arrives after that.
        Pump([&] { return delivered.size() >= row.delivered.size(); }, 30000);
        EXPECT_TRUE(Pump([&] { return first->Ended() && (!second || second->Ended()); }, 30000));
        Pump([] { return false; }, 300);

        std::vector<int> values;
        for (const Delivery& d : delivered) {
            values.push_back(d.value);
            EXPECT_TRUE(d.thread == self && d.bodyEnded) << "delivered elsewhere or before its body ended";
        }
        EXPECT_EQ(values, row.delivered);
        EXPECT_NE(first->thread.load(), self) << "the body ran on the owner's thread";
        if (row.act == Act::None && row.programMs) {
            ASSERT_FALSE(delivered.empty());
            EXPECT_GE(delivered[0].at - started, row.programMs) << "delivered before the program ended";
        }
        EXPECT_FALSE(owner && owner->tasks.IsRunning(ticket));

        const auto runs = exe.empty() ? std::vector<ztest::StandInRun>{} : ztest::StandInRuns(exe);
        EXPECT_EQ(runs.size(), row.programRuns);
        for (const auto& run : runs) EXPECT_TRUE(ProcessEnded(run.processId, 5000)) << "the program still runs";
        owner.reset();
        ::DestroyWindow(window);
    }
}

TEST(WorkerTasks, OwnerThreadCallsFailElsewhere) {
    const auto waiting = [](const TaskStop& stop) { return stop.StoppedWithin(30000) ? 1 : 0; };
    TaskOwner owner(OwnerGone::StopAndWait);
    EXPECT_EQ(owner.tasks.Start(kKind, TaskMode::Beside, waiting, [](int) {}), 0u) << "started without a window";
    ASSERT_TRUE(owner.CreateEx(0, nullptr, L"tasks", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
    const TaskTicket ticket = owner.tasks.Start(kKind, TaskMode::Beside, waiting, [](int) {});
    ASSERT_NE(ticket, 0u);
    CDialog dialog(IDD_TEST_MAIN);
    ASSERT_TRUE(dialog.Create(nullptr));

    bool elsewhere[5] = {};  // what the calls from another thread gave
    std::thread([&] {
        elsewhere[0] = owner.tasks.Start(kKind, TaskMode::Beside, waiting, [](int) {}) != 0;
        elsewhere[1] = owner.tasks.Stop(ticket);
        elsewhere[2] = owner.tasks.StopAll();
        elsewhere[3] = owner.tasks.IsRunning(ticket);
        elsewhere[4] = dialog.EndDialog(IDOK);
    }).join();
    for (bool gave : elsewhere) EXPECT_FALSE(gave);
    EXPECT_TRUE(owner.tasks.IsRunning(ticket));
    EXPECT_TRUE(dialog.IsWindowVisible()) << "a modeless dialog was hidden from another thread";
    EXPECT_TRUE(dialog.EndDialog(IDOK));
    EXPECT_FALSE(dialog.IsWindowVisible());
    dialog.DestroyWindow();
    owner.DestroyWindow();  // stops the body
}

}  // namespace
