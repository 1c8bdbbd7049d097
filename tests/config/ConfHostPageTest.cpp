// The host page of the real ZorvaneConf: both lists from the files in natural order, the pruning of wanted
// hosts the service no longer lists, Insert and Delete with their bytes in update_list.xml, the grey of the
// wanted hosts, and the host-list refresh through a stand-in ZorvaneHosts with every outcome.
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
#include "tests/support/WorkerRoot.h"

namespace {

using ztest::ConfRoot;
using ztest::ConfTest;
using ztest::ConfWindow;
using ztest::RunningConf;
using ztest::U;
using Strings = std::vector<std::string>;

constexpr wchar_t kWaitCaption[] = L"host_config/wait_refresh_title";

TEST_F(ConfTest, HostPageListsInsertAndDelete) {
    ConfRoot root;
    root.WriteConfig([](CConfigFile& c) { c.SetSelectedMenu(0); });
    root.WriteEtc(L"host_list.xml", ztest::HostListFileXml({{"host10", "198.51.100.10", "ONLINE", ""},
                                                            {"host9", "198.51.100.9", "OFFLINE", ""},
                                                            {"zeta", "198.51.100.26", "OFFLINE", ""},
                                                            {"host09", "198.51.100.90", "ONLINE", ""},
                                                            {"abc", "198.51.100.1", "ONLINE", ""},
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

    const struct {
        int id;
        const char* text;
    } texts[] = {
        {IDC_BUTTON_INSERT, "general/insert >>>"},
        {IDC_BUTTON_DELETE, "<<< general/delete"},
        {IDC_GROUP_HOST_LISTS, "host_config/title"},
        {IDC_STATIC_ALL_HOSTS, "host_config/all_host_list_title"},
        {IDC_STATIC_UPDATE_HOSTS, "host_config/update_host_list_title"},
        {IDC_GROUP_HOST_DESCRIPTION, "host_config/description_title"},
        {IDC_STATIC_HOST_DESCRIPTION, "host_config/description"},
        {IDC_BUTTON_REFRESH, "host_config/refresh_host_list"},
    };
    for (const auto& text : texts) EXPECT_EQ(U(page.Text(text.id)), text.text) << text.id;
    for (HWND list : {all, wanted}) EXPECT_EQ(ztest::ListHeadings(list), std::vector<std::wstring>{L"general/host"});

    // Natural order, capitals first; the host the service no longer lists is gone from the page, and from the
    // file only with the next save.
    EXPECT_EQ(ztest::RowTexts(all), (Strings{"ABCD", "abc", "host09", "host9", "host10", "zeta"}));
    EXPECT_EQ(ztest::RowTexts(wanted), (Strings{"ABCD", "host9"}));
    EXPECT_EQ(root.ReadEtc(L"update_list.xml"), wantedBefore);

    // Insert and Delete follow the focus; with nothing selected they only ask for a selection.
    EXPECT_FALSE(page.Enabled(IDC_BUTTON_INSERT));
    EXPECT_FALSE(page.Enabled(IDC_BUTTON_DELETE));
    ztest::ClickCell(window, wanted, 0, 0);
    EXPECT_EQ(page.FocusId(), IDC_LIST_UPDATE_HOSTS);
    EXPECT_TRUE(page.Enabled(IDC_BUTTON_DELETE));
    EXPECT_FALSE(page.Enabled(IDC_BUTTON_INSERT));
    ztest::ClickCell(window, all, 0, 0);
    EXPECT_EQ(page.FocusId(), IDC_LIST_ALL_HOSTS);
    EXPECT_TRUE(page.Enabled(IDC_BUTTON_INSERT));
    EXPECT_FALSE(page.Enabled(IDC_BUTTON_DELETE));
    ASSERT_TRUE(ztest::SetListItemState(all, -1, 0, LVIS_SELECTED));
    EXPECT_FALSE(Applied(root, window, [&] {
        page.Click(IDC_BUTTON_INSERT, false);
        EXPECT_EQ(ztest::WaitForBox(window, L""), "information/title: information/select_host");
        EXPECT_TRUE(ztest::CloseBox(window));
    }, 0)) << "nothing to apply";

    // Three hosts, one wanted already: the two others join with the service's status, in one apply.
    for (int row : {3, 4, 5}) ASSERT_TRUE(ztest::SetListItemState(all, row, LVIS_SELECTED, LVIS_SELECTED));
    ASSERT_TRUE(Applied(root, window, [&] { page.Click(IDC_BUTTON_INSERT); }));
    EXPECT_FALSE(Applied(root, window, [] {}, 0)) << "a second apply";
    EXPECT_EQ(root.ReadEtc(L"update_list.xml"),
              ztest::UpdateListXml(
                  {{"ABCD", "ONLINE"}, {"host9", "OFFLINE"}, {"zeta", "OFFLINE"}, {"host10", "ONLINE"}}));
    EXPECT_EQ(ztest::RowTexts(wanted), (Strings{"ABCD", "host9", "host10", "zeta"}));
    EXPECT_EQ(page.FocusId(), IDC_LIST_ALL_HOSTS);

    // Two rows deleted at once, whatever their order; their hosts lose the grey.
    ztest::ClickCell(window, wanted, 3, 0);
    ASSERT_TRUE(ztest::SetListItemState(wanted, 1, LVIS_SELECTED, LVIS_SELECTED));
    ASSERT_TRUE(Applied(root, window, [&] { page.Click(IDC_BUTTON_DELETE); }));
    EXPECT_EQ(root.ReadEtc(L"update_list.xml"), ztest::UpdateListXml({{"ABCD", "ONLINE"}, {"host10", "ONLINE"}}));
    EXPECT_EQ(ztest::RowTexts(wanted), (Strings{"ABCD", "host10"}));
    EXPECT_EQ(page.FocusId(), IDC_LIST_UPDATE_HOSTS);
    window.Close();
    EXPECT_EQ(conf.ExitCode(), 0);
}

}  // namespace

TEST_F(ConfTest, HostRefreshThroughZorvaneHostsWithEveryOutcome) {
    ConfRoot root;
    root.WriteConfig([](CConfigFile& c) { c.SetSelectedMenu(0); });
    // No host list yet: nothing to prune the wanted hosts against until a refresh brings one.
    root.WriteEtc(L"update_list.xml", ztest::UpdateListXml({{"alpha", "ONLINE"}, {"gone", "ONLINE"}}));
    const std::wstring prepared = root.Etc(L"prepared.xml");
    ztest::WriteBytes(prepared, ztest::HostListFileXml({{"beta", "198.51.100.2", "OFFLINE", ""},
                                                       {"alpha", "198.51.100.1", "ONLINE", ""}}));
    shared.SetId(L"alice smith");
    shared.SetPassword(L"s3cret");
    RunningConf conf = Start(root);
    ConfWindow& window = *conf.window;
    const ztest::WindowDriver page = window.Page(IDD_HOST_CONFIG);
    const HWND all = page.Control(IDC_LIST_ALL_HOSTS);
    const HWND wanted = page.Control(IDC_LIST_UPDATE_HOSTS);
    const std::wstring hosts = root.Bin(L"ZorvaneHosts.exe");

    enum Start { NoBlock, Unpassable, Runs, Missing };
    const std::string notConnected = "error/title: error/not_connect_server";
    const struct {
        const char* name;
        Start start;
        long long exitCode;
        unsigned delayMs;
        bool leavesHostList;
        bool cancel;
        std::string box;  // "" none
        Strings all, wanted;
    } rows[] = {
        {"no shared block: nothing started", NoBlock, 0, 0, false, false, notConnected, {}, {"alpha", "gone"}},
        {"an ID the command line cannot carry: nothing started", Unpassable, 0, 0, false, false, notConnected, {},
         {"alpha", "gone"}},
        {"701", Runs, 701, 0, false, false, notConnected, {}, {"alpha", "gone"}},
        {"0", Runs, 0, 0, false, false, notConnected, {}, {"alpha", "gone"}},
        {"cancelled: the updater is ended, nothing reported", Runs, 700, 60000, true, true, "", {}, {"alpha", "gone"}},
        {"700 with the service's list: both lists refilled, the host it lacks pruned", Runs, 700, 0, true, false, "",
         {"alpha", "beta"}, {"alpha"}},
        {"no program", Missing, 0, 0, false, false, notConnected, {"alpha", "beta"}, {"alpha"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ztest::StandInScript script({row.exitCode}, {row.delayMs});
        if (row.leavesHostList) script.placedFiles = {{prepared, root.Etc(L"host_list.xml")}};
        ztest::InstallStandIn(hosts, script);
        UniqueHandle taken;
        if (row.start == NoBlock) {
            shared.Close();
            taken.reset(::CreateMutexW(nullptr, FALSE, kSharedUserDataName));  // the name is taken
        } else if (row.start == Unpassable) {
            shared.SetId(L"bo\"b x");
        } else if (row.start == Missing) {
            ASSERT_TRUE(::DeleteFileW(hosts.c_str()));
        }

        page.Click(IDC_BUTTON_REFRESH, false);
        std::vector<ztest::StandInRun> runs;
        if (row.start == Runs) {
            ASSERT_TRUE(ztest::WaitForStandInRuns(hosts, 1));
            runs = ztest::StandInRuns(hosts);
            EXPECT_EQ(U(runs[0].commandLine), " /id:\"alice smith\" /password:s3cret");
            EXPECT_EQ(runs[0].startFlags, static_cast<unsigned long>(STARTF_FORCEOFFFEEDBACK | STARTF_USESHOWWINDOW));
        }
        if (row.cancel) {
            HWND wait = nullptr;
            ASSERT_TRUE(ztest::WaitFor([&] { return (wait = window.FindBox()) != nullptr; }));
            EXPECT_EQ(ztest::WindowText(wait), kWaitCaption);
            EXPECT_EQ(U(ztest::WindowText(::GetDlgItem(wait, 1028))), "host_config/wait_refresh_message");
            EXPECT_TRUE(ConfWindow::Answer(wait, IDCANCEL));
            EXPECT_TRUE(ztest::RunEnded(runs[0])) << "ZorvaneHosts left running";
        }
        if (row.box.empty()) {
            EXPECT_TRUE(ztest::WaitGone(window, kWaitCaption));
            EXPECT_EQ(window.FindBox(), nullptr) << "a box showed";
        } else {
            EXPECT_EQ(ztest::WaitForBox(window, kWaitCaption), row.box);
            EXPECT_TRUE(ztest::CloseBox(window));
            EXPECT_TRUE(ztest::WaitGone(window, kWaitCaption));
        }
        EXPECT_EQ(ztest::RowTexts(all), row.all);
        EXPECT_EQ(ztest::RowTexts(wanted), row.wanted);
        if (row.start != Runs) {
            EXPECT_TRUE(ztest::StandInRuns(hosts).empty()) << "something started";
        }

        taken.reset();
        ASSERT_TRUE(shared.Open());
        shared.SetId(L"alice smith");
        shared.SetPassword(L"s3cret");
    }

    // The pruned host leaves the file with the next save.
    ztest::ClickCell(window, all, 1, 0);
    ASSERT_TRUE(Applied(root, window, [&] { page.Click(IDC_BUTTON_INSERT); }));
    EXPECT_EQ(root.ReadEtc(L"update_list.xml"), ztest::UpdateListXml({{"alpha", "ONLINE"}, {"beta", "OFFLINE"}}));
    window.Close();
    EXPECT_EQ(conf.ExitCode(), 0);
}
