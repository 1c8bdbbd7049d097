// The wait dialog in the test's own process, from the program's library and resources: works that end at
// once or after a while, and a Cancel followed by a second run, watched from another thread as a user sees
// the dialog.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "common/language/LangTable.h"
#include "config/ZorvaneWaitDlg.h"
#include "config/resource.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WindowDriver.h"

namespace {

using ztest::U;

// What one run of the wait dialog showed and did.
struct WaitRun {
    INT_PTR result = 0;
    std::vector<int> handed;  // the results the page's handler got
    ULONGLONG elapsedMs = 0;
    bool shown = false;
    std::wstring caption, message, cancel;
    bool moved = false;  // the progress bar moved while it showed
    bool cancelled = false;
};

// Runs the dialog with `work`; a watcher thread reads what it shows and presses Cancel when `cancel` says.
WaitRun RunWait(CZorvaneWaitDlg& dialog, const std::wstring& title, CZorvaneWaitDlg::Work work, bool cancel) {
    WaitRun run;
    dialog.SetTitle(title);
    dialog.SetMessage(L"message of " + title);
    std::atomic<bool> over{false};
    std::thread watcher([&] {
        HWND shown = nullptr;
        ztest::WaitFor(
            [&] {
                shown = ::FindWindowW(L"#32770", title.c_str());
                return over || (shown && ::IsWindowVisible(shown));
            },
            10000);
        if (over || !shown) return;
        const ztest::WindowDriver window(shown);
        run.shown = true;
        run.caption = ztest::WindowText(shown);
        run.message = window.Text(IDC_STATIC_WAIT_MESSAGE);
        run.cancel = window.Text(IDCANCEL);
        const LRESULT before = ::SendMessageW(window.Control(IDC_PROGRESS_WAIT), PBM_GETPOS, 0, 0);
        run.moved = ztest::WaitFor(
            [&] { return over || ::SendMessageW(window.Control(IDC_PROGRESS_WAIT), PBM_GETPOS, 0, 0) != before; },
            2000) && !over;
        if (cancel) window.Click(IDCANCEL, false);
    });
    const ULONGLONG start = ::GetTickCount64();
    run.result = dialog.DoModal(std::move(work), [&run](int result) { run.handed.push_back(result); });
    run.elapsedMs = ::GetTickCount64() - start;
    run.cancelled = dialog.Cancelled();
    over = true;
    watcher.join();
    return run;
}

class WaitDialog : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
        ::InitCommonControlsEx(&controls);
        ASSERT_TRUE(CLangTable::GetInstance()->Load(ztest::SourceDir(), L"english"));
    }
    CZorvaneWaitDlg dialog;
};

TEST_F(WaitDialog, EndsWithItsWorkAndHandsOnTheResult) {
    const struct {
        const char* name;
        CZorvaneWaitDlg::Work work;
        int result;
        ULONGLONG atLeastMs;
        bool shows;  // long enough to be seen
    } rows[] = {
        {"a work that ends at once, before the dialog shows", [](const TaskStop&) { return 7; }, 7, 0, false},
        {"a work that ends after a while", [](const TaskStop& stop) { return stop.StoppedWithin(700) ? -2 : 8; }, 8,
         700, true},
        {"a program that cannot be run", [](const TaskStop&) { return -1; }, -1, 0, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const WaitRun run = RunWait(dialog, L"wait test", row.work, false);
        EXPECT_EQ(run.result, IDCANCEL);
        EXPECT_EQ(run.handed, std::vector<int>{row.result});
        EXPECT_GE(run.elapsedMs, row.atLeastMs);
        EXPECT_LT(run.elapsedMs, row.atLeastMs + 3000);
        EXPECT_FALSE(run.cancelled);
        if (row.shows) {
            EXPECT_TRUE(run.shown);
            EXPECT_EQ(U(run.caption), "wait test");
            EXPECT_EQ(U(run.message), "message of wait test");
            EXPECT_EQ(U(run.cancel), "Cancel");
            EXPECT_TRUE(run.moved) << "the bar stood still";
        }
        EXPECT_FALSE(dialog.IsWaiting());
    }
}

TEST_F(WaitDialog, CancelEndsAtOnceDropsTheResultAndLeavesNothingForTheNextRun) {
    const struct {
        const char* name;
        CZorvaneWaitDlg::Work first;  // cancelled
        CZorvaneWaitDlg::Work second;
        int secondResult;
        ULONGLONG secondAtLeastMs;
    } rows[] = {
        {"a work that stops when asked, then a fast run",
         [](const TaskStop& stop) { return stop.StoppedWithin(10000) ? -3 : 9; }, [](const TaskStop&) { return 10; },
         10, 0},
        {"a work that ends late whatever it is told, then a slower run",
         [](const TaskStop&) {
             ::Sleep(700);
             return 11;
         },
         [](const TaskStop& stop) { return stop.StoppedWithin(1500) ? -3 : 12; }, 12, 1500},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const WaitRun cancelled = RunWait(dialog, L"wait to cancel", row.first, true);
        EXPECT_EQ(cancelled.result, IDCANCEL);
        EXPECT_TRUE(cancelled.shown);
        EXPECT_TRUE(cancelled.cancelled);
        EXPECT_TRUE(cancelled.handed.empty()) << "a cancelled run reported";
        EXPECT_LT(cancelled.elapsedMs, 3000u);

        // The cancelled run's late end falls into this one, which still waits for its own work.
        const WaitRun next = RunWait(dialog, L"wait after cancel", row.second, false);
        EXPECT_EQ(next.result, IDCANCEL);
        EXPECT_EQ(next.handed, std::vector<int>{row.secondResult});
        EXPECT_GE(next.elapsedMs, row.secondAtLeastMs);
        EXPECT_FALSE(next.cancelled);
    }
}

TEST_F(WaitDialog, TheHandlerEndsTheWaitBeforeItGoesOn) {
    dialog.SetTitle(L"wait ended by the page");
    bool first = false, second = false, hidden = false;
    HWND window = nullptr;
    const INT_PTR result = dialog.DoModal([](const TaskStop& stop) { return stop.StoppedWithin(300) ? -2 : 5; },
                                          [&](int) {
                                              window = ::FindWindowW(L"#32770", L"wait ended by the page");
                                              first = dialog.EndWait();
                                              hidden = window && !::IsWindowVisible(window);
                                              second = dialog.EndWait();
                                          });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_NE(window, nullptr);
    EXPECT_TRUE(first);
    EXPECT_TRUE(hidden) << "a box shown now would open over the wait dialog";
    EXPECT_FALSE(second);
    EXPECT_FALSE(dialog.EndWait()) << "no wait is up";
}

}  // namespace
