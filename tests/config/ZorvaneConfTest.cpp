// ZorvaneConf end to end: the built program in a temporary installation root with recording stand-ins for the
// programs it starts, driven through its main window, its pages and its boxes, with what each click leaves in
// etc, in the Run value and in the stand-ins' records.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "common/base/UniqueHandle.h"
#include "common/log/LogFile.h"
#include "common/registry/Registry.h"
#include "common/settings/ServiceHost.h"
#include "common/suite/SuiteContract.h"
#include "common/text/Utf.h"
#include "config/resource.h"
#include "tests/config/ConfFixture.h"
#include "tests/support/RemoteBuffer.h"

namespace {

using ztest::ConfigEdit;
using ztest::ConfigModel;
using ztest::ConfRoot;
using ztest::ConfTest;
using ztest::ConfWindow;
using ztest::RunningConf;
using ztest::U;

constexpr int kPages[] = {IDD_HOST_CONFIG, IDD_IP_CONFIG, IDD_PROGRAM_CONFIG, IDD_LOG_VIEW};
constexpr wchar_t kAppDefaults[] = L"Software\\Wine\\AppDefaults\\ZorvaneConf.exe";
constexpr unsigned long kShownStart = STARTF_FORCEOFFFEEDBACK | STARTF_USESHOWWINDOW;
constexpr unsigned long kDefaultStart = STARTF_FORCEOFFFEEDBACK;

std::string Text(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + ")";
}

RECT Sized(int left, int top, int width, int height) { return RECT{left, top, left + width, top + height}; }

// Every control and page where the main window puts it for its client size.
void ExpectPlaces(const ConfWindow& window, const std::string& when) {
    SCOPED_TRACE(when);
    RECT client{};
    ::GetClientRect(window.Window(), &client);
    const RECT tab{client.left + 10, client.top + 10, client.right - 10, client.bottom - 40};
    const RECT page{client.left + 12, client.top + 50, client.right - 12, client.bottom - 42};
    const struct {
        int id;
        RECT place;
    } rows[] = {
        {IDC_TAB_MAIN, tab},
        {IDC_BUTTON_HELP, Sized(tab.right - 165, tab.bottom + 10, 80, 25)},
        {IDOK, Sized(tab.right - 80, tab.bottom + 10, 80, 25)},
        {IDC_BUTTON_LOGOUT, Sized(tab.right - 80, tab.top + 5, 80, 25)},
        {IDD_HOST_CONFIG, page},
        {IDD_IP_CONFIG, page},
        {IDD_PROGRAM_CONFIG, page},
        {IDD_LOG_VIEW, page},
    };
    for (const auto& row : rows) EXPECT_EQ(Text(window.PlaceOf(row.id)), Text(row.place)) << row.id;
}

// A page control's check state and whether it can be used.
struct BoxState {
    int id;
    bool checked;
    bool enabled;
};

void ExpectBoxes(const ConfWindow& window, const std::vector<BoxState>& boxes) {
    const ztest::WindowDriver page = window.Page(IDD_PROGRAM_CONFIG);
    for (const BoxState& box : boxes) {
        EXPECT_EQ(page.Checked(box.id), box.checked) << "check of " << box.id;
        EXPECT_EQ(page.Enabled(box.id), box.enabled) << "use of " << box.id;
    }
}

std::wstring SelectedPeriod(const ConfWindow& window) {
    HWND combo = window.Page(IDD_PROGRAM_CONFIG).Control(IDC_COMBO_IP_UPDATE_PERIOD);
    const int selected = static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0));
    if (selected < 0) return L"<none>";
    wchar_t text[64] = {};
    if (::SendMessageW(combo, CB_GETLBTEXTLEN, selected, 0) >= 63) return L"<long>";
    ::SendMessageW(combo, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text));
    return text;
}

// The item of the interval list at a position chosen as a user would: selected, then announced.
void ChoosePeriod(const ConfWindow& window, int index) {
    const ztest::WindowDriver page = window.Page(IDD_PROGRAM_CONFIG);
    HWND combo = page.Control(IDC_COMBO_IP_UPDATE_PERIOD);
    ::SendMessageW(combo, CB_SETCURSEL, index, 0);
    ::SendMessageW(page.Window(), WM_COMMAND, MAKEWPARAM(IDC_COMBO_IP_UPDATE_PERIOD, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
}

TEST_F(ConfTest, MainWindowTabsButtonsPlacesAndSecondStart) {
    ConfRoot root;
    root.WriteConfig([](CConfigFile& c) { c.SetSelectedMenu(2); });
    RunningConf conf = Start(root);
    ConfWindow& window = *conf.window;

    EXPECT_EQ(U(ztest::WindowText(window.Window())), "general/title");
    const struct {
        int id;
        const char* text;
    } buttons[] = {{IDOK, "general/close"}, {IDC_BUTTON_LOGOUT, "general/logout"}, {IDC_BUTTON_HELP, "general/help"}};
    for (const auto& button : buttons) EXPECT_EQ(U(window.Text(button.id)), button.text) << button.id;
    const char* tabs[] = {"host_config/title", "ip_config/title", "program_config/title", "log_view/title"};
    ASSERT_EQ(window.TabCount(), 4);
    for (int i = 0; i < 4; ++i) {
        std::wstring text;
        int image = -1;
        EXPECT_TRUE(ztest::TabItem(window.Control(IDC_TAB_MAIN), i, text, image)) << "tab " << i;
        EXPECT_EQ(U(text), tabs[i]) << "tab " << i;
        EXPECT_EQ(image, i) << "tab " << i;
    }
    EXPECT_NE(::SendMessageW(window.Control(IDC_TAB_MAIN), TCM_GETIMAGELIST, 0, 0), 0) << "no tab icons";

    // Where it starts, where it puts everything, and how small it can be made.
    EXPECT_EQ(Text(window.WindowRect()), Text(Sized(0, 0, 600, 670)));
    EXPECT_EQ(window.TabSelection(), 2);
    EXPECT_EQ(window.VisiblePage(), IDD_PROGRAM_CONFIG);
    ExpectPlaces(window, "at the start");
    const struct {
        int width, height;
        RECT rect;
    } sizes[] = {{300, 300, Sized(0, 0, 600, 560)}, {800, 700, Sized(0, 0, 800, 700)}};
    for (const auto& size : sizes) {
        ::SetWindowPos(window.Window(), nullptr, 0, 0, size.width, size.height,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        window.Settle();
        EXPECT_EQ(Text(window.WindowRect()), Text(size.rect)) << size.width << " x " << size.height;
        ExpectPlaces(window, "after sizing to " + std::to_string(size.width) + " x " + std::to_string(size.height));
    }

    // Each tab shows its page alone; switching tabs, Enter and Escape in a page save nothing.
    const std::wstring marker = root.Etc(L"update_method.xml");
    ASSERT_TRUE(::DeleteFileW(marker.c_str()));
    for (int tab : {0, 1, 3, 2}) {
        EXPECT_TRUE(window.SelectTab(tab)) << "tab " << tab;
        EXPECT_EQ(window.VisiblePage(), kPages[tab]) << "tab " << tab;
    }
    const HWND keyTargets[] = {window.Page(IDD_PROGRAM_CONFIG).Control(IDC_CHECK_AUTO_START),
                               window.Page(IDD_LOG_VIEW).Control(IDC_EDIT_LOG)};
    for (HWND target : keyTargets) {
        for (WORD key : {VK_RETURN, VK_ESCAPE}) {
            ztest::PostKey(target, key);
            window.Drain();
            EXPECT_TRUE(conf.process->Running()) << "key " << key << " in page control " << ::GetDlgCtrlID(target);
        }
    }
    EXPECT_FALSE(window.Page(IDD_PROGRAM_CONFIG).Checked(IDC_CHECK_AUTO_START));
    EXPECT_FALSE(ztest::Exists(marker)) << "something was saved";

    // Sign-out asks first; only Yes has the launcher stop the suite, and the window waits for it.
    const struct {
        int answer;
        size_t launches;
    } answers[] = {{IDNO, 0}, {IDYES, 1}};
    for (const auto& answer : answers) {
        SCOPED_TRACE(answer.answer == IDYES ? "Yes" : "No");
        window.Click(IDC_BUTTON_LOGOUT, false);
        HWND box = window.WaitForBox();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(U(ztest::WindowText(box)), "question/title");
        EXPECT_EQ(U(ConfWindow::BoxText(box)), "question/logout");
        EXPECT_TRUE(ConfWindow::Answer(box, answer.answer));
        window.Settle();
        const auto runs = ztest::StandInRuns(root.Launcher());
        ASSERT_EQ(runs.size(), answer.launches);
        if (!runs.empty()) {
            EXPECT_EQ(U(runs[0].commandLine), " /stop:logout");
            EXPECT_EQ(runs[0].startFlags, kShownStart);
        }
    }

    // Help opens the service's help page through the shell; the test's browser records it.
    const std::wstring browser = root.Bin(L"zv_browser.exe");
    ztest::InstallStandIn(browser);
    {
        ztest::ScopedRegValue handler(HKEY_LOCAL_MACHINE, L"Software\\Classes\\http\\shell\\open\\command", L"",
                                      L"\"" + browser + L"\" \"%1\"");
        window.Click(IDC_BUTTON_HELP);
        ASSERT_TRUE(ztest::WaitForStandInRuns(browser, 1));
    }
    const auto opened = ztest::StandInRuns(browser);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(U(opened[0].commandLine),
              "\"" + U(browser) + "\" \"http://" + U(DefaultServiceHost()) + "/help/wiki/wiki.php/AboutDDNSHelp\"");

    // Minimising moves the focus to Close; a second start restores the window, brings it to the front, ends.
    ::PostMessageW(window.Window(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(ztest::WaitFor([&] { return ::IsIconic(window.Window()) != FALSE; }, 5000));
    EXPECT_EQ(window.FocusId(), IDOK);
    RunningConf second;
    second.process = root.Start();
    EXPECT_EQ(second.ExitCode(), 0);
    EXPECT_TRUE(ztest::WaitFor([&] { return !::IsIconic(window.Window()); }, 5000)) << "not restored";
    EXPECT_TRUE(ztest::WaitFor([&] { return ::GetForegroundWindow() == window.Window(); }, 5000));
    EXPECT_EQ(window.VisiblePage(), IDD_PROGRAM_CONFIG);

    // Escape on the main window's own controls ends the program like Close.
    ztest::PostKey(window.Control(IDC_TAB_MAIN), VK_ESCAPE);
    EXPECT_EQ(conf.ExitCode(), 0);
    EXPECT_FALSE(ztest::Exists(marker)) << "something was saved at the end";
}


TEST_F(ConfTest, WhatAStartShowsFromTheSettingsAndTheSystem) {
    const struct {
        const char* name;
        ConfigEdit config;
        const wchar_t* version;  // the Windows version Wine reports to the program; null: its default, 6.1
        bool runValue;           // a Run value stands before the start
        bool service;            // ZorvaneSvc is installed
        int tab;
        int page;
        const char* period;  // the interval item selected
        int storedPeriod;    // ip_update_period in config.xml once the window shows; nothing else changed there
        std::vector<BoxState> boxes;
        const char* serviceText;  // of box 1006
        std::vector<int> clicks;  // each applied; box 1006 keeps its state through them
        const wchar_t* runAfterClicks;  // the Run value's options then; null: not looked at
    } rows[] = {
        {"IP page; 0 minutes become 5; a Run value and no service; Windows XP",
         [](CConfigFile& c) { c.SetSelectedMenu(1); c.SetIpUpdatePeriod(0); }, L"winxp", true, false, 1,
         IDD_IP_CONFIG, "5general/minute", 5,
         {{IDC_CHECK_AUTO_START, true, true}, {IDC_CHECK_NT_SERVICE, false, true},
          {IDC_CHECK_SHOW_DDNS_CONFIG, true, true}, {IDC_RADIO_HIDDEN_PROGRAM_UPDATE, true, true},
          {IDC_RADIO_ALERT_PROGRAM_UPDATE, false, true}},
         "program_config/nt_service", {}, nullptr},
        {"a selected_menu the tabs refuse shows the log page; 45 minutes become 5; Windows Vista",
         [](CConfigFile& c) { c.SetSelectedMenu(7); c.SetIpUpdatePeriod(45); }, L"vista", false, false, 0,
         IDD_LOG_VIEW, "5general/minute", 5,
         {{IDC_CHECK_AUTO_START, false, true}, {IDC_CHECK_NT_SERVICE, false, false},
          {IDC_CHECK_SHOW_DDNS_CONFIG, true, false}},
         "information/not_support_vista", {IDC_CHECK_AUTO_LOGIN, IDC_CHECK_AUTO_LOGIN}, nullptr},
        {"settings page; 2 days become 5 minutes; the installed service wins over the Run value; Windows 7",
         [](CConfigFile& c) { c.SetSelectedMenu(2); c.SetIpUpdatePeriod(2880); }, L"win7", true, true, 2,
         IDD_PROGRAM_CONFIG, "5general/minute", 5,
         {{IDC_CHECK_AUTO_START, false, false}, {IDC_CHECK_NT_SERVICE, true, true},
          {IDC_CHECK_SHOW_DDNS_CONFIG, true, true}},
         "program_config/nt_service", {IDC_RADIO_HIDDEN_PROGRAM_UPDATE}, L" /start:ui"},
        {"hosts page; 90 minutes show 1 hour and stay",
         [](CConfigFile& c) { c.SetSelectedMenu(0); c.SetIpUpdatePeriod(90); }, nullptr, false, false, 0,
         IDD_HOST_CONFIG, "1general/hour", 90, {}, "program_config/nt_service", {}, nullptr},
        {"log page; 1440 minutes show 1 day; a saved password locks the saved ID",
         [](CConfigFile& c) {
             c.SetSelectedMenu(3);
             c.SetIpUpdatePeriod(1440);
             c.SetSaveId(true);
             c.SetSavePassword(true);
         },
         nullptr, false, false, 3, IDD_LOG_VIEW, "1general/day", 1440,
         {{IDC_CHECK_SAVE_ID, true, false}, {IDC_CHECK_SAVE_PASSWORD, true, true}, {IDC_CHECK_AUTO_LOGIN, false, true}},
         "program_config/nt_service", {}, nullptr},
        {"2000 minutes show 1 day and stay; \"Alert\" is not alert; no automatic update locks both modes",
         [](CConfigFile& c) {
             c.SetIpUpdatePeriod(2000);
             c.SetProgramUpdateMode(L"Alert");
             c.SetAutoProgramUpdate(false);
         },
         nullptr, false, false, 0, IDD_HOST_CONFIG, "1general/day", 2000,
         {{IDC_CHECK_AUTO_PROGRAM_UPDATE, false, true}, {IDC_RADIO_HIDDEN_PROGRAM_UPDATE, true, false},
          {IDC_RADIO_ALERT_PROGRAM_UPDATE, false, false}},
         "program_config/nt_service", {}, nullptr},
        {"1 minute; alert; automatic sign-in locks both account boxes",
         [](CConfigFile& c) {
             c.SetIpUpdatePeriod(1);
             c.SetProgramUpdateMode(L"alert");
             c.SetAutoLogin(true);
             c.SetSaveId(true);
             c.SetSavePassword(true);
         },
         nullptr, false, false, 0, IDD_HOST_CONFIG, "1general/minute", 1,
         {{IDC_RADIO_HIDDEN_PROGRAM_UPDATE, false, true}, {IDC_RADIO_ALERT_PROGRAM_UPDATE, true, true},
          {IDC_CHECK_SAVE_ID, true, false}, {IDC_CHECK_SAVE_PASSWORD, true, false}, {IDC_CHECK_AUTO_LOGIN, true, true}},
         "program_config/nt_service", {}, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ConfRoot root;
        root.WriteConfig(row.config);
        ConfigModel expected(root.Etc(L"config.xml"));
        expected.Change([&](CConfigFile& c) { c.SetIpUpdatePeriod(row.storedPeriod); });
        std::unique_ptr<ztest::ScopedRegValue> version;
        if (row.version) {
            version = std::make_unique<ztest::ScopedRegValue>(HKEY_CURRENT_USER, kAppDefaults, L"Version", row.version);
        }
        CRegistry::DeleteRunValue();
        if (row.runValue) {
            ASSERT_TRUE(CRegistry::WriteRunValue(L"C:\\elsewhere\\ZorvaneLaunch.exe /start:autostart"));
        }
        std::unique_ptr<ztest::InstalledService> service;
        if (row.service) {
            service = std::make_unique<ztest::InstalledService>();
            ASSERT_TRUE(service->ok());
        }

        RunningConf conf = Start(root);
        ConfWindow& window = *conf.window;
        EXPECT_EQ(window.TabSelection(), row.tab);
        EXPECT_EQ(window.VisiblePage(), row.page);
        EXPECT_EQ(U(SelectedPeriod(window)), row.period);
        EXPECT_EQ(root.ReadEtc(L"config.xml"), expected.Bytes());
        ExpectBoxes(window, row.boxes);
        EXPECT_EQ(U(window.Page(IDD_PROGRAM_CONFIG).Text(IDC_CHECK_NT_SERVICE)), row.serviceText);
        const bool serviceUsable = window.Page(IDD_PROGRAM_CONFIG).Enabled(IDC_CHECK_NT_SERVICE);
        for (int click : row.clicks) {
            EXPECT_TRUE(ClickApplied(root, window, IDD_PROGRAM_CONFIG, click)) << "click on " << click;
            EXPECT_EQ(window.Page(IDD_PROGRAM_CONFIG).Enabled(IDC_CHECK_NT_SERVICE), serviceUsable) << click;
        }
        if (row.runAfterClicks) {
            EXPECT_EQ(U(ztest::RunValue()), U(root.Launcher() + row.runAfterClicks));
        }
        window.Close();
        EXPECT_EQ(conf.ExitCode(), 0);
    }
}

TEST_F(ConfTest, EachSettingsClickLeavesItsSettingsRunValueServiceTrayAndRestart) {
    // A root with a blank: the Run value quotes the launcher's path, and the programs still start.
    ConfRoot root(L"Zorvane root");
    root.WriteConfig([](CConfigFile& c) { c.SetSelectedMenu(2); });
    ztest::FakeTray tray;
    RunningConf conf = Start(root);
    ConfWindow& window = *conf.window;
    // No Run value and no service: both settings read as off, and reach the file with the first apply.
    ConfigModel expected(root.Etc(L"config.xml"));
    expected.Change([](CConfigFile& c) { c.SetAutoStart(false); c.SetNtService(false); });
    ExpectBoxes(window, {{IDC_CHECK_AUTO_START, false, true}, {IDC_CHECK_NT_SERVICE, false, true},
                         {IDC_CHECK_SHOW_DDNS_CONFIG, true, false}, {IDC_RADIO_HIDDEN_PROGRAM_UPDATE, true, true}});

    constexpr int kTwelveHours = -8;  // the interval list's item 8, chosen
    const std::wstring launcher = L"\"" + root.Launcher() + L"\"";
    const struct {
        const char* name;
        int click;
        ConfigEdit change;
        std::vector<BoxState> boxes;
        const wchar_t* run;  // the Run value's options; null: no value
        bool install;        // else uninstall
        bool trayShown;      // else closed by its caption
        bool restart;
    } rows[] = {
        {"autostart on", IDC_CHECK_AUTO_START, [](CConfigFile& c) { c.SetAutoStart(true); },
         {{IDC_CHECK_AUTO_START, true, true}, {IDC_CHECK_NT_SERVICE, false, true},
          {IDC_CHECK_SHOW_DDNS_CONFIG, true, true}},
         L" /start:autostart", false, true, false},
        {"service on: autostart off and locked", IDC_CHECK_NT_SERVICE,
         [](CConfigFile& c) { c.SetNtService(true); c.SetAutoStart(false); },
         {{IDC_CHECK_AUTO_START, false, false}, {IDC_CHECK_NT_SERVICE, true, true},
          {IDC_CHECK_SHOW_DDNS_CONFIG, true, true}},
         L" /start:ui", true, true, false},
        {"service off: autostart usable again and still off; the start-up window locked but kept",
         IDC_CHECK_NT_SERVICE, [](CConfigFile& c) { c.SetNtService(false); },
         {{IDC_CHECK_AUTO_START, false, true}, {IDC_CHECK_NT_SERVICE, false, true},
          {IDC_CHECK_SHOW_DDNS_CONFIG, true, false}},
         nullptr, false, true, false},
        {"autostart on again", IDC_CHECK_AUTO_START, [](CConfigFile& c) { c.SetAutoStart(true); },
         {{IDC_CHECK_SHOW_DDNS_CONFIG, true, true}}, L" /start:autostart", false, true, false},
        {"start-up window off", IDC_CHECK_SHOW_DDNS_CONFIG, [](CConfigFile& c) { c.SetShowDdnsConfig(false); },
         {{IDC_CHECK_SHOW_DDNS_CONFIG, false, true}}, L" /start:autostart", false, true, false},
        {"tray off: the running tray is closed", IDC_CHECK_SHOW_SYSTEM_TRAY,
         [](CConfigFile& c) { c.SetShowSystemTray(false); }, {{IDC_CHECK_SHOW_SYSTEM_TRAY, false, true}},
         L" /start:autostart", false, false, false},
        {"tray on: started again", IDC_CHECK_SHOW_SYSTEM_TRAY, [](CConfigFile& c) { c.SetShowSystemTray(true); },
         {{IDC_CHECK_SHOW_SYSTEM_TRAY, true, true}}, L" /start:autostart", false, true, false},
        {"automatic sign-in on: both account boxes on and locked", IDC_CHECK_AUTO_LOGIN,
         [](CConfigFile& c) { c.SetAutoLogin(true); c.SetSaveId(true); c.SetSavePassword(true); },
         {{IDC_CHECK_SAVE_ID, true, false}, {IDC_CHECK_SAVE_PASSWORD, true, false}, {IDC_CHECK_AUTO_LOGIN, true, true}},
         L" /start:autostart", false, true, false},
        {"automatic sign-in off: only the password box usable again", IDC_CHECK_AUTO_LOGIN,
         [](CConfigFile& c) { c.SetAutoLogin(false); },
         {{IDC_CHECK_SAVE_ID, true, false}, {IDC_CHECK_SAVE_PASSWORD, true, true}, {IDC_CHECK_AUTO_LOGIN, false, true}},
         L" /start:autostart", false, true, false},
        {"password off: the ID box usable", IDC_CHECK_SAVE_PASSWORD,
         [](CConfigFile& c) { c.SetSavePassword(false); c.SetAutoLogin(false); },
         {{IDC_CHECK_SAVE_ID, true, true}, {IDC_CHECK_SAVE_PASSWORD, false, true}}, L" /start:autostart", false,
         true, false},
        {"password on: the ID on and locked", IDC_CHECK_SAVE_PASSWORD,
         [](CConfigFile& c) { c.SetSavePassword(true); c.SetSaveId(true); },
         {{IDC_CHECK_SAVE_ID, true, false}, {IDC_CHECK_SAVE_PASSWORD, true, true}}, L" /start:autostart", false,
         true, false},
        {"password off again", IDC_CHECK_SAVE_PASSWORD,
         [](CConfigFile& c) { c.SetSavePassword(false); c.SetAutoLogin(false); },
         {{IDC_CHECK_SAVE_ID, true, true}}, L" /start:autostart", false, true, false},
        {"ID off: password and automatic sign-in off", IDC_CHECK_SAVE_ID,
         [](CConfigFile& c) { c.SetSaveId(false); c.SetAutoLogin(false); c.SetSavePassword(false); },
         {{IDC_CHECK_SAVE_ID, false, true}, {IDC_CHECK_SAVE_PASSWORD, false, true}, {IDC_CHECK_AUTO_LOGIN, false, true}},
         L" /start:autostart", false, true, false},
        {"12 hours: 720 minutes, and the suite restarts", kTwelveHours,
         [](CConfigFile& c) { c.SetIpUpdatePeriod(720); }, {}, L" /start:autostart", false, true, true},
        {"automatic update off: both modes locked, the checked one kept", IDC_CHECK_AUTO_PROGRAM_UPDATE,
         [](CConfigFile& c) { c.SetAutoProgramUpdate(false); },
         {{IDC_RADIO_HIDDEN_PROGRAM_UPDATE, true, false}, {IDC_RADIO_ALERT_PROGRAM_UPDATE, false, false}},
         L" /start:autostart", false, true, true},
        {"automatic update on", IDC_CHECK_AUTO_PROGRAM_UPDATE, [](CConfigFile& c) { c.SetAutoProgramUpdate(true); },
         {{IDC_RADIO_HIDDEN_PROGRAM_UPDATE, true, true}, {IDC_RADIO_ALERT_PROGRAM_UPDATE, false, true}},
         L" /start:autostart", false, true, true},
        {"ask before updating: no restart", IDC_RADIO_ALERT_PROGRAM_UPDATE,
         [](CConfigFile& c) { c.SetProgramUpdateMode(L"alert"); },
         {{IDC_RADIO_HIDDEN_PROGRAM_UPDATE, false, true}, {IDC_RADIO_ALERT_PROGRAM_UPDATE, true, true}},
         L" /start:autostart", false, true, false},
        {"update without asking", IDC_RADIO_HIDDEN_PROGRAM_UPDATE,
         [](CConfigFile& c) { c.SetProgramUpdateMode(L"hidden"); },
         {{IDC_RADIO_HIDDEN_PROGRAM_UPDATE, true, true}, {IDC_RADIO_ALERT_PROGRAM_UPDATE, false, true}},
         L" /start:autostart", false, true, false},
    };
    size_t services = 0, trays = 0, restarts = 0;
    int closes = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.click == kTwelveHours) {
            ASSERT_TRUE(Applied(root, window, [&] { ChoosePeriod(window, -kTwelveHours); }));
        } else {
            ASSERT_TRUE(ClickApplied(root, window, IDD_PROGRAM_CONFIG, row.click));
        }
        expected.Change(row.change);
        EXPECT_EQ(root.ReadEtc(L"config.xml"), expected.Bytes());
        ExpectBoxes(window, row.boxes);
        EXPECT_EQ(U(ztest::RunValue()), row.run ? U(launcher + row.run) : "");

        ASSERT_TRUE(ztest::WaitForStandInRuns(root.Service(), ++services));
        const auto service = ztest::StandInRuns(root.Service()).back();
        EXPECT_EQ(U(service.commandLine), row.install ? " -install" : " -uninstall");
        EXPECT_EQ(service.startFlags, row.install ? kDefaultStart : kShownStart);
        if (row.trayShown) {
            ASSERT_TRUE(ztest::WaitForStandInRuns(root.Tray(), ++trays));
            EXPECT_EQ(ztest::StandInRuns(root.Tray()).back().startFlags, kShownStart);
        } else {
            ++closes;
        }
        EXPECT_EQ(tray.Closes(), closes);
        if (row.restart) {
            ASSERT_TRUE(ztest::WaitForStandInRuns(root.Launcher(), ++restarts));
            const auto launch = ztest::StandInRuns(root.Launcher()).back();
            EXPECT_EQ(U(launch.commandLine), " /restart:normal");
            EXPECT_EQ(launch.startFlags, kShownStart);
        }
        EXPECT_EQ(ztest::StandInRuns(root.Tray()).size(), trays);
        EXPECT_EQ(ztest::StandInRuns(root.Launcher()).size(), restarts);
    }
    window.Close();
    EXPECT_EQ(conf.ExitCode(), 0);
}

std::string UserXml(const std::string& id, const std::string& password) {
    return "<?xml version=\"1.0\"?>\r\n<zorvane>\r\n<user id=\"" + id + "\" password=\"" + password +
           "\"/>\r\n</zorvane>\r\n";
}

TEST_F(ConfTest, ApplyingNeverErasesTheSavedAccountAndCopiesTheSignedInOneByTheSaveFlags) {
    const struct {
        const char* name;
        bool saveId, savePassword;
        // user.xml after an apply with nobody signed in, with bob signed in, and after bob signed out
        std::string nobody, signedIn, signedOut;
    } rows[] = {
        {"ID and password saved", true, true, UserXml("alice", "s3cret"), UserXml("bob", "pw2"),
         UserXml("bob", "pw2")},
        {"ID saved", true, false, UserXml("alice", ""), UserXml("bob", ""), UserXml("bob", "")},
        {"password saved", false, true, UserXml("", "s3cret"), UserXml("", "pw2"), UserXml("", "pw2")},
        {"nothing saved", false, false, UserXml("", ""), UserXml("", ""), UserXml("", "")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ConfRoot root;
        root.WriteConfig([&](CConfigFile& c) {
            c.SetSelectedMenu(2);
            c.SetSaveId(row.saveId);
            c.SetSavePassword(row.savePassword);
        });
        root.WriteEtc(L"user.xml", UserXml("alice", "s3cret"));
        RunningConf conf = Start(root);
        ConfWindow& window = *conf.window;
        const auto apply = [&] { return ClickApplied(root, window, IDD_PROGRAM_CONFIG, IDC_RADIO_HIDDEN_PROGRAM_UPDATE); };

        if (row.saveId && row.savePassword) {
            // No block at all: its name is taken by another kind of object.
            shared.Close();
            UniqueHandle taken(::CreateMutexW(nullptr, FALSE, kSharedUserDataName));
            ASSERT_TRUE(taken);
            ASSERT_TRUE(apply());
            EXPECT_EQ(root.ReadEtc(L"user.xml"), row.nobody) << "no shared block";
            taken.reset();
            ASSERT_TRUE(shared.Open());
        }
        ASSERT_TRUE(apply());
        EXPECT_EQ(root.ReadEtc(L"user.xml"), row.nobody) << "nobody signed in";
        shared.SetId(L"bob");
        shared.SetPassword(L"pw2");
        ASSERT_TRUE(apply());
        EXPECT_EQ(root.ReadEtc(L"user.xml"), row.signedIn) << "bob signed in";
        shared.SetId(L"");
        shared.SetPassword(L"");
        ASSERT_TRUE(apply());
        EXPECT_EQ(root.ReadEtc(L"user.xml"), row.signedOut) << "bob signed out";
        window.Close();
        EXPECT_EQ(conf.ExitCode(), 0);
    }
}

// A log of exactly `size` bytes: `first` as its first line, then numbered lines of the same length.
std::string LogOfSize(size_t size, const std::string& first) {
    std::string log = first + "\r\n";
    for (int n = 1; log.size() < size; ++n) {
        char line[64];
        std::snprintf(line, sizeof(line), "[2026-01-01 10:00:00] [INFO] line %06d of the day\r\n", n);
        log += line;
    }
    log.resize(size - 2, 'x');
    return log + "\r\n";
}

// White space off both ends.
std::string Trimmed(const std::string& text) {
    const size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string::npos) return {};
    return text.substr(start, text.find_last_not_of(" \t\r\n") - start + 1);
}

TEST_F(ConfTest, LogPageShowsTheEndOfTodaysLogEachTimeItIsShown) {
    ConfRoot root;
    root.WriteConfig([](CConfigFile& c) { c.SetSelectedMenu(3); });
    const std::wstring log = root.Log(CLogFile::GetInstance()->GetTodayFileName());
    RunningConf conf = Start(root);
    ConfWindow& window = *conf.window;
    const HWND edit = window.Page(IDD_LOG_VIEW).Control(IDC_EDIT_LOG);
    EXPECT_EQ(U(ztest::WindowText(edit)), "") << "no log yet";

    // The first line starts with a Hangul syllable of three bytes, so that a cut two bytes in splits it.
    const std::string hangulFirst = "\xea\xb0\x80 first line of the day";
    const std::string whole71 = LogOfSize(131071, "[2026-01-01 00:00:01] [INFO] first line");
    const std::string whole72 = LogOfSize(131072, hangulFirst);
    const std::string cut74 = LogOfSize(131074, hangulFirst);
    const std::string empty;
    const struct {
        const char* name;
        const std::string* bytes;  // null: no file
        std::string shown;
    } rows[] = {
        {"131,071 bytes: whole", &whole71, Trimmed(whole71)},
        {"131,072 bytes: whole, first line included", &whole72, Trimmed(whole72)},
        {"131,074 bytes: the first line, cut inside a character, dropped", &cut74,
         Trimmed(cut74.substr(cut74.find('\n') + 1))},
        {"no file: the text stays", nullptr, Trimmed(cut74.substr(cut74.find('\n') + 1))},
        {"an empty file empties the page", &empty, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ::DeleteFileW(log.c_str());
        if (row.bytes) ztest::WriteBytes(log, *row.bytes);
        ASSERT_TRUE(window.SelectTab(2));
        ASSERT_TRUE(window.SelectTab(3));
        const std::string shown = WideToUtf8(ztest::WindowText(edit));
        EXPECT_EQ(shown.size(), row.shown.size());
        EXPECT_TRUE(shown == row.shown) << "starts with \"" << shown.substr(0, 60) << "\"";
        if (!shown.empty()) {
            // Scrolled to the end: the last line is in view, the first is not.
            const LRESULT lines = ::SendMessageW(edit, EM_GETLINECOUNT, 0, 0);
            const LRESULT last = ::SendMessageW(edit, EM_POSFROMCHAR, ::SendMessageW(edit, EM_LINEINDEX, lines - 1, 0), 0);
            RECT client{};
            ::GetClientRect(edit, &client);
            EXPECT_GT(::SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
            EXPECT_LT(static_cast<short>(HIWORD(last)), client.bottom);
            EXPECT_GE(static_cast<short>(HIWORD(last)), 0);

        }
    }
    window.Close();
    EXPECT_EQ(conf.ExitCode(), 0);
}

TEST_F(ConfTest, AFailedStartUpLoadShowsItsFixedBoxAndEnds) {
    const std::wstring reinstall = L"\n\nPlease reinstall the 'Zorvane DDNS Client'";
    const struct {
        const char* name;
        bool configBlocked;  // config.xml is a folder: it can neither be read nor replaced by the defaults
        const wchar_t* language;
        std::wstring text;
    } rows[] = {
        {"config.xml", true, ztest::kTestLanguage, L"Can't open a file : config.xml" + reinstall},
        {"the language file", false, L"missing", L"Can't open a file : missing.xml" + reinstall},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ConfRoot root;
        root.WriteConfig({}, row.language);
        if (row.configBlocked) {
            ASSERT_TRUE(::DeleteFileW(root.Etc(L"config.xml").c_str()));
            ASSERT_TRUE(::CreateDirectoryW(root.Etc(L"config.xml").c_str(), nullptr));
        }
        RunningConf conf;
        conf.process = root.Start();
        ConfWindow window(conf.process->id());
        HWND box = window.WaitForBox();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(U(ztest::WindowText(box)), "Zorvane - ERROR");
        EXPECT_EQ(U(ConfWindow::BoxText(box)), U(row.text));
        EXPECT_EQ(window.WaitForMainWindow(0), nullptr) << "the main window showed";
        EXPECT_TRUE(ConfWindow::Answer(box, IDOK));
        EXPECT_EQ(conf.ExitCode(), 0);
        EXPECT_EQ(window.WaitForMainWindow(0), nullptr);
    }
}

}  // namespace
