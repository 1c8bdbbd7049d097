// The colours that the host page and the IP page give their list cells when the lists draw, with the pages
// in the test's own process over files of a test root.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
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

constexpr DWORD kCell = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
constexpr char kAsked[] = "20 010203 040506";  // notify the cells, no colours set
constexpr char kGrey[] = "0 c8c8c8 ffffff";     // text and background colour, each BGR
constexpr char kBlack[] = "0 000000 ffffff";
constexpr char kOnline[] = "0 1446ff ffffff";
constexpr char kOffline[] = "0 8c918c ffffff";

// The page's answer to its list's custom-draw notification of one stage of one cell: the result, the text
// colour and the background colour, in hexadecimal.
std::string Draw(HWND page, int listId, DWORD stage, int row, int column) {
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr = NMHDR{::GetDlgItem(page, listId), static_cast<UINT_PTR>(listId), static_cast<UINT>(NM_CUSTOMDRAW)};
    draw.nmcd.dwDrawStage = stage;
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
    draw.iSubItem = column;
    draw.clrText = RGB(3, 2, 1);
    draw.clrTextBk = RGB(6, 5, 4);
    const LRESULT result = ::SendMessageW(page, WM_NOTIFY, listId, reinterpret_cast<LPARAM>(&draw));
    char text[64];
    std::snprintf(text, sizeof(text), "%lx %06lx %06lx", static_cast<unsigned long>(result), draw.clrText,
                  draw.clrTextBk);
    return text;
}

TEST(ConfPageColours, WantedHostsGreyAndStatusTextsInTheirColours) {
    ztest::ConfRoot root;
    root.WriteEtc(L"host_list.xml", ztest::HostListFileXml({{"abc", "198.51.100.1", "ONLINE", ""},
                                                            {"ABCD", "198.51.100.2", "ONLINE", ""},
                                                            {"host9", "198.51.100.9", "OFFLINE", "park"},
                                                            {"OFFLINE", "198.51.100.3", "ONLINE", ""},
                                                            {"host09", "198.51.100.90", "ONLINE", ""}}));
    root.WriteEtc(L"update_list.xml",
                  ztest::UpdateListXml({{"ABCD", "ONLINE"}, {"host9", "OFFLINE"}, {"OFFLINE", "ONLINE"}}));
    ASSERT_TRUE(CConfigFile::GetInstance()->Load(root.Etc(L"config.xml")));  // its internet address: refused
    ASSERT_TRUE(CLangTable::GetInstance()->Load(ztest::SourceDir(), L"english"));
    ASSERT_TRUE(CHostListFile::GetInstance()->Load(root.Etc(L"host_list.xml")));
    ASSERT_TRUE(CUpdateListFile::GetInstance()->Load(root.Etc(L"update_list.xml")));
    ASSERT_TRUE(CUpdateMethodFile::GetInstance()->Load(root.Etc(L"update_method.xml")));
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_INTERNET_CLASSES};
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
              (std::vector<std::string>{"ABCD", "OFFLINE", "abc", "host09", "host9"}));
    ASSERT_EQ(ztest::RowTexts(ip.GetDlgItem(IDC_LIST_UPDATE)),
              (std::vector<std::string>{"ABCD | 198.51.100.2 | ONLINE", "OFFLINE | 198.51.100.3 | ONLINE",
                                        "host9 | park | OFFLINE"}));

    const struct {
        const char* name;
        HWND page;
        int list;
        DWORD stage;
        int row, column;
        const char* drawn;
    } rows[] = {
        {"whole list", hosts, IDC_LIST_ALL_HOSTS, CDDS_PREPAINT, 0, 0, kAsked},
        {"a row", hosts, IDC_LIST_ALL_HOSTS, CDDS_ITEMPREPAINT, 0, 0, kAsked},
        {"after painting", hosts, IDC_LIST_ALL_HOSTS, CDDS_POSTPAINT, 0, 0, "0 010203 040506"},
        {"a wanted host", hosts, IDC_LIST_ALL_HOSTS, kCell, 0, 0, kGrey},
        {"wanted, its name a host's of the list", hosts, IDC_LIST_ALL_HOSTS, kCell, 1, 0, kGrey},
        {"the start of a wanted host in other letter case", hosts, IDC_LIST_ALL_HOSTS, kCell, 2, 0, kGrey},
        {"not wanted", hosts, IDC_LIST_ALL_HOSTS, kCell, 3, 0, kBlack},
        {"wanted", hosts, IDC_LIST_ALL_HOSTS, kCell, 4, 0, kGrey},
        {"update list", ip, IDC_LIST_UPDATE, CDDS_PREPAINT, 0, 0, kAsked},
        {"an update row", ip, IDC_LIST_UPDATE, CDDS_ITEMPREPAINT, 0, 0, kAsked},
        {"a host", ip, IDC_LIST_UPDATE, kCell, 0, 0, kBlack},
        {"an address", ip, IDC_LIST_UPDATE, kCell, 0, 1, kBlack},
        {"ONLINE", ip, IDC_LIST_UPDATE, kCell, 0, 2, kOnline},
        {"a host named OFFLINE", ip, IDC_LIST_UPDATE, kCell, 1, 0, kOffline},
        {"an offtype", ip, IDC_LIST_UPDATE, kCell, 2, 1, kBlack},
        {"OFFLINE", ip, IDC_LIST_UPDATE, kCell, 2, 2, kOffline},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Draw(row.page, row.list, row.stage, row.row, row.column), row.drawn) << row.name;
    }
    parent.DestroyWindow();
}

}  // namespace
