// The list controls in the test's own process, under a plain parent window, with keys going through the
// framework's message loop as in a dialog: which click opens which editor, what each editor shows, how Enter,
// Escape, focus loss, a second click and scrolling end an edit and what the parent then hears, what the cell
// edit box takes from the clipboard, where the check list takes a click, what a link column opens, and where an
// empty list shows its text.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/framework/Controls.h"
#include "config/controls/CheckListCtrl.h"
#include "config/controls/ComboListCtrl.h"
#include "config/controls/InPlaceCombo.h"
#include "config/controls/InPlaceEdit.h"
#include "config/controls/ListMessages.h"
#include "tests/support/ProcessSupport.h"
#include "tests/support/Screenshot.h"
#include "tests/support/ShellHandler.h"
#include "tests/support/TestSupport.h"

namespace {

using ztest::U;

constexpr int kListId = 77;
constexpr int kComboColumn = 1;
constexpr int kEditColumn = 2;
constexpr int kEmptyComboColumn = 3;
constexpr int kNarrowColumn = 4;
constexpr int kLinkColumn = 5;

// What the parent heard of an ended edit.
struct Edited {
    int listId, row, column;
    std::string text;
    bool operator==(const Edited& o) const {
        return listId == o.listId && row == o.row && column == o.column && text == o.text;
    }
};

std::ostream& operator<<(std::ostream& out, const Edited& e) {
    return out << "{" << e.listId << ", " << e.row << ", " << e.column << ", \"" << e.text << "\"}";
}

// The parent of the lists: gives the combo entries per column and records what the lists report.
class Parent : public CWnd {
public:
    std::vector<Edited> edited;
    std::vector<int> checked;

protected:
    void DeclareMessageMap(MessageMap& map) override {
        CWnd::DeclareMessageMap(map);
        map.OnMessage(UWM_GET_COMBO_ITEMS, &Parent::OnGetComboItems);
        map.OnMessage(UWM_CELL_EDITED, &Parent::OnCellEdited);
        map.OnMessage(UWM_CHECKLIST_CHECKED, &Parent::OnChecked);
    }

private:
    LRESULT OnGetComboItems(WPARAM column, LPARAM entries) {
        if (column == kComboColumn) *reinterpret_cast<ComboItems*>(entries) = {L"ONLINE", L"OFFLINE"};
        return 1;
    }
    LRESULT OnCellEdited(WPARAM id, LPARAM info) {
        const auto* edit = reinterpret_cast<const NMLVDISPINFOW*>(info);
        edited.push_back({static_cast<int>(id), edit->item.iItem, edit->item.iSubItem, U(edit->item.pszText)});
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

// Holds a key down for this thread's GetKeyState while the object lives; key 0 holds none.
class HeldKey {
public:
    explicit HeldKey(BYTE key) : m_key(key) { Set(0x80); }
    ~HeldKey() { Set(0); }

private:
    void Set(BYTE state) {
        if (m_key == 0) return;
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[m_key] = state;
        ::SetKeyboardState(keys);
    }
    BYTE m_key;
};

HWND ComboWindow() { return CInPlaceCombo::GetInstance()->m_hWnd; }
HWND EditWindow() { return CInPlaceEdit::GetInstance()->m_hWnd; }

std::vector<std::string> ComboEntries() {
    std::vector<std::string> entries;
    const CInPlaceCombo* combo = CInPlaceCombo::GetInstance();
    for (int i = 0; i < combo->GetCount(); ++i) entries.push_back(U(combo->GetLBText(i)));
    return entries;
}

class ListControls : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&controls);
        ASSERT_TRUE(parent.CreateEx(0, nullptr, L"list controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                    RECT{0, 0, 700, 300}, nullptr, 0));
        list.m_hWnd = nullptr;
        ASSERT_TRUE(MakeList(list, kListId, RECT{10, 10, 560, 150}, LVS_REPORT | LVS_SINGLESEL));
        const int widths[] = {100, 100, 100, 100, 8, 100};
        for (int column = 0; column < 6; ++column) {
            list.InsertColumn(column, L"c" + std::to_wstring(column), LVCFMT_LEFT, widths[column]);
        }
        list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
        list.AddReadOnlyColumn(0);
        list.AddComboColumn(kComboColumn);
        list.AddComboColumn(kEmptyComboColumn);
        list.AddComboColumn(kNarrowColumn);
        list.AddLinkColumn(kLinkColumn);
        const wchar_t* rows[][6] = {{L"alpha", L"online", L"first", L"x", L"n", L" \tone.example"},
                                    {L"beta", L"OFF", L"second", L"y", L"n", L"two.example"},
                                    {L"gamma", L"gone", L"third", L"z", L"n", L"three.example"}};
        for (int row = 0; row < 3; ++row) {
            list.InsertItem(row, rows[row][0]);
            for (int column = 1; column < 6; ++column) list.SetItemText(row, column, rows[row][column]);
        }
        Pump();
    }
    void TearDown() override {
        Pump();
        parent.DestroyWindow();
        Pump();
    }

    template <class List>
    bool MakeList(List& control, int id, const RECT& rect, DWORD style) {
        HWND hwnd = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | WS_BORDER | style, rect.left,
                                      rect.top, rect.right - rect.left, rect.bottom - rect.top, parent.m_hWnd,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        return hwnd && control.SubclassWindow(hwnd);
    }

    // A click in the middle of a cell, as the mouse sends it.
    POINT CellCentre(int row, int column) const {
        RECT cell{};
        list.GetSubItemRect(row, column, LVIR_BOUNDS, &cell);
        if (column == 0) cell.right = cell.left + list.GetColumnWidth(0);
        return POINT{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    }
    void Click(POINT point, UINT flags = MK_LBUTTON) {
        list.SendMessage(WM_LBUTTONDOWN, flags, MAKELPARAM(point.x, point.y));
        list.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
        Pump();
    }
    void ClickCell(int row, int column) { Click(CellCentre(row, column)); }

    Parent parent;
    CComboListCtrl list;
};

TEST_F(ListControls, AClickOnACellOpensTheEditorOfItsColumn) {
    enum class Opens { Nothing, Combo, Edit };
    const struct {
        const char* name;
        int row, column;
        bool shift, control;
        Opens opens;
        std::vector<std::string> entries;  // of the combo
        int selected;                      // its entry selected: the first that begins with the cell's text
        std::string editText;
    } rows[] = {
        {"combo column, at once on a row not focused before", 0, kComboColumn, false, false, Opens::Combo,
         {"ONLINE", "OFFLINE"}, 0, ""},
        {"read-only column", 1, 0, false, false, Opens::Nothing, {}, -1, ""},
        {"combo column, a prefix in other letter case", 1, kComboColumn, false, false, Opens::Combo,
         {"ONLINE", "OFFLINE"}, 1, ""},
        {"combo column, a text no entry begins with", 2, kComboColumn, false, false, Opens::Combo,
         {"ONLINE", "OFFLINE"}, -1, ""},
        {"combo column whose parent gives no entries", 1, kEmptyComboColumn, false, false, Opens::Combo, {}, -1, ""},
        {"a column narrower than 10 pixels", 1, kNarrowColumn, false, false, Opens::Nothing, {}, -1, ""},
        {"any other column: the edit box", 2, kEditColumn, false, false, Opens::Edit, {}, -1, "third"},
        {"Shift held: only the selection", 1, kEditColumn, true, false, Opens::Nothing, {}, -1, ""},
        {"Ctrl held: only the selection", 0, kComboColumn, false, true, Opens::Nothing, {}, -1, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        {
            HeldKey shift(row.shift ? VK_SHIFT : 0);
            HeldKey control(row.control ? VK_CONTROL : 0);
            ClickCell(row.row, row.column);
        }
        EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), row.row) << "the click selects the row";
        EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), row.row);
        EXPECT_EQ(ComboWindow() != nullptr, row.opens == Opens::Combo);
        EXPECT_EQ(EditWindow() != nullptr, row.opens == Opens::Edit);
        if (row.opens == Opens::Combo) {
            EXPECT_EQ(::GetFocus(), ComboWindow());
            EXPECT_EQ(::GetParent(ComboWindow()), list.m_hWnd);
            EXPECT_EQ(ComboEntries(), row.entries);
            EXPECT_EQ(CInPlaceCombo::GetInstance()->GetCurSel(), row.selected);
        }
        if (row.opens == Opens::Edit) {
            EXPECT_EQ(::GetFocus(), EditWindow());
            EXPECT_EQ(U(CInPlaceEdit::GetInstance()->GetWindowText()), row.editText);
            DWORD start = 1, end = 0;
            ::SendMessageW(EditWindow(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            EXPECT_EQ(start, 0u);
            EXPECT_EQ(end, row.editText.size()) << "the whole text selected";
        }
        list.SetFocus();  // ends any edit
        Pump();
        EXPECT_EQ(ComboWindow(), nullptr) << "the editor's window closed";
        EXPECT_EQ(EditWindow(), nullptr);
    }

    // Outside every cell the click is dropped: the selection stays and no editor opens.
    ClickCell(1, kEditColumn);
    list.SetFocus();
    Pump();
    parent.edited.clear();
    Click(POINT{20, 120});
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
    EXPECT_EQ(EditWindow(), nullptr);
    EXPECT_TRUE(parent.edited.empty());
}

// How an edit is ended.
enum End { Key, FocusElsewhere, Scroll, CloseUp };

TEST_F(ListControls, AnEditEndsWithItsFocusAndTellsTheParentWhatTheCellNowHolds) {
    const struct {
        const char* name;
        int row, column;
        std::vector<WORD> keys;  // pressed in the editor
        const wchar_t* typed;    // typed into the edit box first
        End end;
        WORD endKey;
        std::string text;  // reported and left in the cell
    } rows[] = {
        {"combo: Down, then Enter", 0, kComboColumn, {VK_DOWN}, nullptr, Key, VK_RETURN, "OFFLINE"},
        {"combo: Up, then Escape keeps the starting text", 0, kComboColumn, {VK_UP}, nullptr, Key, VK_ESCAPE,
         "OFFLINE"},
        {"combo: Up, then the focus elsewhere", 1, kComboColumn, {VK_UP}, nullptr, FocusElsewhere, 0, "ONLINE"},
        {"combo: the drop-down closes", 1, kComboColumn, {}, nullptr, CloseUp, 0, "ONLINE"},
        {"combo without a matching entry, Enter: the empty text", 2, kComboColumn, {}, nullptr, Key, VK_RETURN, ""},
        {"edit box: typed, then Enter", 0, kEditColumn, {}, L"new", Key, VK_RETURN, "new"},
        {"edit box: typed, then Escape keeps the starting text", 1, kEditColumn, {}, L"lost", Key, VK_ESCAPE,
         "second"},
        {"edit box: typed, then the list scrolls", 2, kEditColumn, {}, L"kept", Scroll, 0, "kept"},
        {"combo: Up, then the list scrolls", 0, kComboColumn, {VK_UP}, nullptr, Scroll, 0, "ONLINE"},
    };
    HWND other = ::CreateWindowExW(0, WC_BUTTONW, L"", WS_CHILD | WS_VISIBLE, 600, 10, 50, 20, parent.m_hWnd, nullptr,
                                   nullptr, nullptr);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        parent.edited.clear();
        ClickCell(row.row, row.column);
        HWND editor = row.column == kComboColumn ? ComboWindow() : EditWindow();
        ASSERT_NE(editor, nullptr);
        for (WORD key : row.keys) PressKey(editor, key);
        if (row.typed) {
            for (const wchar_t* c = row.typed; *c; ++c) ::PostMessageW(editor, WM_CHAR, *c, 1);
            Pump();
        }
        switch (row.end) {
            case Key: PressKey(editor, row.endKey); break;
            case FocusElsewhere: ::SetFocus(other); break;
            case Scroll: list.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0); break;
            case CloseUp:
                ::SendMessageW(editor, CB_SHOWDROPDOWN, TRUE, 0);
                ::SendMessageW(editor, CB_SHOWDROPDOWN, FALSE, 0);
                break;
        }
        Pump();
        EXPECT_EQ(parent.edited, (std::vector<Edited>{{kListId, row.row, row.column, row.text}}));
        EXPECT_EQ(U(list.GetItemText(row.row, row.column)), row.text);
        EXPECT_FALSE(::IsWindow(editor)) << "the editor's window is gone";
        EXPECT_NE(::GetFocus(), editor);
    }
    ::DestroyWindow(other);
}

TEST_F(ListControls, AClickWhileAnEditIsOpenEndsItAndOpensNothingTheNextClickDoes) {
    ClickCell(0, kComboColumn);
    HWND first = ComboWindow();
    ASSERT_NE(first, nullptr);
    // The second click comes before the editor's closing message is handled, as a mouse click would.
    const POINT second = CellCentre(1, kComboColumn);
    list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(second.x, second.y));
    EXPECT_EQ(ComboWindow(), first) << "the open window is reused, not made again";
    Pump();
    EXPECT_EQ(parent.edited, (std::vector<Edited>{{kListId, 0, kComboColumn, "ONLINE"}}));
    EXPECT_EQ(ComboWindow(), nullptr) << "the second click opened nothing";
    ClickCell(1, kComboColumn);
    EXPECT_NE(ComboWindow(), nullptr) << "the next click opens the combo";
    EXPECT_EQ(CInPlaceCombo::GetInstance()->Row(), 1);
    EXPECT_EQ(CInPlaceCombo::GetInstance()->GetCurSel(), 1);
}

// A paste into the cell edit box, as the allowed characters say.
TEST_F(ListControls, ThePasteTakesWhatTheAllowedCharactersTake) {
    const struct {
        const char* name;
        const wchar_t* allowed;
        const char* clipboard;
        std::string text;  // of the edit box afterwards
    } rows[] = {
        {"no allowed characters: not filtered, like typing", L"", "a,b c", "a,b c"},
        {"only allowed characters", L"0123456789.", "10.5", "10.5"},
        {"one character not allowed: refused", L"0123456789.", "10a5", "second"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        list.SetAllowedCharacters(row.allowed);
        ASSERT_TRUE(::OpenClipboard(parent.m_hWnd));
        ::EmptyClipboard();
        const size_t size = std::string(row.clipboard).size() + 1;
        HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, size);
        std::memcpy(::GlobalLock(memory), row.clipboard, size);
        ::GlobalUnlock(memory);
        ::SetClipboardData(CF_TEXT, memory);
        ::CloseClipboard();
        ClickCell(1, kEditColumn);
        ASSERT_NE(EditWindow(), nullptr);
        ::SendMessageW(EditWindow(), WM_PASTE, 0, 0);  // over the selected starting text
        EXPECT_EQ(U(CInPlaceEdit::GetInstance()->GetWindowText()), row.text);
        PressKey(EditWindow(), VK_ESCAPE);
    }
    list.SetAllowedCharacters(L"");
}

TEST_F(ListControls, TheCheckListTakesAClickOnTheBoxOfACheckableRowOnly) {
    CCheckListCtrl checks;
    ASSERT_TRUE(MakeList(checks, 78, RECT{10, 160, 560, 280}, LVS_REPORT | LVS_SINGLESEL));
    checks.InsertColumn(0, L"ip", LVCFMT_LEFT, 130);
    checks.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    for (int row = 0; row < 3; ++row) {
        checks.InsertItem(row, L"row " + std::to_wstring(row));
        checks.SetItemData(row, row == 1 ? 0 : 1);  // row 1 takes no check
    }
    RECT bounds{};
    const struct {
        int row, x;
        std::vector<bool> checked;  // of the rows afterwards
        std::vector<int> posted;
    } rows[] = {
        {0, 2, {false, false, false}, {}},   // left of the box
        {0, 3, {true, false, false}, {0}},   // its first pixel
        {2, 22, {false, false, true}, {2}},  // its last: the other row's check goes
        {2, 22, {false, false, true}, {2}},  // the checked row again: posted again
        {0, 23, {false, false, true}, {}},   // right of the box
        {1, 10, {false, false, true}, {}},   // item data 0
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("row " + std::to_string(row.row) + " at x " + std::to_string(row.x));
        parent.checked.clear();
        checks.GetItemRect(row.row, &bounds, LVIR_BOUNDS);
        const LPARAM at = MAKELPARAM(row.x, (bounds.top + bounds.bottom) / 2);
        checks.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        checks.SendMessage(WM_LBUTTONUP, 0, at);
        Pump();
        for (int i = 0; i < 3; ++i) EXPECT_EQ(checks.GetCheck(i), row.checked[i]) << "row " << i;
        EXPECT_EQ(parent.checked, row.posted);
        EXPECT_EQ(checks.GetNextItem(-1, LVNI_SELECTED), -1) << "a click never selects";
    }
}

TEST_F(ListControls, ALinkColumnOpensItsTextAsAWebAddress) {
    ztest::TempDir folder;
    const std::wstring browser = folder / L"zv_browser.exe";
    ztest::InstallStandIn(browser);
    {
        ztest::ShellOpenHandler handler(L"http", browser);
        ASSERT_TRUE(handler.Registered());
        ClickCell(0, kLinkColumn);
        ASSERT_TRUE(ztest::WaitForStandInRuns(browser, 1));
    }
    const auto opened = ztest::StandInRuns(browser);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(U(opened[0].commandLine), "\"" + U(browser) + "\" \"http://one.example\"") << "leading blanks dropped";
    EXPECT_EQ(ComboWindow(), nullptr);
    EXPECT_EQ(EditWindow(), nullptr);
}

// What a list shows of its empty-list text: a picture of its client area.
ztest::Pixels Shown(const CComboListCtrl& shown) {
    shown.RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Pump();
    RECT client = shown.GetClientRect();
    ::MapWindowPoints(shown.m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return ztest::CaptureScreen(client);
}

TEST_F(ListControls, TheEmptyListTextShowsOnlyInAListWithoutRows) {
    CComboListCtrl empty;
    ASSERT_TRUE(MakeList(empty, 79, RECT{10, 160, 410, 280}, LVS_REPORT));
    empty.InsertColumn(0, L"host", LVCFMT_LEFT, 200);
    ::SetWindowPos(parent.m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    const ztest::Pixels blank = Shown(empty);
    empty.SetEmptyListText(L"There is no host to update.");
    const ztest::Pixels texted = Shown(empty);
    ASSERT_EQ(texted.width, blank.width);
    RECT header{};
    ::GetWindowRect(empty.GetHeaderCtrl(), &header);
    const int headerBottom = header.bottom - header.top;
    // The text's pixels: below the header by 10, centred.
    int top = texted.height, left = texted.width, right = -1;
    for (int y = 0; y < texted.height; ++y) {
        for (int x = 0; x < texted.width; ++x) {
            if (texted.data[y * texted.width + x] == blank.data[y * blank.width + x]) continue;
            top = std::min(top, y);
            left = std::min(left, x);
            right = std::max(right, x);
        }
    }
    ASSERT_GE(right, 0) << "no text drawn";
    EXPECT_GE(top, headerBottom + 10);
    EXPECT_LE(top, headerBottom + 14);
    EXPECT_LE(std::abs((left + right) / 2 - texted.width / 2), 2) << "not centred";

    // With a row the text is not drawn.
    empty.InsertItem(0, L"host1");
    const ztest::Pixels withRow = Shown(empty);
    empty.SetEmptyListText(L"");
    EXPECT_EQ(ztest::DifferingPixels(Shown(empty), withRow), 0u);
}

}  // namespace
