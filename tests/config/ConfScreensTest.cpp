// The main window on each of its tabs, with a few hosts on the host and IP pages and the IP page's status
// combo dropped down, and the wait dialog, in both shipped languages: saved as PNG under <build>\screenshots
// for a person to look at, and checked that every text fits its control, that no two controls overlap and that
// no tab runs under the sign-out button.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <string>
#include <thread>

#include "common/language/LangTable.h"
#include "common/log/LogFile.h"
#include "common/process/Process.h"
#include "config/ZorvaneWaitDlg.h"
#include "config/resource.h"
#include "tests/config/ConfPages.h"
#include "tests/config/ConfRoot.h"
#include "tests/config/ConfWindow.h"
#include "tests/support/LayoutCheck.h"
#include "tests/support/RemoteBuffer.h"
#include "tests/support/Screenshot.h"
#include "tests/support/StandinService.h"
#include "tests/support/WineDesktop.h"
#include "tests/support/WorkerRoot.h"

namespace {

using ztest::U;

constexpr wchar_t kFontsLinked[] = L"ZORVANE_CONF_FONTS_LINKED";
constexpr int kMainFontPoints = 9;
constexpr int kPageFontPoints = 8;

void ExpectTidy(HWND window, int points, const std::string& what) {
    for (const std::string& fault : ztest::LayoutFaults(window, points)) ADD_FAILURE() << what << ": " << fault;
}

// The tabs stop short of the sign-out button that sits level with them.
void ExpectTabsClearOfSignOut(const ztest::ConfWindow& window, const std::string& what) {
    const HWND tab = window.Control(IDC_TAB_MAIN);
    const RECT signOut = window.PlaceOf(IDC_BUTTON_LOGOUT);
    const RECT tabPlace = window.PlaceOf(IDC_TAB_MAIN);
    for (int i = 0; i < window.TabCount(); ++i) {
        RECT item = ztest::TabItemRect(tab, i);
        ::OffsetRect(&item, tabPlace.left, tabPlace.top);
        RECT both{};
        EXPECT_FALSE(::IntersectRect(&both, &item, &signOut)) << what << ": tab " << i << " runs under sign-out";
    }
}

// The IP page's status combo of its first row, dropped down.
void StatusComboShot(const ztest::ConfWindow& window, const std::wstring& path) {
    const HWND list = window.Page(IDD_IP_CONFIG).Control(IDC_LIST_UPDATE);
    ztest::ClickCell(window, list, 0, 2);
    const HWND combo = ::FindWindowExW(list, nullptr, L"ComboBox", nullptr);
    ASSERT_NE(combo, nullptr) << "no status combo";
    ::SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    ::Sleep(300);  // painted
    EXPECT_TRUE(ztest::SaveWindowPng(window.Window(), path)) << U(path);
    ztest::PostKey(combo, VK_ESCAPE);
    EXPECT_TRUE(ztest::WaitFor([&] { return !::IsWindow(combo); }));
}

void MainWindowShots(const std::wstring& language, const std::wstring& folder) {
    ztest::StandinSession service;
    ASSERT_TRUE(service.Script("/getip.php", ztest::HttpReply(200, "203.0.113.77")));
    ztest::ConfRoot root;
    root.WriteConfig(
        [&](CConfigFile& c) {
            c.SetSelectedMenu(0);
            c.SetIpUrl(service.Url("/getip.php"));
        },
        language);
    root.WriteEtc(L"host_list.xml", ztest::HostListFileXml({{"home.zorvane.example", "203.0.113.77", "ONLINE", ""},
                                                            {"office.zorvane.example", "198.51.100.20", "ONLINE", ""},
                                                            {"nas9.zorvane.example", "198.51.100.9", "OFFLINE", "park"},
                                                            {"nas10.zorvane.example", "198.51.100.10", "ONLINE", ""}}));
    root.WriteEtc(L"update_list.xml", ztest::UpdateListXml({{"home.zorvane.example", "ONLINE"},
                                                            {"nas9.zorvane.example", "OFFLINE"},
                                                            {"nas10.zorvane.example", "ONLINE"}}));
    std::string log;
    for (int n = 1; n <= 40; ++n) {
        log += "[2026-01-01 10:00:" + std::to_string(10 + n) + "] [INFO] " + (n % 5 ? "check_ip" : "update_ip_success") + "\r\n";
    }
    ztest::WriteBytes(root.Log(CLogFile::GetInstance()->GetTodayFileName()), log);
    auto process = root.Start();
    ztest::ConfWindow window(process->id());
    ASSERT_NE(window.WaitForMainWindow(), nullptr);
    const char* names[] = {"hosts", "ip", "settings", "log"};
    const int pages[] = {IDD_HOST_CONFIG, IDD_IP_CONFIG, IDD_PROGRAM_CONFIG, IDD_LOG_VIEW};
    for (int tab = 0; tab < 4; ++tab) {
        const std::string what = std::string(names[tab]) + " tab";
        ASSERT_TRUE(window.SelectTab(tab)) << what;
        ::Sleep(300);  // painted
        ExpectTidy(window.Window(), kMainFontPoints, what);
        ExpectTidy(window.Control(pages[tab]), kPageFontPoints, what + " page");
        ExpectTabsClearOfSignOut(window, what);
        const std::wstring path = folder + L"\\config-" + language + L"-" + ztest::W(names[tab]) + L".png";
        EXPECT_TRUE(ztest::SaveWindowPng(window.Window(), path)) << U(path);
        if (pages[tab] == IDD_IP_CONFIG) StatusComboShot(window, folder + L"\\config-" + language + L"-ip-combo.png");
    }
    window.Close();
    DWORD code = 1;
    EXPECT_TRUE(process->Wait(20000, &code));
    EXPECT_EQ(code, 0u);
}

// The wait dialog of this process, as the host page shows it during a refresh.
void WaitDialogShot(const std::wstring& language, const std::wstring& folder) {
    ASSERT_TRUE(CLangTable::GetInstance()->Load(ztest::SourceDir(), language));
    CLangTable* texts = CLangTable::GetInstance();
    const std::wstring title = texts->GetText(L"host_config", L"wait_refresh_title");
    CZorvaneWaitDlg dialog;
    dialog.SetTitle(title);
    dialog.SetMessage(texts->GetText(L"host_config", L"wait_refresh_message"));
    std::atomic<bool> over{false};
    std::thread shooter([&] {
        HWND shown = nullptr;
        ztest::WaitFor([&] { return over || ((shown = ::FindWindowW(L"#32770", title.c_str())) && ::IsWindowVisible(shown)); });
        if (over || !shown) return;
        ::Sleep(300);
        ExpectTidy(shown, kPageFontPoints, "wait dialog");
        const std::wstring path = folder + L"\\config-" + language + L"-wait.png";
        EXPECT_TRUE(ztest::SaveWindowPng(shown, path)) << U(path);
        ztest::WindowDriver(shown).Click(IDCANCEL, false);
    });
    EXPECT_EQ(dialog.DoModal([](const TaskStop& stop) { return stop.StoppedWithin(30000) ? 0 : 1; }, [](int) {}),
              IDCANCEL);
    EXPECT_TRUE(dialog.Cancelled()) << "the dialog ended before it was seen";
    over = true;
    shooter.join();
}

TEST(ConfScreens, MainWindowOnEachTabAndTheWaitDialogInBothLanguages) {
    wchar_t linked[4] = {};
    if (ztest::UnderWine() && ::GetEnvironmentVariableW(kFontsLinked, linked, 4) == 0) {
        // The program and this process both start after the link, so both show Hangul.
        ASSERT_TRUE(ztest::LinkHangulFont());
        ::SetEnvironmentVariableW(kFontsLinked, L"1");
        const ztest::CapturedRun child =
            ztest::RunCaptured(GetModuleFilePath(), L"--gtest_filter=ConfScreens.* --gtest_color=no", 120000);
        ::SetEnvironmentVariableW(kFontsLinked, nullptr);
        EXPECT_TRUE(child.finished && child.exitCode == 0) << child.output;
        return;
    }

    ztest::WineUnmanagedWindows fastWindows;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    const std::wstring folder = ztest::BinaryDir() + L"\\screenshots";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    for (const wchar_t* language : {L"korean", L"english"}) {
        SCOPED_TRACE(U(language));
        MainWindowShots(language, folder);
        WaitDialogShot(language, folder);
    }
}

}  // namespace
