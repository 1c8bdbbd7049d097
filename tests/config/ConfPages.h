#pragma once
// What the tests of the host page and the IP page share: the files they start from, the lists and cells of a
// running ZorvaneConf as a user reaches them, and the worker stand-ins' runs.
#include <windows.h>

#include <string>
#include <vector>

#include "common/sharedmem/SharedUserMemory.h"
#include "tests/config/ConfRoot.h"
#include "tests/config/ConfWindow.h"
#include "tests/support/StandInFormat.h"

namespace ztest {

// A host of the service's list.
struct ListedHost {
    std::string name, ip, status, offtype;
};
// host_list.xml as ZorvaneHosts stores the service's reply with result code 700.
std::string HostListFileXml(const std::vector<ListedHost>& hosts);

// The texts of a list's rows, each row its cells joined with " | ".
std::vector<std::string> RowTexts(HWND list);

// Clicks a cell (its middle) as the mouse does, with the key flags of the message, and waits until the window
// handled the click.
void ClickCell(const ConfWindow& window, HWND list, int row, int column, UINT keys = 0);
// Clicks a point of a control's client area.
void ClickAt(const ConfWindow& window, HWND control, POINT point, UINT keys = 0);

// The box the page shows besides the wait dialog captioned `waitCaption`, as "caption: text", once it shows;
// "" when none shows within the time.
std::string WaitForBox(const ConfWindow& window, const std::wstring& waitCaption, DWORD timeoutMs = 15000);
// Closes the box that shows with OK.
bool CloseBox(const ConfWindow& window);
// Waits until the wait dialog captioned `waitCaption` is gone, not only hidden (while the page shows a box
// after a wait, the wait dialog stays hidden beneath it), then until the window's thread is back in its loop.
bool WaitGone(const ConfWindow& window, const std::wstring& waitCaption);

// A page's worker program, run behind its wait dialog: the stand-in in its place, the button that starts it,
// the wait dialog's caption and message, and the command line the signed-in account gives it.
struct Worker {
    std::wstring program;
    int page, button;
    std::wstring waitCaption;
    std::string waitMessage, commandLine;
};

// A row of a worker's outcome table.
struct WorkerRow {
    enum Start { Runs, NoBlock, Unpassable, Missing };
    const char* name;
    Start start;          // Runs; no shared block; an account the command line cannot carry; no program
    StandInScript script;  // of the stand-in, when it runs
    bool cancel;           // the wait is cancelled while it runs
    std::string box;       // "caption: text" of the box the page shows afterwards; "" none
};

// One row: the start prepared, the button clicked, the command line and show flags of the run checked (or
// that nothing ran), the wait cancelled when the row says so (the program must then have ended), and the
// box checked and closed. The shared block then holds `id` and `password` again.
void RunWorkerRow(const ConfWindow& window, const Worker& worker, const WorkerRow& row, CSharedUserMemory& shared,
                  const std::wstring& id, const std::wstring& password);

}  // namespace ztest
