#include "tests/config/ConfPages.h"

#include <commctrl.h>

#include "common/base/UniqueHandle.h"
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

bool RunEnded(const StandInRun& run, DWORD timeoutMs) {
    UniqueHandle process(::OpenProcess(SYNCHRONIZE, FALSE, run.processId));
    return !process || ::WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0;
}

}  // namespace ztest
