#pragma once
// A temporary installation root for ZorvaneTray: bin\ with the built program and recording stand-ins for
// its neighbours, the launcher in the root, lang\ with the shipped language files, etc\ with config.xml.
// Copies at the places where a program does not belong record whatever starts them there. The shell opens
// web pages and .msc files with recording stand-ins too, and the root holds a services.msc.
//
// Drives the running program from outside: the icon asked of the shell by the dialog's window and the
// icon's id, and the shell's broadcasts sent to the program's windows.
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/ProcessSupport.h"
#include "tests/support/ShellHandler.h"
#include "tests/support/TestSupport.h"

namespace ztest {

class TrayRoot {
public:
    TrayRoot();
    ~TrayRoot();

    const std::wstring& Root() const { return m_dir.path(); }
    std::wstring Bin(const std::wstring& name) const { return m_dir.path() + L"\\bin\\" + name; }
    std::wstring Etc(const std::wstring& name) const { return m_dir.path() + L"\\etc\\" + name; }
    // Where the shell's stand-ins for the browser and the console are.
    std::wstring Browser() const { return m_dir / L"browser.exe"; }
    std::wstring Console() const { return m_dir / L"console.exe"; }

    void WriteConfig(const std::wstring& language = L"english") const;

    // Replaces one stand-in's script; what it recorded is forgotten.
    void Script(const std::wstring& exePath, const StandInScript& script) const { InstallStandIn(exePath, script); }
    // The runs every stand-in has recorded so far, by path.
    using RunCounts = std::map<std::wstring, size_t>;
    RunCounts CountRuns() const;
    // The stand-ins that recorded runs since `before` was counted, each with the number of new runs, as
    // "bin\ZorvaneConf.exe x1" lines; empty when none did.
    std::string RunsSince(const RunCounts& before = {}) const;
    // Ends every recorded run that still runs (a long delay, a test that failed halfway).
    void EndRuns() const;

    // Starts bin\ZorvaneTray.exe in the root folder.
    std::unique_ptr<ChildProcess> Start() const;

private:
    TempDir m_dir;
    std::vector<std::wstring> m_standIns;
    std::unique_ptr<ShellOpenHandler> m_browser;
    std::unique_ptr<ShellOpenHandler> m_console;
};

// An icon of the test's own in the notification area while the object lives. Wine hides the area's window
// when its last icon goes, and the desktop process then waits two seconds for a window manager that the
// display lacks, each time, inside the call that removed the icon.
class ShellIconHolder {
public:
    ShellIconHolder();
    ~ShellIconHolder();
    ShellIconHolder(const ShellIconHolder&) = delete;
    ShellIconHolder& operator=(const ShellIconHolder&) = delete;

private:
    HWND m_window = nullptr;
};

// Whether the shell holds the icon of this window with the tray's id 129 (asked with a modify call that
// changes nothing), and taking it away as a shell restart would.
bool TrayIconShown(HWND window);
bool DeleteTrayIcon(HWND window);
// A message the shell broadcasts ("TaskbarCreated", a work-area change), sent to every top-level window of
// the process; returns once they handled it.
void SendToWindows(DWORD processId, UINT message, WPARAM wParam = 0);

}  // namespace ztest
