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
using Strings = std::vector<std::string>;

constexpr wchar_t kWaitCaption[] = L"ip_config/wait_update_title";

// The four fields of an IP address control as it shows them.
std::string AddressShown(HWND control) {
    std::string shown;
    for (HWND field = ::GetWindow(control, GW_CHILD); field; field = ::GetWindow(field, GW_HWNDNEXT)) {
        shown += (shown.empty() ? "" : ".") + U(ztest::WindowText(field));
    }
    return shown;
}

// Types an address into an IP address control field by field, as the keyboard does.
void TypeAddress(const ConfWindow& window, HWND control, const std::string& address) {
    std::vector<HWND> fields;
    for (HWND field = ::GetWindow(control, GW_CHILD); field; field = ::GetWindow(field, GW_HWNDNEXT)) {
        fields.push_back(field);
    }
    size_t field = 0;
    for (char c : address) {
        if (c == '.') {
            ++field;
            continue;
        }
        ::PostMessageW(fields.at(field), WM_CHAR, static_cast<WPARAM>(c), 1);
    }
    window.Drain();
}

// The cell combo open over the list, if any.
HWND CellCombo(HWND list) { return ::FindWindowExW(list, nullptr, L"ComboBox", nullptr); }

Strings ComboEntries(HWND combo) {
    Strings entries;
    const int count = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) entries.push_back(U(ztest::ComboItemText(combo, i)));
    return entries;
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

    const struct {
        int id;
        const char* text;
    } texts[] = {
        {IDC_GROUP_UPDATE_LIST, "ip_config/update_list_title"},
        {IDC_GROUP_UPDATE_METHOD, "ip_config/update_method_title"},
        {IDC_RADIO_INTERNET_IP, "ip_config/internet_ip_title"},
        {IDC_STATIC_INTERNET_IP_DESCRIPTION, "ip_config/internet_ip_description"},
        {IDC_RADIO_LAN_IP, "ip_config/lan_ip_title"},
        {IDC_STATIC_LAN_IP_DESCRIPTION, "ip_config/lan_ip_description"},
        {IDC_RADIO_DIRECT_IP, "ip_config/direct_ip_title"},
        {IDC_BUTTON_UPDATE_IP, "ip_config/update_ip"},
    };
    for (const auto& text : texts) EXPECT_EQ(U(page.Text(text.id)), text.text) << text.id;
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
    EXPECT_TRUE(ztest::StandInRuns(root.Bin(L"ZorvaneAddr.exe")).empty()) << "an update started";

    // The status combo of host9: its two entries, its own status chosen; Up and Enter change it, Down and
    // Escape change nothing, and either way the main window applies.
    const struct {
        WORD key, end;
        const char* row;
        std::string wanted;
    } edits[] = {
        {VK_UP, VK_RETURN, "host9 | off9 | ONLINE",
         ztest::UpdateListXml({{"host10", "ONLINE"}, {"host9", "ONLINE"}, {"notlisted", "ONLINE"}, {"host09", "ONLINE"},
                               {"OFFLINE", "ONLINE"}})},
        {VK_DOWN, VK_ESCAPE, "host9 | off9 | ONLINE",
         ztest::UpdateListXml({{"host10", "ONLINE"}, {"host9", "ONLINE"}, {"notlisted", "ONLINE"}, {"host09", "ONLINE"},
                               {"OFFLINE", "ONLINE"}})},
    };
    int selected = 1;
    for (const auto& edit : edits) {
        SCOPED_TRACE(edit.end == VK_RETURN ? "Enter" : "Escape");
        ztest::ClickCell(window, list, 2, 2);
        const HWND combo = CellCombo(list);
        ASSERT_NE(combo, nullptr) << "no combo";
        EXPECT_EQ(ComboEntries(combo), (Strings{"ONLINE", "OFFLINE"}));
        EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), selected);
        ztest::PostKey(combo, edit.key);
        window.Drain();
        ASSERT_TRUE(Applied(root, window, [&] { ztest::PostKey(combo, edit.end); }));
        EXPECT_EQ(root.ReadEtc(L"update_list.xml"), edit.wanted);
        EXPECT_EQ(ztest::RowTexts(list).at(2), edit.row);
        EXPECT_TRUE(ztest::WaitFor([&] { return !::IsWindow(combo); })) << "the combo stays";
        selected = 0;
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
    window.Close();
    EXPECT_EQ(conf.ExitCode(), 0);
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
    const HWND list = page.Control(IDC_LIST_UPDATE);
    const std::wstring addr = root.Bin(L"ZorvaneAddr.exe");
    const std::wstring hostList = root.Etc(L"host_list.xml");
    const std::wstring result = root.Etc(L"update_result.xml");

    enum Start { NoBlock, Unpassable, Runs, Missing };
    const struct {
        const char* name;
        Start start;
        long long exitCode;
        unsigned delayMs;
        ztest::StandInScript::PlacedFiles leaves;
        bool cancel;
        std::string box;  // "" none
        std::string row;  // the update list's row afterwards
    } rows[] = {
        {"0: no connection", Runs, 0, 0, {}, false, "error/title: error/not_connect_server",
         "host1 | 198.51.100.1 | ONLINE"},
        {"303: a private address", Runs, 303, 0, {}, false, "error/title: error/private_ip",
         "host1 | 198.51.100.1 | ONLINE"},
        {"701: the lists reloaded", Runs, 701, 0, {{movedTo5, hostList}}, false, "", "host1 | 203.0.113.5 | ONLINE"},
        {"702 with a host code 320: too many updates", Runs, 702, 0, {{tooOften, result}, {movedTo6, hostList}}, false,
         "error/title: error/too_many_update", "host1 | 203.0.113.5 | ONLINE"},
        {"702 without one: nothing reported, nothing reloaded", Runs, 702, 0, {{partly, result}, {movedTo6, hostList}},
         false, "", "host1 | 203.0.113.5 | ONLINE"},
        {"another code", Runs, 999, 0, {}, false, "error/title: error/update_fail", "host1 | 203.0.113.5 | ONLINE"},
        {"cancelled: ZorvaneAddr ended, nothing reported", Runs, 701, 60000, {{movedTo5, hostList}}, true, "",
         "host1 | 203.0.113.5 | ONLINE"},
        {"no program", Missing, 0, 0, {}, false, "error/title: error/update_fail", "host1 | 203.0.113.5 | ONLINE"},
        {"no shared block: nothing started", NoBlock, 0, 0, {}, false, "error/title: error/update_fail",
         "host1 | 203.0.113.5 | ONLINE"},
        {"an account the command line cannot carry: nothing started", Unpassable, 0, 0, {}, false,
         "error/title: error/update_fail", "host1 | 203.0.113.5 | ONLINE"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ztest::InstallStandIn(addr, ztest::StandInScript({row.exitCode}, {row.delayMs}, row.leaves));
        UniqueHandle taken;
        if (row.start == NoBlock) {
            shared.Close();
            taken.reset(::CreateMutexW(nullptr, FALSE, kSharedUserDataName));  // the name is taken
        } else if (row.start == Unpassable) {
            shared.SetPassword(L"\"pw\" x");
        } else if (row.start == Missing) {
            ASSERT_TRUE(::DeleteFileW(addr.c_str()));
        }

        page.Click(IDC_BUTTON_UPDATE_IP, false);
        std::vector<ztest::StandInRun> runs;
        if (row.start == Runs) {
            ASSERT_TRUE(ztest::WaitForStandInRuns(addr, 1));
            runs = ztest::StandInRuns(addr);
            EXPECT_EQ(U(runs[0].commandLine), " /id:alice /password:s3cret");
            EXPECT_EQ(runs[0].startFlags, static_cast<unsigned long>(STARTF_FORCEOFFFEEDBACK | STARTF_USESHOWWINDOW));
        }
        if (row.cancel) {
            HWND wait = nullptr;
            ASSERT_TRUE(ztest::WaitFor([&] { return (wait = window.FindBox()) != nullptr; }));
            EXPECT_EQ(ztest::WindowText(wait), kWaitCaption);
            EXPECT_EQ(U(ztest::WindowText(::GetDlgItem(wait, 1028))), "ip_config/wait_update_message");
            EXPECT_TRUE(ConfWindow::Answer(wait, IDCANCEL));
            EXPECT_TRUE(ztest::RunEnded(runs[0])) << "ZorvaneAddr left running";
        }
        if (row.box.empty()) {
            EXPECT_TRUE(ztest::WaitGone(window, kWaitCaption));
            EXPECT_EQ(window.FindBox(), nullptr) << "a box showed";
        } else {
            EXPECT_EQ(ztest::WaitForBox(window, kWaitCaption), row.box);
            EXPECT_TRUE(ztest::CloseBox(window));
            EXPECT_TRUE(ztest::WaitGone(window, kWaitCaption));
        }
        EXPECT_EQ(ztest::RowTexts(list), Strings{row.row});
        if (row.start != Runs) {
            EXPECT_TRUE(ztest::StandInRuns(addr).empty()) << "something started";
        }

        taken.reset();
        ASSERT_TRUE(shared.Open());
        shared.SetId(L"alice");
        shared.SetPassword(L"s3cret");
    }
    // The request still waits for its answer; closing the program does not wait for it.
    EXPECT_EQ(U(page.Text(IDC_STATIC_INTERNET_IP)), "general/loading");
    window.Close();
    EXPECT_EQ(conf.ExitCode(6000), 0);
}

// The rows of the adapter list by MAC address: the address column, whether the row may be checked, and
// whether it is.
struct AdapterRow {
    std::string address;
    LPARAM checkable = -1;
    bool checked = false;
};

AdapterRow AdapterOf(HWND adapters, const std::string& mac) {
    for (int row = 0; row < ListView_GetItemCount(adapters); ++row) {
        if (U(ztest::ListItemText(adapters, row, 2)) != mac) continue;
        const UINT state = static_cast<UINT>(::SendMessageW(adapters, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
        return AdapterRow{U(ztest::ListItemText(adapters, row, 0)), ztest::ListItemData(adapters, row),
                          (state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2)};
    }
    return AdapterRow{"<no row>"};
}

void ExpectAdapter(HWND adapters, const std::string& mac, const std::string& address, LPARAM checkable, bool checked) {
    SCOPED_TRACE(mac);
    const AdapterRow row = AdapterOf(adapters, mac);
    EXPECT_EQ(row.address, address);
    EXPECT_EQ(row.checkable, checkable);
    EXPECT_EQ(row.checked, checked);
}

// A click on the check box of the adapter's row.
void ClickAdapterBox(const ConfWindow& window, HWND adapters, const std::string& mac) {
    for (int row = 0; row < ListView_GetItemCount(adapters); ++row) {
        if (U(ztest::ListItemText(adapters, row, 2)) != mac) continue;
        const RECT cell = ztest::ListCellRect(adapters, row, 0);
        ztest::ClickAt(window, adapters, POINT{10, (cell.top + cell.bottom) / 2});
        return;
    }
    ADD_FAILURE() << "no adapter " << mac;
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
        EXPECT_TRUE(page.Enabled(IDC_RADIO_LAN_IP));
        EXPECT_TRUE(page.Enabled(IDC_STATIC_LAN_IP_DESCRIPTION));
        EXPECT_FALSE(page.Enabled(IDC_LIST_ADAPTERS));
        // Each row can be checked with the mouse at once when it shows a public address.
        ExpectAdapter(adapters, "025A56000021", "203.0.113.5", 1, false);
        ExpectAdapter(adapters, "025A56000022", "192.168.0.3, 10.0.0.5", 0, false);
        ExpectAdapter(adapters, "025A56000023", "198.51.100.23", 1, false);
        ExpectAdapter(adapters, "025A56000024", "169.254.7.7", 0, false);

        // LAN without a checked row stores no adapter, and an update then asks for one.
        ASSERT_TRUE(ClickApplied(root, window, IDD_IP_CONFIG, IDC_RADIO_LAN_IP));
        EXPECT_EQ(root.ReadEtc(L"update_method.xml"), ztest::UpdateMethodXml("LAN", ""));
        EXPECT_TRUE(page.Enabled(IDC_LIST_ADAPTERS));
        page.Click(IDC_BUTTON_UPDATE_IP, false);
        EXPECT_EQ(ztest::WaitForBox(window, kWaitCaption), "information/title: information/select_lan");
        EXPECT_TRUE(ztest::CloseBox(window));
        EXPECT_TRUE(ztest::StandInRuns(addr).empty()) << "an update started";

        const struct {
            const char* mac;
            bool applies;
            std::string method;
        } clicks[] = {
            {"025A56000022", false, ztest::UpdateMethodXml("LAN", "")},  // private addresses only: refused
            {"025A56000021", true, ztest::UpdateMethodXml("LAN", "025A56000021")},
            {"025A56000023", true, ztest::UpdateMethodXml("LAN", "025A56000023")},  // the check moves
        };
        for (const auto& click : clicks) {
            SCOPED_TRACE(click.mac);
            const bool applied = Applied(
                root, window, [&] { ClickAdapterBox(window, adapters, click.mac); }, click.applies ? 15000 : 0);
            EXPECT_EQ(applied, click.applies);
            if (click.applies) {
                EXPECT_EQ(root.ReadEtc(L"update_method.xml"), click.method);
            }
        }
        ExpectAdapter(adapters, "025A56000021", "203.0.113.5", 1, false);
        ExpectAdapter(adapters, "025A56000022", "192.168.0.3, 10.0.0.5", 0, false);
        ExpectAdapter(adapters, "025A56000023", "198.51.100.23", 1, true);
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
    EXPECT_TRUE(page.Checked(IDC_RADIO_LAN_IP));
    EXPECT_FALSE(page.Checked(IDC_RADIO_INTERNET_IP));
    EXPECT_TRUE(page.Enabled(IDC_LIST_ADAPTERS));
    ExpectAdapter(page.Control(IDC_LIST_ADAPTERS), "025A56000021", "203.0.113.5", 1, false);
    ExpectAdapter(page.Control(IDC_LIST_ADAPTERS), "025A56000023", "198.51.100.23", 1, true);
    conf.window->Close();
    EXPECT_EQ(conf.ExitCode(), 0);
}

// The namespace's adapters (zorvane_conf_test_netns2): 025A56000031 with 192.168.0.2 and 10.0.0.5,
// 025A56000032 with 172.16.0.9.
class ConfLanPrivate : public ConfTest {};

TEST_F(ConfLanPrivate, WithoutAPublicAdapterAStoredLanMethodFallsBackToTheInternetAddress) {
    ConfRoot root;
    root.WriteConfig([](CConfigFile& c) { c.SetSelectedMenu(1); });
    root.WriteEtc(L"update_method.xml", ztest::UpdateMethodXml("LAN", "025A56000031"));
    RunningConf conf = Start(root);
    const ztest::WindowDriver page = conf.window->Page(IDD_IP_CONFIG);
    const HWND adapters = page.Control(IDC_LIST_ADAPTERS);
    EXPECT_FALSE(page.Enabled(IDC_RADIO_LAN_IP));
    EXPECT_FALSE(page.Enabled(IDC_STATIC_LAN_IP_DESCRIPTION));
    EXPECT_TRUE(page.Checked(IDC_RADIO_INTERNET_IP));
    EXPECT_FALSE(page.Checked(IDC_RADIO_LAN_IP));
    EXPECT_FALSE(page.Enabled(IDC_LIST_ADAPTERS));
    ExpectAdapter(adapters, "025A56000031", "192.168.0.2, 10.0.0.5", 0, false);
    ExpectAdapter(adapters, "025A56000032", "172.16.0.9", 0, false);
    // The fallback is announced and so saved.
    EXPECT_TRUE(ztest::WaitFor([&] { return root.ReadEtc(L"update_method.xml") == ztest::UpdateMethodXml("IP", ""); }));
    conf.window->Close();
    EXPECT_EQ(conf.ExitCode(), 0);
}

}  // namespace
