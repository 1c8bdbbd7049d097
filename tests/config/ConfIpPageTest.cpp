// The IP page of the real ZorvaneConf: the update list joined from both files in natural order, the current
// internet address from the stand-in service, each method's bytes in update_method.xml, a private typed
// address refused, the status combo changed and cancelled, a double click that opens a host, and every
// outcome of an address update through a stand-in ZorvaneAddr; then, in network namespaces of their own, the
// adapter list with adapters that have a public address and with none.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "common/base/UniqueHandle.h"
#include "config/resource.h"
#include "tests/config/ConfFixture.h"
#include "tests/config/ConfPages.h"
#include "tests/support/RemoteBuffer.h"
#include "tests/support/ShellHandler.h"
#include "tests/support/StandinService.h"
#include "tests/support/WorkerRoot.h"

namespace {

using ztest::ConfRoot;
using ztest::ConfTest;
using ztest::ConfWindow;
using ztest::RunningConf;
using ztest::U;
using ztest::WorkerRow;
using Strings = std::vector<std::string>;

constexpr wchar_t kWaitCaption[] = L"ip_config/wait_update_title";

// The four fields of an IP address control, from the left.
std::vector<HWND> Fields(HWND control) {
    std::vector<HWND> fields;
    for (HWND field = ::GetWindow(control, GW_CHILD); field; field = ::GetWindow(field, GW_HWNDNEXT)) {
        fields.push_back(field);
    }
    return fields;
}

std::string AddressShown(HWND control) {
    std::string shown;
    for (HWND field : Fields(control)) shown += (shown.empty() ? "" : ".") + U(ztest::WindowText(field));
    return shown;
}

// Types an address into the fields as the keyboard does, each field's digits into its own edit.
void TypeAddress(const ConfWindow& window, HWND control, const std::string& address) {
    const std::vector<HWND> fields = Fields(control);
    size_t field = 0;
    for (char c : address) {
        if (c == '.') {
            ++field;
        } else {
            ::PostMessageW(fields.at(field), WM_CHAR, static_cast<WPARAM>(c), 1);
        }
    }
    window.Drain();
}

// The method radios that show checked.
std::vector<int> CheckedMethods(const ztest::WindowDriver& page) {
    std::vector<int> checked;
    for (int radio : {IDC_RADIO_INTERNET_IP, IDC_RADIO_LAN_IP, IDC_RADIO_DIRECT_IP}) {
        if (page.Checked(radio)) checked.push_back(radio);
    }
    return checked;
}

std::string ResultXml(const std::string& code, const Strings& hostCodes) {
    std::string xml = "<?xml version=\"1.0\"?>\r\n<zorvane>\r\n<result code=\"" + code + "\">\r\n";
    for (const std::string& host : hostCodes) xml += "<host name=\"h\" code=\"" + host + "\"/>\r\n";
    return xml + "</result>\r\n</zorvane>\r\n";
}

TEST_F(ConfTest, IpPageListMethodsAndStatusCombo) {
    ztest::StandinSession service;
    ASSERT_TRUE(service.Script("/getip.php", ztest::HttpReply(200, "203.0.113.77\r\n")));
    ConfRoot root;
    root.WriteConfig([&](CConfigFile& c) {
        c.SetSelectedMenu(1);
        c.SetIpUrl(service.Url("/getip.php"));
    });
    root.WriteEtc(L"host_list.xml", ztest::HostListFileXml({{"host10", "198.51.100.10", "ONLINE", "park"},
                                                            {"host9", "198.51.100.9", "OFFLINE", "off9"},
                                                            {"OFFLINE", "198.51.100.1", "ONLINE", ""},
                                                            {"host09", "198.51.100.90", "ONLINE", "off09"}}));
    root.WriteEtc(L"update_list.xml", ztest::UpdateListXml({{"host10", "ONLINE"}, {"host9", "OFFLINE"},
                                                            {"notlisted", "ONLINE"}, {"host09", "ONLINE"},
                                                            {"OFFLINE", "ONLINE"}}));
    root.WriteEtc(L"update_method.xml", ztest::UpdateMethodXml("DIRECT", "203.0.113.9"));
    RunningConf conf = Start(root);
    ConfWindow& window = *conf.window;
    const ztest::WindowDriver page = window.Page(IDD_IP_CONFIG);
    const HWND list = page.Control(IDC_LIST_UPDATE);
    const HWND address = page.Control(IDC_IPADDRESS_DIRECT);

    const std::pair<int, const char*> texts[] = {
        {IDC_GROUP_UPDATE_LIST, "update_list_title"},
        {IDC_GROUP_UPDATE_METHOD, "update_method_title"},
        {IDC_RADIO_INTERNET_IP, "internet_ip_title"},
        {IDC_STATIC_INTERNET_IP_DESCRIPTION, "internet_ip_description"},
        {IDC_RADIO_LAN_IP, "lan_ip_title"},
        {IDC_STATIC_LAN_IP_DESCRIPTION, "lan_ip_description"},
        {IDC_RADIO_DIRECT_IP, "direct_ip_title"},
        {IDC_BUTTON_UPDATE_IP, "update_ip"},
    };
    for (const auto& [id, key] : texts) EXPECT_EQ(U(page.Text(id)), std::string("ip_config/") + key) << id;
    EXPECT_EQ(ztest::ListHeadings(list),
              (std::vector<std::wstring>{L"general/host", L"general/ip", L"general/status"}));
    EXPECT_EQ(ztest::ListHeadings(page.Control(IDC_LIST_ADAPTERS)),
              (std::vector<std::wstring>{L"general/ip", L"general/lan", L"general/mac"}));
    // The service's address comes from a thread; the page showed "loading" until it came.
    EXPECT_TRUE(ztest::WaitFor([&] { return page.Text(IDC_STATIC_INTERNET_IP) == L"203.0.113.77"; }));

    // Joined with the service's list (its offtype for an OFFLINE host), natural order, a host it lacks left out.
    EXPECT_EQ(ztest::RowTexts(list), (Strings{"OFFLINE | 198.51.100.1 | ONLINE", "host09 | 198.51.100.90 | ONLINE",
                                              "host9 | off9 | OFFLINE", "host10 | 198.51.100.10 | ONLINE"}));

    // The stored method: DIRECT with its address.
    EXPECT_TRUE(page.Checked(IDC_RADIO_DIRECT_IP));
    EXPECT_FALSE(page.Checked(IDC_RADIO_INTERNET_IP));
    EXPECT_TRUE(page.Enabled(IDC_IPADDRESS_DIRECT));
    EXPECT_FALSE(page.Enabled(IDC_LIST_ADAPTERS));
    EXPECT_EQ(AddressShown(address), "203.0.113.9");

    // Each method radio's bytes, and the controls it enables.
    const struct {
        int radio;
        std::string method;
        bool addressEnabled;
    } radios[] = {
        {IDC_RADIO_INTERNET_IP, ztest::UpdateMethodXml("IP", ""), false},
        {IDC_RADIO_DIRECT_IP, ztest::UpdateMethodXml("DIRECT", "203.0.113.9"), true},
    };
    for (const auto& radio : radios) {
        SCOPED_TRACE(radio.radio);
        ASSERT_TRUE(ClickApplied(root, window, IDD_IP_CONFIG, radio.radio));
        EXPECT_EQ(CheckedMethods(page), std::vector<int>{radio.radio});
        EXPECT_EQ(root.ReadEtc(L"update_method.xml"), radio.method);
        EXPECT_EQ(page.Enabled(IDC_IPADDRESS_DIRECT), radio.addressEnabled);
        EXPECT_FALSE(page.Enabled(IDC_LIST_ADAPTERS));
    }

    // A private address typed in is stored as typed and refused before any update.
    ::SendMessageW(address, IPM_CLEARADDRESS, 0, 0);
    ASSERT_TRUE(Applied(root, window, [&] {
        TypeAddress(window, address, "192.168.1.200");
        page.Click(IDC_BUTTON_UPDATE_IP, false);
        EXPECT_EQ(ztest::WaitForBox(window, kWaitCaption), "information/title: information/private_ip");
        EXPECT_TRUE(ztest::CloseBox(window));
    }));
    EXPECT_EQ(root.ReadEtc(L"update_method.xml"), ztest::UpdateMethodXml("DIRECT", "192.168.1.200"));
    // An address with a blank field is no address (the control reads a blank field as 0): stored empty and
    // refused as a blank one is.
    for (const char* typed : {"8.", "8.8.8.", ""}) {
        SCOPED_TRACE(typed);
        ::SendMessageW(address, IPM_CLEARADDRESS, 0, 0);
        TypeAddress(window, address, typed);
        page.Click(IDC_BUTTON_UPDATE_IP, false);
        EXPECT_EQ(ztest::WaitForBox(window, kWaitCaption), "information/title: information/private_ip");
        EXPECT_TRUE(ztest::CloseBox(window));
        EXPECT_TRUE(ztest::WaitFor(
            [&] { return root.ReadEtc(L"update_method.xml") == ztest::UpdateMethodXml("DIRECT", ""); }));
    }
    EXPECT_TRUE(ztest::StandInRuns(root.Bin(L"ZorvaneAddr.exe")).empty()) << "an update started";
    // A click that follows the typing at once: the update runs with the address the control shows, saved first.
    const std::wstring addr = root.Bin(L"ZorvaneAddr.exe");
    ztest::InstallStandIn(addr, ztest::StandInScript({701}, {}, {{root.Etc(L"update_method.xml"), root.Etc(L"seen.xml")}}));
    TypeAddress(window, address, "8.8.8.8");
    page.Click(IDC_BUTTON_UPDATE_IP, false);
    ASSERT_TRUE(ztest::WaitForStandInRuns(addr, 1));
    EXPECT_TRUE(ztest::WaitGone(window, kWaitCaption));
    EXPECT_EQ(root.ReadEtc(L"seen.xml"), ztest::UpdateMethodXml("DIRECT", "8.8.8.8"));

    // The status combo of host9: its two entries, its own status chosen; Up and Enter change it, Down and
    // Escape change nothing, and either way the main window applies.
    const std::string host9Online = ztest::UpdateListXml({{"host10", "ONLINE"}, {"host9", "ONLINE"},
                                                          {"notlisted", "ONLINE"}, {"host09", "ONLINE"},
                                                          {"OFFLINE", "ONLINE"}});
    using Edit = std::tuple<WORD, WORD, int>;  // the key, the key that ends the edit, the entry chosen at first
    for (const auto& [key, end, selected] : {Edit{VK_UP, VK_RETURN, 1}, Edit{VK_DOWN, VK_ESCAPE, 0}}) {
        SCOPED_TRACE(end == VK_RETURN ? "Enter" : "Escape");
        ztest::ClickCell(window, list, 2, 2);
        const HWND combo = ::FindWindowExW(list, nullptr, L"ComboBox", nullptr);
        ASSERT_NE(combo, nullptr) << "no combo";
        EXPECT_EQ(U(ztest::ComboItemText(combo, 0)) + "," + U(ztest::ComboItemText(combo, 1)), "ONLINE,OFFLINE");
        EXPECT_EQ(::SendMessageW(combo, CB_GETCOUNT, 0, 0), 2);
        EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), selected);
        ztest::PostKey(combo, key);
        window.Drain();
        ASSERT_TRUE(Applied(root, window, [&, end = end] { ztest::PostKey(combo, end); }));
        EXPECT_EQ(root.ReadEtc(L"update_list.xml"), host9Online);
        EXPECT_EQ(ztest::RowTexts(list).at(2), "host9 | off9 | ONLINE");
        EXPECT_TRUE(ztest::WaitFor([&] { return !::IsWindow(combo); })) << "the combo stays";
    }

    // A double click on a host opens it in the browser; one on its address opens nothing.
    const std::wstring browser = root.Bin(L"zv_browser.exe");
    ztest::InstallStandIn(browser);
    {
        ztest::ShellOpenHandler handler(L"http", browser);
        ASSERT_TRUE(handler.Registered());
        for (int column : {1, 0}) {
            const RECT cell = ztest::ListCellRect(list, 3, column);
            const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
            for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
                ::PostMessageW(list, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
            }
            window.Drain();
        }
        ASSERT_TRUE(ztest::WaitForStandInRuns(browser, 1));
    }
    const auto opened = ztest::StandInRuns(browser);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(U(opened[0].commandLine), "\"" + U(browser) + "\" \"http://host10\"");

    // A status changed in the combo and the window closed at once: the change is still saved.
    ztest::ClickCell(window, list, 2, 2);
    const HWND combo = ::FindWindowExW(list, nullptr, L"ComboBox", nullptr);
    ASSERT_NE(combo, nullptr) << "no combo";
    ztest::PostKey(combo, VK_DOWN);
    window.Drain();
    window.Close();
    EXPECT_EQ(conf.ExitCode(), 0);
    EXPECT_EQ(root.ReadEtc(L"update_list.xml"),
              ztest::UpdateListXml({{"host10", "ONLINE"}, {"host9", "OFFLINE"}, {"notlisted", "ONLINE"},
                                    {"host09", "ONLINE"}, {"OFFLINE", "ONLINE"}}));
}

TEST_F(ConfTest, IpUpdateThroughZorvaneAddrWithEveryOutcome) {
    // The service takes the internet-address request and never answers.
    ztest::StandinSession service;
    ASSERT_TRUE(service.Script("/getip.php", ztest::RawReply("", ztest::StandinReply::Mode::Stall)));
    ConfRoot root;
    root.WriteConfig([&](CConfigFile& c) {
        c.SetSelectedMenu(1);
        c.SetIpUrl(service.Url("/getip.php"));
    });
    root.WriteEtc(L"host_list.xml", ztest::HostListFileXml({{"host1", "198.51.100.1", "ONLINE", ""}}));
    root.WriteEtc(L"update_list.xml", ztest::UpdateListXml({{"host1", "ONLINE"}}));
    const auto prepare = [&](const std::wstring& name, const std::string& bytes) {
        ztest::WriteBytes(root.Etc(name), bytes);
        return root.Etc(name);
    };
    const std::wstring movedTo5 =
        prepare(L"hosts5.xml", ztest::HostListFileXml({{"host1", "203.0.113.5", "ONLINE", ""}}));
    const std::wstring movedTo6 =
        prepare(L"hosts6.xml", ztest::HostListFileXml({{"host1", "203.0.113.6", "ONLINE", ""}}));
    const std::wstring tooOften = prepare(L"result320.xml", ResultXml("702", {"721", "320"}));
    const std::wstring partly = prepare(L"result721.xml", ResultXml("702", {"721", "0"}));
    shared.SetId(L"alice");
    shared.SetPassword(L"s3cret");
    RunningConf conf = Start(root);
    ConfWindow& window = *conf.window;
    const ztest::WindowDriver page = window.Page(IDD_IP_CONFIG);
    const ztest::Worker addr{root.Bin(L"ZorvaneAddr.exe"), IDD_IP_CONFIG, IDC_BUTTON_UPDATE_IP,
                             L"ip_config/wait_update_title", "ip_config/wait_update_message",
                             " /id:alice /password:s3cret"};
    const std::wstring hostList = root.Etc(L"host_list.xml");
    const std::wstring result = root.Etc(L"update_result.xml");
    const std::string failed = "error/title: error/update_fail";
    const struct {
        WorkerRow run;
        const char* row;  // the update list's row afterwards
    } rows[] = {
        {{"0", WorkerRow::Runs, {{0}}, false, "error/title: error/not_connect_server"},
         "host1 | 198.51.100.1 | ONLINE"},
        {{"303", WorkerRow::Runs, {{303}}, false, "error/title: error/private_ip"}, "host1 | 198.51.100.1 | ONLINE"},
        {{"701: the list reloaded", WorkerRow::Runs, {{701}, {}, {{movedTo5, hostList}}}, false, ""},
         "host1 | 203.0.113.5 | ONLINE"},
        {{"702 with a host code 320", WorkerRow::Runs, {{702}, {}, {{tooOften, result}, {movedTo6, hostList}}}, false,
          "error/title: error/too_many_update"},
         "host1 | 203.0.113.5 | ONLINE"},
        {{"702 without: nothing reported or reloaded", WorkerRow::Runs,
          {{702}, {}, {{partly, result}, {movedTo6, hostList}}}, false, ""},
         "host1 | 203.0.113.5 | ONLINE"},
        {{"another code", WorkerRow::Runs, {{999}}, false, failed}, "host1 | 203.0.113.5 | ONLINE"},
        {{"cancelled", WorkerRow::Runs, {{701}, {60000}, {{movedTo5, hostList}}}, true, ""},
         "host1 | 203.0.113.5 | ONLINE"},
        {{"no program", WorkerRow::Missing, {}, false, failed}, "host1 | 203.0.113.5 | ONLINE"},
        {{"no shared block", WorkerRow::NoBlock, {}, false, failed}, "host1 | 203.0.113.5 | ONLINE"},
        {{"an account the command line cannot carry", WorkerRow::Unpassable, {}, false, failed},
         "host1 | 203.0.113.5 | ONLINE"},
    };
    for (const auto& row : rows) {
        ztest::RunWorkerRow(window, addr, row.run, shared, L"alice", L"s3cret");
        EXPECT_EQ(ztest::RowTexts(page.Control(IDC_LIST_UPDATE)), Strings{row.row}) << row.run.name;
    }
    // The request still waits for its answer; closing the program does not wait for it.
    EXPECT_EQ(U(page.Text(IDC_STATIC_INTERNET_IP)), "general/loading");
    window.Close();
    EXPECT_EQ(conf.ExitCode(6000), 0);
}

// The row of the adapter with this MAC address, -1 when none.
int AdapterRow(HWND adapters, const std::string& mac) {
    for (int row = 0; row < ListView_GetItemCount(adapters); ++row) {
        if (U(ztest::ListItemText(adapters, row, 2)) == mac) return row;
    }
    return -1;
}

// An adapter's row as "<address column> <item data: 1 when it may be checked> <x when checked, else ->".
std::string Adapter(HWND adapters, const std::string& mac) {
    const int row = AdapterRow(adapters, mac);
    if (row < 0) return "no row";
    const LRESULT state = ::SendMessageW(adapters, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK);
    return U(ztest::ListItemText(adapters, row, 0)) + " " + std::to_string(ztest::ListItemData(adapters, row)) +
           (static_cast<UINT>(state) == INDEXTOSTATEIMAGEMASK(2) ? " x" : " -");
}

// A click on the check box of the adapter's row.
void ClickAdapterBox(const ConfWindow& window, HWND adapters, const std::string& mac) {
    const RECT cell = ztest::ListCellRect(adapters, AdapterRow(adapters, mac), 0);
    ztest::ClickAt(window, adapters, POINT{10, (cell.top + cell.bottom) / 2});
}

// The namespace's adapters (zorvane_conf_test_netns): 025A56000021 with 192.168.0.2 and 203.0.113.5,
// 025A56000022 with 192.168.0.3 and 10.0.0.5, 025A56000023 with 198.51.100.23, 025A56000024 with 169.254.7.7.
class ConfLanPublic : public ConfTest {};

TEST_F(ConfLanPublic, AdaptersWithAPublicAddressAreTheLanMethodsChoice) {
    ConfRoot root;
    root.WriteConfig([](CConfigFile& c) { c.SetSelectedMenu(1); });
    root.WriteEtc(L"host_list.xml", ztest::HostListFileXml({{"host1", "198.51.100.1", "ONLINE", ""}}));
    const std::wstring addr = root.Bin(L"ZorvaneAddr.exe");
    ztest::InstallStandIn(addr, ztest::StandInScript({701}));
    {
        RunningConf conf = Start(root);
        ConfWindow& window = *conf.window;
        const ztest::WindowDriver page = window.Page(IDD_IP_CONFIG);
        const HWND adapters = page.Control(IDC_LIST_ADAPTERS);
        EXPECT_TRUE(page.Enabled(IDC_RADIO_LAN_IP) && page.Enabled(IDC_STATIC_LAN_IP_DESCRIPTION));
        EXPECT_FALSE(page.Enabled(IDC_LIST_ADAPTERS));
        // A row that shows a public address can be checked with the mouse at once.
        EXPECT_EQ(Adapter(adapters, "025A56000021"), "203.0.113.5 1 -");
        EXPECT_EQ(Adapter(adapters, "025A56000022"), "192.168.0.3, 10.0.0.5 0 -");
        EXPECT_EQ(Adapter(adapters, "025A56000023"), "198.51.100.23 1 -");
        EXPECT_EQ(Adapter(adapters, "025A56000024"), "169.254.7.7 0 -");

        // LAN without a checked row stores no adapter, and an update then asks for one.
        ASSERT_TRUE(ClickApplied(root, window, IDD_IP_CONFIG, IDC_RADIO_LAN_IP));
        EXPECT_EQ(root.ReadEtc(L"update_method.xml"), ztest::UpdateMethodXml("LAN", ""));
        EXPECT_TRUE(page.Enabled(IDC_LIST_ADAPTERS));
        page.Click(IDC_BUTTON_UPDATE_IP, false);
        EXPECT_EQ(ztest::WaitForBox(window, kWaitCaption), "information/title: information/select_lan");
        EXPECT_TRUE(ztest::CloseBox(window));
        EXPECT_TRUE(ztest::StandInRuns(addr).empty()) << "an update started";
        // A row with private addresses only refuses the check; the check moves from row to row.
        EXPECT_FALSE(Applied(root, window, [&] { ClickAdapterBox(window, adapters, "025A56000022"); }, 0));
        for (const std::string mac : {"025A56000021", "025A56000023"}) {
            ASSERT_TRUE(Applied(root, window, [&] { ClickAdapterBox(window, adapters, mac); })) << mac;
            EXPECT_EQ(root.ReadEtc(L"update_method.xml"), ztest::UpdateMethodXml("LAN", mac));
        }
        EXPECT_EQ(Adapter(adapters, "025A56000021"), "203.0.113.5 1 -");
        EXPECT_EQ(Adapter(adapters, "025A56000022"), "192.168.0.3, 10.0.0.5 0 -");
        EXPECT_EQ(Adapter(adapters, "025A56000023"), "198.51.100.23 1 x");
        page.Click(IDC_BUTTON_UPDATE_IP, false);
        ASSERT_TRUE(ztest::WaitForStandInRuns(addr, 1));
        EXPECT_TRUE(ztest::WaitGone(window, kWaitCaption));
        EXPECT_EQ(window.FindBox(), nullptr) << "a box showed";
        window.Close();
        EXPECT_EQ(conf.ExitCode(), 0);
    }

    // The stored adapter is checked at the next start.
    RunningConf conf = Start(root);
    const ztest::WindowDriver page = conf.window->Page(IDD_IP_CONFIG);
    EXPECT_TRUE(page.Checked(IDC_RADIO_LAN_IP) && page.Enabled(IDC_LIST_ADAPTERS));
    EXPECT_EQ(Adapter(page.Control(IDC_LIST_ADAPTERS), "025A56000021"), "203.0.113.5 1 -");
    EXPECT_EQ(Adapter(page.Control(IDC_LIST_ADAPTERS), "025A56000023"), "198.51.100.23 1 x");

    // Exactly one method shows checked after each click of the mouse and each arrow key; the file holds the last.
    const struct {
        int radio;  // clicked; 0: the key
        WORD key;
        int checked;
        std::string method;
    } steps[] = {
        {IDC_RADIO_DIRECT_IP, 0, IDC_RADIO_DIRECT_IP, ztest::UpdateMethodXml("DIRECT", "")},
        {IDC_RADIO_INTERNET_IP, 0, IDC_RADIO_INTERNET_IP, ztest::UpdateMethodXml("IP", "")},
        {IDC_RADIO_LAN_IP, 0, IDC_RADIO_LAN_IP, ztest::UpdateMethodXml("LAN", "025A56000023")},
        {0, VK_DOWN, IDC_RADIO_DIRECT_IP, ztest::UpdateMethodXml("DIRECT", "")},
        {0, VK_UP, IDC_RADIO_LAN_IP, ztest::UpdateMethodXml("LAN", "025A56000023")},
        {0, VK_UP, IDC_RADIO_INTERNET_IP, ztest::UpdateMethodXml("IP", "")},
    };
    int focused = 0;  // the radio clicked or reached last, which has the focus
    for (const auto& step : steps) {
        SCOPED_TRACE(step.checked);
        ASSERT_TRUE(Applied(root, *conf.window, [&] {
            if (step.radio) {
                ztest::ClickAt(*conf.window, page.Control(step.radio), POINT{6, 6});
            } else {
                ztest::PostKey(page.Control(focused), step.key);
                conf.window->Drain();
            }
        }));
        focused = step.checked;
        EXPECT_EQ(CheckedMethods(page), std::vector<int>{step.checked});
        EXPECT_EQ(root.ReadEtc(L"update_method.xml"), step.method);
    }
    conf.window->Close();
    EXPECT_EQ(conf.ExitCode(), 0);
}

// The namespace's adapters (zorvane_conf_test_netns2): 025A56000031 with 192.168.0.2 and 10.0.0.5,
// 025A56000032 with 172.16.0.9.
class ConfLanPrivate : public ConfTest {};

TEST_F(ConfLanPrivate, WithoutAPublicAdapterAStoredLanMethodFallsBackToTheInternetAddress) {
    ConfRoot root;
    root.WriteConfig([](CConfigFile& c) { c.SetSelectedMenu(0); });
    root.WriteEtc(L"update_method.xml", ztest::UpdateMethodXml("LAN", "025A56000031"));
    // The host list is an error reply: the apply that saves the fallback keeps the wanted hosts.
    root.WriteEtc(L"host_list.xml", "<zorvane><result code=\"201\"/></zorvane>");
    const std::string wanted = ztest::UpdateListXml({{"alpha", "ONLINE"}, {"beta", "OFFLINE"}});
    root.WriteEtc(L"update_list.xml", wanted);
    RunningConf conf = Start(root);
    const ztest::WindowDriver page = conf.window->Page(IDD_IP_CONFIG);
    EXPECT_FALSE(page.Enabled(IDC_RADIO_LAN_IP) || page.Enabled(IDC_STATIC_LAN_IP_DESCRIPTION));
    EXPECT_TRUE(page.Checked(IDC_RADIO_INTERNET_IP));
    EXPECT_FALSE(page.Checked(IDC_RADIO_LAN_IP) || page.Enabled(IDC_LIST_ADAPTERS));
    EXPECT_EQ(Adapter(page.Control(IDC_LIST_ADAPTERS), "025A56000031"), "192.168.0.2, 10.0.0.5 0 -");
    EXPECT_EQ(Adapter(page.Control(IDC_LIST_ADAPTERS), "025A56000032"), "172.16.0.9 0 -");
    // The fallback is announced and so saved.
    EXPECT_TRUE(ztest::WaitFor([&] { return root.ReadEtc(L"update_method.xml") == ztest::UpdateMethodXml("IP", ""); }));
    EXPECT_EQ(root.ReadEtc(L"update_list.xml"), wanted);
    conf.window->Close();
    EXPECT_EQ(conf.ExitCode(), 0);
}

}  // namespace
