// The host page of the real ZorvaneConf: both lists from the files in natural order, the pruning of wanted
// hosts the service no longer lists, Insert and Delete with their bytes in update_list.xml, and the host-list
// refresh through a stand-in ZorvaneHosts with every outcome.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "config/resource.h"
#include "tests/config/ConfFixture.h"
#include "tests/config/ConfPages.h"
#include "tests/support/RemoteBuffer.h"
#include "tests/support/WorkerRoot.h"

namespace {

using ztest::ConfRoot;
using ztest::ConfTest;
using ztest::ConfWindow;
using ztest::RunningConf;
using ztest::U;
using ztest::WorkerRow;
using Strings = std::vector<std::string>;

TEST_F(ConfTest, HostPageListsInsertAndDelete) {
    ConfRoot root;
    root.WriteConfig([](CConfigFile& c) { c.SetSelectedMenu(0); });
    root.WriteEtc(L"host_list.xml", ztest::HostListFileXml({{"host10", "198.51.100.10", "ONLINE", ""},
                                                            {"host9", "198.51.100.9", "OFFLINE", ""},
                                                            {"zeta", "198.51.100.26", "OFFLINE", ""},
                                                            {"host09", "198.51.100.90", "ONLINE", ""},
                                                            {"ABCD", "198.51.100.2", "ONLINE", ""}}));
    // "gone" is no longer the service's.
    const std::string wantedBefore =
        ztest::UpdateListXml({{"ABCD", "ONLINE"}, {"gone", "OFFLINE"}, {"host9", "OFFLINE"}});
    root.WriteEtc(L"update_list.xml", wantedBefore);
    RunningConf conf = Start(root);
    ConfWindow& window = *conf.window;
    const ztest::WindowDriver page = window.Page(IDD_HOST_CONFIG);
    const HWND all = page.Control(IDC_LIST_ALL_HOSTS);
    const HWND wanted = page.Control(IDC_LIST_UPDATE_HOSTS);

    const std::pair<int, const char*> texts[] = {
        {IDC_BUTTON_INSERT, "general/insert >>>"},
        {IDC_BUTTON_DELETE, "<<< general/delete"},
        {IDC_GROUP_HOST_LISTS, "host_config/title"},
        {IDC_STATIC_ALL_HOSTS, "host_config/all_host_list_title"},
        {IDC_STATIC_UPDATE_HOSTS, "host_config/update_host_list_title"},
        {IDC_GROUP_HOST_DESCRIPTION, "host_config/description_title"},
        {IDC_STATIC_HOST_DESCRIPTION, "host_config/description"},
        {IDC_BUTTON_REFRESH, "host_config/refresh_host_list"},
    };
    for (const auto& [id, text] : texts) EXPECT_EQ(U(page.Text(id)), text) << id;
    for (HWND list : {all, wanted}) EXPECT_EQ(ztest::ListHeadings(list), std::vector<std::wstring>{L"general/host"});
    // Natural order, capitals first; the host the service no longer lists leaves the page at once and the
    // file with the next save.
    EXPECT_EQ(ztest::RowTexts(all), (Strings{"ABCD", "host09", "host9", "host10", "zeta"}));
    EXPECT_EQ(ztest::RowTexts(wanted), (Strings{"ABCD", "host9"}));
    EXPECT_EQ(root.ReadEtc(L"update_list.xml"), wantedBefore);

    // Insert and Delete follow the focus; with nothing selected they ask for a selection and change nothing.
    EXPECT_FALSE(page.Enabled(IDC_BUTTON_INSERT) || page.Enabled(IDC_BUTTON_DELETE));
    ztest::ClickCell(window, wanted, 0, 0);
    EXPECT_EQ(page.FocusId(), IDC_LIST_UPDATE_HOSTS);
    EXPECT_TRUE(page.Enabled(IDC_BUTTON_DELETE) && !page.Enabled(IDC_BUTTON_INSERT));
    ztest::ClickCell(window, all, 0, 0);
    EXPECT_EQ(page.FocusId(), IDC_LIST_ALL_HOSTS);
    EXPECT_TRUE(page.Enabled(IDC_BUTTON_INSERT) && !page.Enabled(IDC_BUTTON_DELETE));
    ASSERT_TRUE(ztest::SetListItemState(all, -1, 0, LVIS_SELECTED));
    const auto noSelection = [&] {
        page.Click(IDC_BUTTON_INSERT, false);
        EXPECT_EQ(ztest::WaitForBox(window, L""), "information/title: information/select_host");
        EXPECT_TRUE(ztest::CloseBox(window));
    };
    EXPECT_FALSE(Applied(root, window, noSelection, 0)) << "an apply";

    // Three hosts, one wanted already: the two others join with the service's status, in one apply.
    for (int row : {2, 3, 4}) ASSERT_TRUE(ztest::SetListItemState(all, row, LVIS_SELECTED, LVIS_SELECTED));
    ASSERT_TRUE(Applied(root, window, [&] { page.Click(IDC_BUTTON_INSERT); }));
    EXPECT_FALSE(Applied(root, window, [] {}, 0)) << "a second apply";
    EXPECT_EQ(root.ReadEtc(L"update_list.xml"), ztest::UpdateListXml({{"ABCD", "ONLINE"}, {"host9", "OFFLINE"},
                                                                      {"zeta", "OFFLINE"}, {"host10", "ONLINE"}}));
    EXPECT_EQ(ztest::RowTexts(wanted), (Strings{"ABCD", "host9", "host10", "zeta"}));
    EXPECT_EQ(page.FocusId(), IDC_LIST_ALL_HOSTS);

    // Two rows deleted at once, whatever their order.
    ztest::ClickCell(window, wanted, 3, 0);
    ASSERT_TRUE(ztest::SetListItemState(wanted, 1, LVIS_SELECTED, LVIS_SELECTED));
    ASSERT_TRUE(Applied(root, window, [&] { page.Click(IDC_BUTTON_DELETE); }));
    EXPECT_EQ(root.ReadEtc(L"update_list.xml"), ztest::UpdateListXml({{"ABCD", "ONLINE"}, {"host10", "ONLINE"}}));
    EXPECT_EQ(ztest::RowTexts(wanted), (Strings{"ABCD", "host10"}));
    EXPECT_EQ(page.FocusId(), IDC_LIST_UPDATE_HOSTS);
    window.Close();
    EXPECT_EQ(conf.ExitCode(), 0);
}

// host_list.xml holds whatever reply the service gave, an error that lists no host included (a refused sign-in,
// maintenance); only a list the service delivered says which wanted hosts the account no longer has.
TEST_F(ConfTest, HostPagePrunesOnlyAgainstADeliveredList) {
    const std::string both = ztest::UpdateListXml({{"alpha", "ONLINE"}, {"beta", "OFFLINE"}});
    const struct {
        const char* name;
        std::string hostList, wantedAfter;
    } rows[] = {
        {"an error reply", "<zorvane><result code=\"201\"/></zorvane>", both},
        {"a delivered list that lacks beta", ztest::HostListFileXml({{"alpha", "198.51.100.1", "ONLINE", ""}}),
         ztest::UpdateListXml({{"alpha", "ONLINE"}})},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ConfRoot root;
        root.WriteConfig([](CConfigFile& c) { c.SetSelectedMenu(0); });
        root.WriteEtc(L"host_list.xml", row.hostList);
        root.WriteEtc(L"update_list.xml", both);
        RunningConf conf = Start(root);
        ASSERT_TRUE(ClickApplied(root, *conf.window, IDD_PROGRAM_CONFIG, IDC_CHECK_SHOW_SYSTEM_TRAY));
        EXPECT_EQ(root.ReadEtc(L"update_list.xml"), row.wantedAfter);
        conf.window->Close();
        EXPECT_EQ(conf.ExitCode(), 0);
    }
}

TEST_F(ConfTest, HostRefreshThroughZorvaneHostsWithEveryOutcome) {
    ConfRoot root;
    root.WriteConfig([](CConfigFile& c) { c.SetSelectedMenu(0); });
    // No host list yet: nothing to prune the wanted hosts against until a refresh brings one.
    root.WriteEtc(L"update_list.xml", ztest::UpdateListXml({{"alpha", "ONLINE"}, {"gone", "ONLINE"}}));
    const std::wstring prepared = root.Etc(L"prepared.xml");
    ztest::WriteBytes(prepared, ztest::HostListFileXml({{"beta", "198.51.100.2", "OFFLINE", ""},
                                                       {"alpha", "198.51.100.1", "ONLINE", ""}}));
    const ztest::StandInScript::PlacedFiles refreshed = {{prepared, root.Etc(L"host_list.xml")}};
    shared.SetId(L"alice smith");
    shared.SetPassword(L"s3cret");
    RunningConf conf = Start(root);
    ConfWindow& window = *conf.window;
    const ztest::WindowDriver page = window.Page(IDD_HOST_CONFIG);
    const ztest::Worker hosts{root.Bin(L"ZorvaneHosts.exe"), IDD_HOST_CONFIG, IDC_BUTTON_REFRESH,
                              L"host_config/wait_refresh_title", "host_config/wait_refresh_message",
                              " /id:\"alice smith\" /password:s3cret"};
    const std::string failed = "error/title: error/not_connect_server";
    const struct {
        WorkerRow run;
        Strings all, wanted;  // the lists afterwards
    } rows[] = {
        {{"no shared block", WorkerRow::NoBlock, {}, false, failed}, {}, {"alpha", "gone"}},
        {{"an ID the command line cannot carry", WorkerRow::Unpassable, {}, false, failed}, {}, {"alpha", "gone"}},
        {{"701", WorkerRow::Runs, {{701}}, false, failed}, {}, {"alpha", "gone"}},
        {{"0", WorkerRow::Runs, {{0}}, false, failed}, {}, {"alpha", "gone"}},
        {{"cancelled", WorkerRow::Runs, {{700}, {60000}, refreshed}, true, ""}, {}, {"alpha", "gone"}},
        {{"700: both lists refilled, the host the service lacks pruned", WorkerRow::Runs, {{700}, {}, refreshed},
          false, ""},
         {"alpha", "beta"},
         {"alpha"}},
        {{"no program", WorkerRow::Missing, {}, false, failed}, {"alpha", "beta"}, {"alpha"}},
    };
    for (const auto& row : rows) {
        ztest::RunWorkerRow(window, hosts, row.run, shared, L"alice smith", L"s3cret");
        EXPECT_EQ(ztest::RowTexts(page.Control(IDC_LIST_ALL_HOSTS)), row.all) << row.run.name;
        EXPECT_EQ(ztest::RowTexts(page.Control(IDC_LIST_UPDATE_HOSTS)), row.wanted) << row.run.name;
    }
    // The pruned host leaves the file with the next save.
    ztest::ClickCell(window, page.Control(IDC_LIST_ALL_HOSTS), 1, 0);
    ASSERT_TRUE(Applied(root, window, [&] { page.Click(IDC_BUTTON_INSERT); }));
    EXPECT_EQ(root.ReadEtc(L"update_list.xml"), ztest::UpdateListXml({{"alpha", "ONLINE"}, {"beta", "OFFLINE"}}));
    window.Close();
    EXPECT_EQ(conf.ExitCode(), 0);
}

}  // namespace
