#include "tests/config/ConfPages.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include "common/base/UniqueHandle.h"
#include "common/suite/SuiteContract.h"
#include "tests/support/ProcessSupport.h"
#include "tests/support/RemoteBuffer.h"
#include "tests/support/TestSupport.h"

namespace ztest {

std::string HostListFileXml(const std::vector<ListedHost>& hosts) {
    std::string xml = "<?xml version=\"1.0\"?>\r\n<zorvane>\r\n<result code=\"700\">\r\n";
    for (const ListedHost& h : hosts) {
        xml += "<host name=\"" + h.name + "\" ip=\"" + h.ip + "\" status=\"" + h.status + "\" offtype=\"" +
               h.offtype + "\"/>\r\n";
    }
    return xml + "</result>\r\n</zorvane>\r\n";
}

std::vector<std::string> RowTexts(HWND list) {
    std::vector<std::string> rows;
    for (const auto& cells : ListRows(list)) {
        std::string row;
        for (const std::wstring& cell : cells) row += (row.empty() ? "" : " | ") + U(cell);
        rows.push_back(row);
    }
    return rows;
}

void ClickAt(const ConfWindow& window, HWND control, POINT point, UINT keys) {
    const LPARAM at = MAKELPARAM(point.x, point.y);
    ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
    ::PostMessageW(control, WM_LBUTTONUP, keys, at);
    window.Drain();
}

void ClickCell(const ConfWindow& window, HWND list, int row, int column, UINT keys) {
    const RECT cell = ListCellRect(list, row, column);
    ClickAt(window, list, POINT{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2}, keys);
}

std::string WaitForBox(const ConfWindow& window, const std::wstring& waitCaption, DWORD timeoutMs) {
    std::string shown;
    WaitFor(
        [&] {
            HWND box = window.FindBox();
            if (!box || WindowText(box) == waitCaption) return false;
            shown = U(WindowText(box)) + ": " + U(ConfWindow::BoxText(box));
            return true;
        },
        timeoutMs);
    return shown;
}

bool CloseBox(const ConfWindow& window) {
    HWND box = window.FindBox();
    return box && ConfWindow::Answer(box, IDOK);
}

bool WaitGone(const ConfWindow& window, const std::wstring& waitCaption) {
    const bool gone = WaitFor([&] { return !window.HasWindow(waitCaption); });
    window.Settle();
    return gone;
}

void RunWorkerRow(const ConfWindow& window, const Worker& worker, const WorkerRow& row, CSharedUserMemory& shared,
                  const std::wstring& id, const std::wstring& password) {
    SCOPED_TRACE(row.name);
    InstallStandIn(worker.program, row.script);
    UniqueHandle taken;
    if (row.start == WorkerRow::NoBlock) {
        shared.Close();
        taken.reset(::CreateMutexW(nullptr, FALSE, kSharedUserDataName));  // the name is taken
    } else if (row.start == WorkerRow::Unpassable) {
        shared.SetId(L"bo\"b x");
    } else if (row.start == WorkerRow::Missing) {
        EXPECT_TRUE(::DeleteFileW(worker.program.c_str()));
    }
    window.Page(worker.page).Click(worker.button, false);
    if (row.start == WorkerRow::Runs) {
        EXPECT_TRUE(WaitForStandInRuns(worker.program, 1));
        const std::vector<StandInRun> runs = StandInRuns(worker.program);
        EXPECT_EQ(runs.size(), 1u);
        if (!runs.empty()) {
            EXPECT_EQ(U(runs[0].commandLine), worker.commandLine);
            EXPECT_EQ(runs[0].startFlags, static_cast<unsigned long>(STARTF_FORCEOFFFEEDBACK | STARTF_USESHOWWINDOW));
        }
        if (row.cancel && !runs.empty()) {
            HWND wait = nullptr;
            EXPECT_TRUE(WaitFor([&] { return (wait = window.FindBox()) != nullptr; }));
            EXPECT_EQ(WindowText(wait), worker.waitCaption);
            EXPECT_EQ(U(WindowText(::GetDlgItem(wait, 1028))), worker.waitMessage);
            EXPECT_TRUE(ConfWindow::Answer(wait, IDCANCEL));
            UniqueHandle process(::OpenProcess(SYNCHRONIZE, FALSE, runs[0].processId));
            EXPECT_TRUE(!process || ::WaitForSingleObject(process.get(), 10000) == WAIT_OBJECT_0)
                << "the worker program left running";
        }
    }
    if (!row.box.empty()) {
        EXPECT_EQ(WaitForBox(window, worker.waitCaption), row.box);
        EXPECT_TRUE(CloseBox(window));
    }
    EXPECT_TRUE(WaitGone(window, worker.waitCaption));
    EXPECT_EQ(window.FindBox(), nullptr) << "a box showed";
    EXPECT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == window.Window(); }))
        << "the main window lost the activation";
    if (row.start != WorkerRow::Runs) {
        EXPECT_TRUE(StandInRuns(worker.program).empty()) << "something started";
    }
    taken.reset();
    EXPECT_TRUE(shared.Open());
    shared.SetId(id);
    shared.SetPassword(password);
}

}  // namespace ztest
