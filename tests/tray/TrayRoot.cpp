#include "tests/tray/TrayRoot.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include "common/fs/File.h"
#include "common/settings/ConfigFile.h"
#include "tests/support/WindowDriver.h"

namespace ztest {
namespace {

constexpr UINT kIconId = 129;
const wchar_t* const kNeighbours[] = {L"ZorvaneConf.exe", L"ZorvaneLogon.exe", L"ZorvanePatch.exe",
                                      L"ZorvaneAbout.exe", L"ZorvanePrefs.exe"};
constexpr wchar_t kLauncher[] = L"ZorvaneLaunch.exe";

NOTIFYICONDATAW IconRecord(HWND window) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = kIconId;
    return data;
}

}  // namespace

TrayRoot::TrayRoot() {
    for (const wchar_t* folder : {L"bin", L"lang", L"etc"}) EXPECT_TRUE(zfs::CreateDirectoryOne(m_dir / folder));
    CopyProgram(BinaryDir() + L"\\bin\\ZorvaneTray.exe", Bin(L"ZorvaneTray.exe"));
    for (const wchar_t* language : {L"korean.xml", L"english.xml"}) {
        CopyProgram(SourceDir() + L"\\lang\\" + language, m_dir / (std::wstring(L"lang\\") + language));
    }
    for (const wchar_t* name : kNeighbours) {
        m_standIns.push_back(Bin(name));
        m_standIns.push_back(m_dir / name);  // misplaced
    }
    m_standIns.push_back(m_dir / kLauncher);
    m_standIns.push_back(Bin(kLauncher));  // misplaced
    m_standIns.push_back(Browser());
    m_standIns.push_back(Console());
    for (const std::wstring& path : m_standIns) InstallStandIn(path);
    WriteBytes(m_dir / L"services.msc", "");
    m_browser = std::make_unique<ShellOpenHandler>(L"http", Browser());
    m_console = std::make_unique<ShellOpenHandler>(L".msc", Console());
    EXPECT_TRUE(m_browser->Registered() && m_console->Registered());
    WriteConfig();
}

TrayRoot::~TrayRoot() { EndRuns(); }

void TrayRoot::WriteConfig(const std::wstring& language) const {
    CConfigFile* config = CConfigFile::GetInstance();
    ASSERT_TRUE(config->WriteDefault(Etc(L"config.xml")));
    config->SetLanguage(language);
    ASSERT_TRUE(config->Save());
}

TrayRoot::RunCounts TrayRoot::CountRuns() const {
    RunCounts counts;
    for (const std::wstring& path : m_standIns) counts[path] = StandInRuns(path).size();
    return counts;
}

std::string TrayRoot::RunsSince(const RunCounts& before) const {
    std::string lines;
    for (const auto& [path, count] : CountRuns()) {
        const auto earlier = before.find(path);
        const size_t known = earlier == before.end() ? 0 : earlier->second;
        if (count > known) lines += U(path.substr(Root().size() + 1)) + " x" + std::to_string(count - known) + "\n";
    }
    return lines;
}

void TrayRoot::EndRuns() const {
    for (const std::wstring& path : m_standIns) {
        for (const StandInRun& run : StandInRuns(path)) {
            UniqueHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, run.processId));
            if (!process || ::WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) continue;
            ::TerminateProcess(process.get(), 1);
            ::WaitForSingleObject(process.get(), 10000);
        }
    }
}

std::unique_ptr<ChildProcess> TrayRoot::Start() const {
    return std::make_unique<ChildProcess>(Bin(L"ZorvaneTray.exe"), L"", Root());
}

ShellIconHolder::ShellIconHolder()
    : m_window(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr)) {
    NOTIFYICONDATAW data = IconRecord(m_window);
    data.uFlags = NIF_ICON;
    data.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    EXPECT_TRUE(m_window && ::Shell_NotifyIconW(NIM_ADD, &data));
}

ShellIconHolder::~ShellIconHolder() {
    NOTIFYICONDATAW data = IconRecord(m_window);
    ::Shell_NotifyIconW(NIM_DELETE, &data);
    ::DestroyWindow(m_window);
}

bool TrayIconShown(HWND window) {
    NOTIFYICONDATAW data = IconRecord(window);
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

bool DeleteTrayIcon(HWND window) {
    NOTIFYICONDATAW data = IconRecord(window);
    return ::Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
}

void SendToWindows(DWORD processId, UINT message, WPARAM wParam) {
    for (HWND hwnd : ProcessWindows(processId)) {
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(hwnd, message, wParam, 0, SMTO_NORMAL, 5000, &result);
    }
}

}  // namespace ztest
