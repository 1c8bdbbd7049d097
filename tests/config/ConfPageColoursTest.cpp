// The colours that the host page and the IP page give their list cells when the lists draw, with the pages
// in the test's own process over files of a test root.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "common/datafiles/HostListFile.h"
#include "common/datafiles/UpdateListFile.h"
#include "common/datafiles/UpdateMethodFile.h"
#include "common/language/LangTable.h"
#include "common/settings/ConfigFile.h"
#include "config/pages/ZorvaneHMDlg.h"
#include "config/pages/ZorvaneIMDlg.h"
#include "config/resource.h"
#include "tests/config/ConfPages.h"
#include "tests/config/ConfRoot.h"
#include "tests/support/WorkerRoot.h"

namespace {

constexpr COLORREF kGrey = RGB(200, 200, 200);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kOnline = RGB(255, 70, 20);
constexpr COLORREF kOffline = RGB(140, 145, 140);
constexpr COLORREF kUntouched = RGB(1, 2, 3);

struct Drawn {
    LRESULT result;
    COLORREF text, background;
};

// The page's answer to its list's custom-draw notification of one stage of one cell.
Drawn Draw(HWND page, int listId, DWORD stage, int row, int column) {
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr.hwndFrom = ::GetDlgItem(page, listId);
    draw.nmcd.hdr.idFrom = static_cast<UINT_PTR>(listId);
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = stage;
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
    draw.iSubItem = column;
    draw.clrText = draw.clrTextBk = kUntouched;
    const LRESULT result =
        ::SendMessageW(page, WM_NOTIFY, static_cast<WPARAM>(listId), reinterpret_cast<LPARAM>(&draw));
    return Drawn{result, draw.clrText, draw.clrTextBk};
}

TEST(ConfPageColours, WantedHostsGreyAndStatusTextsInTheirColours) {
    ztest::ConfRoot root;
    root.WriteEtc(L"host_list.xml", ztest::HostListFileXml({{"abc", "198.51.100.1", "ONLINE", ""},
                                                            {"ABCD", "198.51.100.2", "ONLINE", ""},
                                                            {"host9", "198.51.100.9", "OFFLINE", "park"},
                                                            {"OFFLINE", "198.51.100.3", "ONLINE", ""},
                                                            {"host09", "198.51.100.90", "ONLINE", ""},
                                                            {"zeta", "198.51.100.26", "ONLINE", ""}}));
    root.WriteEtc(L"update_list.xml",
                  ztest::UpdateListXml({{"ABCD", "ONLINE"}, {"host9", "OFFLINE"}, {"OFFLINE", "ONLINE"}}));
    ASSERT_TRUE(CConfigFile::GetInstance()->Load(root.Etc(L"config.xml")));  // its internet address: refused
    ASSERT_TRUE(CLangTable::GetInstance()->Load(ztest::SourceDir(), L"english"));
    ASSERT_TRUE(CHostListFile::GetInstance()->Load(root.Etc(L"host_list.xml")));
    ASSERT_TRUE(CUpdateListFile::GetInstance()->Load(root.Etc(L"update_list.xml")));
    ASSERT_TRUE(CUpdateMethodFile::GetInstance()->Load(root.Etc(L"update_method.xml")));

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_INTERNET_CLASSES | ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&controls);
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, L"pages", WS_OVERLAPPEDWINDOW, RECT{0, 0, 600, 600}, nullptr, 0));
    CZorvaneHMDlg hosts(&parent);
    CZorvaneIMDlg ip(&parent);
    ASSERT_TRUE(hosts.Create(CZorvaneHMDlg::IDD, &parent));
    ASSERT_TRUE(ip.Create(CZorvaneIMDlg::IDD, &parent));
    hosts.ShowWindow(SW_SHOW);  // each fills its lists when shown
    ip.ShowWindow(SW_SHOW);
    ASSERT_EQ(ztest::RowTexts(hosts.GetDlgItem(IDC_LIST_ALL_HOSTS)),
              (std::vector<std::string>{"ABCD", "OFFLINE", "abc", "host09", "host9", "zeta"}));
    ASSERT_EQ(ztest::RowTexts(ip.GetDlgItem(IDC_LIST_UPDATE)),
              (std::vector<std::string>{"ABCD | 198.51.100.2 | ONLINE", "OFFLINE | 198.51.100.3 | ONLINE",
                                        "host9 | park | OFFLINE"}));

    const struct {
        const char* name;
        HWND page;
        int list;
        DWORD stage;
        int row, column;
        Drawn drawn;
    } rows[] = {
        {"whole list", hosts, IDC_LIST_ALL_HOSTS, CDDS_PREPAINT, 0, 0,
         {CDRF_NOTIFYSUBITEMDRAW, kUntouched, kUntouched}},
        {"a row", hosts, IDC_LIST_ALL_HOSTS, CDDS_ITEMPREPAINT, 0, 0, {CDRF_NOTIFYSUBITEMDRAW, kUntouched, kUntouched}},
        {"after painting", hosts, IDC_LIST_ALL_HOSTS, CDDS_POSTPAINT, 0, 0, {CDRF_DODEFAULT, kUntouched, kUntouched}},
        {"a wanted host", hosts, IDC_LIST_ALL_HOSTS, CDDS_ITEMPREPAINT | CDDS_SUBITEM, 0, 0, {0, kGrey, kWhite}},
        {"wanted in other letter case", hosts, IDC_LIST_ALL_HOSTS, CDDS_ITEMPREPAINT | CDDS_SUBITEM, 1, 0,
         {0, kGrey, kWhite}},
        {"the start of a wanted host", hosts, IDC_LIST_ALL_HOSTS, CDDS_ITEMPREPAINT | CDDS_SUBITEM, 2, 0,
         {0, kGrey, kWhite}},
        {"not wanted", hosts, IDC_LIST_ALL_HOSTS, CDDS_ITEMPREPAINT | CDDS_SUBITEM, 3, 0, {0, kBlack, kWhite}},
        {"wanted", hosts, IDC_LIST_ALL_HOSTS, CDDS_ITEMPREPAINT | CDDS_SUBITEM, 4, 0, {0, kGrey, kWhite}},
        {"not wanted either", hosts, IDC_LIST_ALL_HOSTS, CDDS_ITEMPREPAINT | CDDS_SUBITEM, 5, 0, {0, kBlack, kWhite}},
        {"update list", ip, IDC_LIST_UPDATE, CDDS_PREPAINT, 0, 0, {CDRF_NOTIFYSUBITEMDRAW, kUntouched, kUntouched}},
        {"an update row", ip, IDC_LIST_UPDATE, CDDS_ITEMPREPAINT, 0, 0,
         {CDRF_NOTIFYSUBITEMDRAW, kUntouched, kUntouched}},
        {"a host", ip, IDC_LIST_UPDATE, CDDS_ITEMPREPAINT | CDDS_SUBITEM, 0, 0, {0, kBlack, kWhite}},
        {"an address", ip, IDC_LIST_UPDATE, CDDS_ITEMPREPAINT | CDDS_SUBITEM, 0, 1, {0, kBlack, kWhite}},
        {"ONLINE", ip, IDC_LIST_UPDATE, CDDS_ITEMPREPAINT | CDDS_SUBITEM, 0, 2, {0, kOnline, kWhite}},
        {"a host named OFFLINE", ip, IDC_LIST_UPDATE, CDDS_ITEMPREPAINT | CDDS_SUBITEM, 1, 0, {0, kOffline, kWhite}},
        {"an offtype", ip, IDC_LIST_UPDATE, CDDS_ITEMPREPAINT | CDDS_SUBITEM, 2, 1, {0, kBlack, kWhite}},
        {"OFFLINE", ip, IDC_LIST_UPDATE, CDDS_ITEMPREPAINT | CDDS_SUBITEM, 2, 2, {0, kOffline, kWhite}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Drawn drawn = Draw(row.page, row.list, row.stage, row.row, row.column);
        EXPECT_EQ(drawn.result, row.drawn.result);
        EXPECT_EQ(drawn.text, row.drawn.text);
        EXPECT_EQ(drawn.background, row.drawn.background);
    }
    parent.DestroyWindow();
}

}  // namespace
