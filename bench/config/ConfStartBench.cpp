// ZorvaneConf's start with the host page, the IP page or the settings page selected: the time from the start
// until the main window shows and every list of the shown page holds its rows, by host count. Run it with
// bench/config/run.sh.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/settings/ConfigFile.h"
#include "tests/support/ProcessSupport.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WindowDriver.h"

namespace {

constexpr int kTabId = 1000;
constexpr int kHostPage = 129, kIpPage = 130, kSettingsPage = 131;
constexpr int kAllHostList = 1001, kWantedHostList = 1002, kUpdateList = 1002;
constexpr DWORD kGiveUpMs = 120000;

struct Row {
    const char* page;
    int menu;                       // selected_menu
    int pageId;
    std::vector<int> lists;         // the lists of the page that must be full
    int hosts;
    int rounds;
};

std::string HostsXml(int count, bool service) {
    std::string xml = "<?xml version=\"1.0\"?>\r\n<zorvane>\r\n";
    if (service) xml += "<result code=\"700\">\r\n";
    for (int i = 0; i < count; ++i) {
        const std::string name = "host" + std::to_string(i) + ".example";
        xml += service ? "<host name=\"" + name + "\" ip=\"198.51.100.1\" status=\"ONLINE\" offtype=\"\"/>\r\n"
                       : "<host name=\"" + name + "\" status=\"ONLINE\"/>\r\n";
    }
    return xml + (service ? "</result>\r\n</zorvane>\r\n" : "</zorvane>\r\n");
}

HWND MainWindow(DWORD processId) {
    for (HWND hwnd : ztest::ProcessWindows(processId)) {
        const HWND tab = ::GetDlgItem(hwnd, kTabId);
        if (ztest::IsDialog(hwnd) && tab && ::IsWindowVisible(hwnd)) return hwnd;
    }
    return nullptr;
}

// Seconds until the window shows and the lists are full; negative when that did not happen in time.
double StartOnce(const ztest::TempDir& root, const Row& row) {
    LARGE_INTEGER frequency, start, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    ztest::ChildProcess conf(root / L"bin\\ZorvaneConf.exe");
    HWND window = nullptr;
    const bool ready = ztest::WaitFor(
        [&] {
            if (!window) window = MainWindow(conf.id());
            if (!window) return false;
            const HWND page = ::GetDlgItem(window, row.pageId);
            for (int id : row.lists) {
                DWORD_PTR count = 0;
                if (!::SendMessageTimeoutW(::GetDlgItem(page, id), LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 100, &count) ||
                    static_cast<int>(count) != row.hosts) {
                    return false;
                }
            }
            return true;
        },
        kGiveUpMs);
    ::QueryPerformanceCounter(&now);
    const double seconds = double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    if (window) ::PostMessageW(window, WM_CLOSE, 0, 0);
    if (!conf.Wait(10000)) conf.Kill();
    return ready ? seconds : -seconds;
}

void RunRow(const Row& row) {
    ztest::TempDir root;
    for (const wchar_t* folder : {L"bin", L"lang", L"etc", L"log"}) ::CreateDirectoryW((root / folder).c_str(), nullptr);
    std::wstring programs = ztest::EnvPath("ZORVANE_PROGRAM_DIR");
    if (programs.empty()) programs = ztest::BinaryDir() + L"\\bin";
    ztest::CopyProgram(programs + L"\\ZorvaneConf.exe", root / L"bin\\ZorvaneConf.exe");
    ztest::CopyProgram(ztest::SourceDir() + L"\\lang\\english.xml", root / L"lang\\english.xml");
    CConfigFile config;
    config.WriteDefault(root / L"etc\\config.xml");
    config.SetLanguage(L"english");
    config.SetIpUrl(L"http://127.0.0.1:1/getip.php");
    config.SetSelectedMenu(row.menu);
    config.Save();
    ztest::WriteBytes(root / L"etc\\host_list.xml", HostsXml(row.hosts, true));
    ztest::WriteBytes(root / L"etc\\update_list.xml", HostsXml(row.hosts, false));

    std::vector<double> times;
    bool timedOut = false;
    for (int r = 0; r < row.rounds && !timedOut; ++r) {
        const double seconds = StartOnce(root, row);
        timedOut = seconds < 0;
        times.push_back(timedOut ? -seconds : seconds);
    }
    std::sort(times.begin(), times.end());
    std::printf("%-9s %7d %7zu %10.3f %10.3f%s\n", row.page, row.hosts, times.size(), times[times.size() / 2],
                times.front(), timedOut ? "  (gave up: lists not full)" : "");
    std::fflush(stdout);
}

}  // namespace

int main() {
    const std::vector<Row> rows = {
        {"settings", 2, kSettingsPage, {}, 10, 5},
        {"settings", 2, kSettingsPage, {}, 20000, 3},
        {"hosts", 0, kHostPage, {kAllHostList, kWantedHostList}, 10, 5},
        {"hosts", 0, kHostPage, {kAllHostList, kWantedHostList}, 20000, 3},
        {"ip", 1, kIpPage, {kUpdateList}, 10, 5},
        {"ip", 1, kIpPage, {kUpdateList}, 20000, 3},
    };
    std::printf("%-9s %7s %7s %10s %10s\n", "page", "hosts", "rounds", "median s", "min s");
    for (const Row& row : rows) RunRow(row);
    return 0;
}
