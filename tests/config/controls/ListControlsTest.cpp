// The list controls in the test's own process, under a plain parent window, with keys going through the
// framework's message loop as in a dialog: which click opens which editor and what it shows, how Enter,
// Escape, focus loss, closing the drop-down, a second click and scrolling end an edit and what the parent
// hears, what the cell edit box takes from the clipboard, where the check list takes a click, and where an
// empty list shows its text.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "config/controls/CheckListCtrl.h"
#include "config/controls/ComboListCtrl.h"
#include "config/controls/ListMessages.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestSupport.h"

namespace {

using ztest::U;
using Strings = std::vector<std::string>;

enum Column { kReadOnly, kCombo, kEdit, kEmptyCombo, kNarrow };
constexpr int kListId = 77;

// Gives the combo entries of column kCombo and records what the lists report: each ended edit as
// "<list id> <row>,<column>=<text>", each checked row.
class Parent : public CWnd {
public:
    Strings edited;
    std::vector<int> checked;

protected:
    void DeclareMessageMap(MessageMap& map) override {
        map.OnMessage(UWM_GET_COMBO_ITEMS, &Parent::OnGetComboItems);
        map.OnMessage(UWM_CELL_EDITED, &Parent::OnCellEdited);
        map.OnMessage(UWM_CHECKLIST_CHECKED, &Parent::OnChecked);
    }

private:
    LRESULT OnGetComboItems(WPARAM column, LPARAM entries) {
        if (column == kCombo) *reinterpret_cast<ComboItems*>(entries) = {L"ONLINE", L"OFFLINE"};
        return 1;
    }
    LRESULT OnCellEdited(WPARAM id, LPARAM info) {
        const LVITEMW& item = reinterpret_cast<const NMLVDISPINFOW*>(info)->item;
        edited.push_back(std::to_string(id) + " " + std::to_string(item.iItem) + "," + std::to_string(item.iSubItem) +
                         "=" + U(item.pszText));
        return 1;
    }
    LRESULT OnChecked(WPARAM row, LPARAM) {
        checked.push_back(static_cast<int>(row));
        return 0;
    }
};

// The framework's loop as a dialog runs it: every waiting message through the PreTranslateMessage chain.
void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!CWnd::PreTranslateChain(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

void PressKey(HWND target, WORD key) {
    ::PostMessageW(target, WM_KEYDOWN, key, 1);
    ::PostMessageW(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    Pump();
}

// This thread's GetKeyState of a key.
void HoldKey(BYTE key, bool down) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[key] = down ? 0x80 : 0;
    ::SetKeyboardState(keys);
}

HWND ComboWindow() { return CInPlaceCombo::GetInstance()->m_hWnd; }
HWND EditWindow() { return CInPlaceEdit::GetInstance()->m_hWnd; }

class ListControls : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&controls);
        ASSERT_TRUE(parent.CreateEx(0, nullptr, L"list controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                    RECT{0, 0, 700, 300}, nullptr, 0));
        ASSERT_TRUE(MakeList(list, kListId, RECT{10, 10, 560, 150}, LVS_REPORT | LVS_SINGLESEL));
        const int widths[] = {100, 100, 100, 100, 8};
        for (int column = kReadOnly; column <= kNarrow; ++column) {
            list.InsertColumn(column, L"", LVCFMT_LEFT, widths[column]);
        }
        list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
        list.AddReadOnlyColumn(kReadOnly);
        for (int column : {kCombo, kEmptyCombo, kNarrow}) list.AddComboColumn(column);
        const wchar_t* rows[][3] = {{L"alpha", L"online", L"first"}, {L"beta", L"OFF", L"second"},
                                    {L"gamma", L"gone", L"third"}};
        for (int row = 0; row < 3; ++row) {
            list.InsertItem(row, rows[row][0]);
            for (int column = kCombo; column <= kEdit; ++column) list.SetItemText(row, column, rows[row][column]);
        }
        Pump();
    }
    void TearDown() override {
        parent.DestroyWindow();
        Pump();
    }

    template <class List>
    bool MakeList(List& control, int id, const RECT& r, DWORD style) {
        HWND hwnd = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | WS_BORDER | style, r.left, r.top,
                                      r.right - r.left, r.bottom - r.top, parent.m_hWnd,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        return hwnd && control.SubclassWindow(hwnd);
    }
    POINT CellCentre(int row, int column) const {
        RECT cell{};
        list.GetSubItemRect(row, column, LVIR_BOUNDS, &cell);
        if (column == 0) cell.right = cell.left + list.GetColumnWidth(0);
        return POINT{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    }
    // A click as the mouse sends it; `up` false leaves the button down.
    void ClickCell(int row, int column, bool up = true) {
        const POINT at = CellCentre(row, column);
        list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        if (up) list.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        Pump();
    }

    Parent parent;
    CComboListCtrl list;
};

enum End { kNone, kEnter, kEscape, kElsewhere, kScroll, kCloseUp };

TEST_F(ListControls, AClickOpensTheEditorOfItsColumnAndItsEndReportsTheCell) {
    HWND elsewhere = ::CreateWindowExW(0, WC_BUTTONW, L"", WS_CHILD | WS_VISIBLE, 600, 10, 50, 20, parent.m_hWnd,
                                       nullptr, nullptr, nullptr);
    const struct {
        const char* name;
        int row, column;
        BYTE held;
        const char* opens;  // "combo", "edit" or ""
        Strings entries;    // of the combo
        int selected;       // its entry chosen: the first that begins with the cell's text
        WORD key;           // pressed in it
        const wchar_t* typed;
        End end;
        const char* edited;  // what the parent hears and the cell holds
    } rows[] = {
        {"combo at once on a row not focused before; Down, Enter", 0, kCombo, 0, "combo", {"ONLINE", "OFFLINE"}, 0,
         VK_DOWN, nullptr, kEnter, "77 0,1=OFFLINE"},
        {"an entry that begins so in other letter case; Up, Escape keeps the start", 1, kCombo, 0, "combo",
         {"ONLINE", "OFFLINE"}, 1, VK_UP, nullptr, kEscape, "77 1,1=OFF"},
        {"no entry begins so; the focus elsewhere leaves it empty", 2, kCombo, 0, "combo", {"ONLINE", "OFFLINE"}, -1, 0,
         nullptr, kElsewhere, "77 2,1="},
        {"the drop-down closes", 0, kCombo, 0, "combo", {"ONLINE", "OFFLINE"}, 1, 0, nullptr, kCloseUp,
         "77 0,1=OFFLINE"},
        {"Up, then the list scrolls", 0, kCombo, 0, "combo", {"ONLINE", "OFFLINE"}, 1, VK_UP, nullptr, kScroll,
         "77 0,1=ONLINE"},
        {"a parent that gives no entries", 1, kEmptyCombo, 0, "combo", {}, -1, 0, nullptr, kEnter, "77 1,3="},
        {"edit box, typed over the whole text; Enter", 0, kEdit, 0, "edit", {}, -1, 0, L"new", kEnter, "77 0,2=new"},
        {"edit box; Escape keeps the start", 1, kEdit, 0, "edit", {}, -1, 0, L"lost", kEscape, "77 1,2=second"},
        {"edit box; the list scrolls", 2, kEdit, 0, "edit", {}, -1, 0, L"kept", kScroll, "77 2,2=kept"},
        {"read-only", 1, kReadOnly, 0, "", {}, -1, 0, nullptr, kNone, nullptr},
        {"narrower than 10 pixels", 1, kNarrow, 0, "", {}, -1, 0, nullptr, kNone, nullptr},
        {"Shift held: the selection only", 2, kEdit, VK_SHIFT, "", {}, -1, 0, nullptr, kNone, nullptr},
        {"Ctrl held: the selection only", 0, kCombo, VK_CONTROL, "", {}, -1, 0, nullptr, kNone, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        parent.edited.clear();
        const std::wstring before = list.GetItemText(row.row, row.column);
        if (row.held) HoldKey(row.held, true);
        ClickCell(row.row, row.column);
        if (row.held) HoldKey(row.held, false);
        EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED | LVNI_FOCUSED), row.row) << "the row selected and focused";
        const std::string opens = ComboWindow() ? "combo" : EditWindow() ? "edit" : "";
        ASSERT_EQ(opens, row.opens);
        HWND editor = ::GetFocus();
        if (opens == "combo") {
            EXPECT_EQ(editor, ComboWindow());
            Strings entries;
            for (int i = 0; i < CInPlaceCombo::GetInstance()->GetCount(); ++i) {
                entries.push_back(U(CInPlaceCombo::GetInstance()->GetLBText(i)));
            }
            EXPECT_EQ(entries, row.entries);
            EXPECT_EQ(CInPlaceCombo::GetInstance()->GetCurSel(), row.selected);
        } else if (opens == "edit") {
            EXPECT_EQ(editor, EditWindow());
            DWORD start = 1, end = 0;
            ::SendMessageW(editor, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            EXPECT_EQ(start, 0u);
            EXPECT_EQ(end, before.size()) << "the whole text selected";
        }
        if (row.key) PressKey(editor, row.key);
        for (const wchar_t* c = row.typed; c && *c; ++c) ::PostMessageW(editor, WM_CHAR, *c, 1);
        Pump();
        switch (row.end) {
            case kEnter: PressKey(editor, VK_RETURN); break;
            case kEscape: PressKey(editor, VK_ESCAPE); break;
            case kElsewhere: ::SetFocus(elsewhere); break;
            case kScroll: list.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0); break;
            case kCloseUp:
                ::SendMessageW(editor, CB_SHOWDROPDOWN, TRUE, 0);
                ::SendMessageW(editor, CB_SHOWDROPDOWN, FALSE, 0);
                break;
            case kNone: break;
        }
        Pump();
        EXPECT_EQ(parent.edited, row.edited ? Strings{row.edited} : Strings{});
        const std::string cell = row.edited ? std::string(row.edited).substr(7) : U(before);
        EXPECT_EQ(U(list.GetItemText(row.row, row.column)), cell);
        EXPECT_EQ(ComboWindow(), nullptr) << "the editor's window stays";
        EXPECT_EQ(EditWindow(), nullptr);
    }

    // A click outside every cell is dropped: the selection stays.
    list.SetFocus();
    list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 120));
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 0);
}

TEST_F(ListControls, AClickWhileAnEditIsOpenEndsItAndOpensNothingTheNextClickDoes) {
    ClickCell(0, kCombo);
    HWND first = ComboWindow();
    ASSERT_NE(first, nullptr);
    // Handled before the editor's own closing message, as a mouse click is.
    ClickCell(1, kCombo, false);
    EXPECT_EQ(parent.edited, Strings{"77 0,1=ONLINE"});
    EXPECT_EQ(ComboWindow(), nullptr) << "the second click opened something";
    EXPECT_FALSE(::IsWindow(first));
    ClickCell(1, kCombo);
    EXPECT_NE(ComboWindow(), nullptr) << "the next click opens nothing";
    EXPECT_EQ(CInPlaceCombo::GetInstance()->Row(), 1);
}

TEST_F(ListControls, APasteTakesWhatTheAllowedCharactersTake) {
    const struct {
        const wchar_t* allowed;
        const char* clipboard;
        const char* text;  // of the edit box afterwards
    } rows[] = {
        {L"", "a,b c", "a,b c"},  // no allowed characters: not filtered, as typing is not
        {L"0123456789.", "10.5", "10.5"},
        {L"0123456789.", "10a5", "second"},  // one character not allowed: refused
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.clipboard);
        list.SetAllowedCharacters(row.allowed);
        ASSERT_TRUE(::OpenClipboard(parent.m_hWnd));
        ::EmptyClipboard();
        HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, std::strlen(row.clipboard) + 1);
        std::strcpy(static_cast<char*>(::GlobalLock(memory)), row.clipboard);
        ::GlobalUnlock(memory);
        ::SetClipboardData(CF_TEXT, memory);
        ::CloseClipboard();
        ClickCell(1, kEdit);
        ASSERT_NE(EditWindow(), nullptr);
        ::SendMessageW(EditWindow(), WM_PASTE, 0, 0);  // over the selected starting text
        EXPECT_EQ(U(CInPlaceEdit::GetInstance()->GetWindowText()), row.text);
        PressKey(EditWindow(), VK_ESCAPE);
    }
}

TEST_F(ListControls, TheCheckListTakesAClickOnTheBoxOfACheckableRowOnly) {
    CCheckListCtrl checks;
    ASSERT_TRUE(MakeList(checks, 78, RECT{10, 160, 560, 280}, LVS_REPORT | LVS_SINGLESEL));
    checks.InsertColumn(0, L"ip", LVCFMT_LEFT, 130);
    checks.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    for (int row = 0; row < 3; ++row) {
        checks.InsertItem(row, L"row");
        checks.SetItemData(row, row == 1 ? 0 : 1);  // row 1 takes no check
    }
    constexpr int kSpace = -1;  // Space with the row focused instead of a click
    const struct {
        int row, x;
        const char* checked;  // the rows' checks afterwards
        std::vector<int> posted;
    } rows[] = {
        {0, 2, "---", {}},  {0, 3, "x--", {0}},  {2, 22, "--x", {2}},  // the box spans x 3 to 22
        {2, 22, "--x", {2}},                                            // checked already: posted again
        {0, 23, "--x", {}}, {1, 10, "--x", {}},                         // item data 0
        {0, kSpace, "x--", {0}}, {1, kSpace, "x--", {}},                // Space checks as a click does
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("row " + std::to_string(row.row) + " at x " + std::to_string(row.x));
        parent.checked.clear();
        if (row.x == kSpace) {
            checks.SetItemState(row.row, LVIS_FOCUSED, LVIS_FOCUSED);
            checks.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
            checks.SendMessage(WM_CHAR, L' ', 0);
            checks.SendMessage(WM_KEYUP, VK_SPACE, 0);
        } else {
            RECT bounds{};
            checks.GetItemRect(row.row, &bounds, LVIR_BOUNDS);
            const LPARAM at = MAKELPARAM(row.x, (bounds.top + bounds.bottom) / 2);
            checks.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
            checks.SendMessage(WM_LBUTTONUP, 0, at);
        }
        Pump();
        std::string checked;
        for (int i = 0; i < 3; ++i) checked += checks.GetCheck(i) ? "x" : "-";
        EXPECT_EQ(checked, row.checked);
        EXPECT_EQ(parent.checked, row.posted);
        EXPECT_EQ(checks.GetNextItem(-1, LVNI_SELECTED), -1) << "a click never selects";
    }
}

// What a list shows: its client area on the screen.
ztest::Pixels Shown(const CComboListCtrl& shown) {
    shown.RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Pump();
    RECT client = shown.GetClientRect();
    ::MapWindowPoints(shown.m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return ztest::CaptureScreen(client);
}

TEST_F(ListControls, TheEmptyListTextShowsBelowTheHeaderOfAListWithoutRows) {
    CComboListCtrl empty;
    ASSERT_TRUE(MakeList(empty, 79, RECT{10, 160, 410, 280}, LVS_REPORT));
    empty.InsertColumn(0, L"host", LVCFMT_LEFT, 200);
    ::SetWindowPos(parent.m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    const ztest::Pixels blank = Shown(empty);
    empty.SetEmptyListText(L"There is no host to update.");
    const ztest::Pixels texted = Shown(empty);
    ASSERT_EQ(texted.data.size(), blank.data.size());
    int top = texted.height, left = texted.width, right = -1;
    for (size_t i = 0; i < texted.data.size(); ++i) {
        if (texted.data[i] == blank.data[i]) continue;
        const int x = static_cast<int>(i % texted.width), y = static_cast<int>(i / texted.width);
        top = std::min(top, y);
        left = std::min(left, x);
        right = std::max(right, x);
    }
    RECT header{};
    ::GetWindowRect(empty.GetHeaderCtrl(), &header);
    ASSERT_GE(right, 0) << "no text drawn";
    EXPECT_GE(top - (header.bottom - header.top), 10) << "10 pixels below the header";
    EXPECT_LE(top - (header.bottom - header.top), 14);
    EXPECT_LE(std::abs((left + right) / 2 - texted.width / 2), 2) << "not centred";
    empty.InsertItem(0, L"host1");
    const ztest::Pixels withRow = Shown(empty);
    empty.SetEmptyListText(L"");
    EXPECT_EQ(ztest::DifferingPixels(Shown(empty), withRow), 0u) << "drawn over a row";
}

}  // namespace
