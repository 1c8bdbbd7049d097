#pragma once
// Thin wrappers of the common controls. Each is a CWnd bound to its control (usually through
// CDataExchange::Bind); the helpers only send the control's own messages.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "common/framework/Wnd.h"

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    // Checked; an indeterminate box counts as not checked.
    bool IsChecked() const { return GetCheck() == BST_CHECKED; }
    void SetCheck(int state) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }
};

class CStatic : public CWnd {
public:
    HICON SetIcon(HICON icon) const { return reinterpret_cast<HICON>(SendMessage(STM_SETICON, WPARAM(icon))); }
};

class CEdit : public CWnd {
public:
    void SetSel(int start, int end) const { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }
    void LimitText(int chars) const { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(chars)); }
    int GetLineCount() const { return static_cast<int>(SendMessage(EM_GETLINECOUNT)); }
    void LineScroll(int lines, int columns = 0) const { SendMessage(EM_LINESCROLL, static_cast<WPARAM>(columns), lines); }
    void ReplaceSel(const std::wstring& text, bool canUndo = false) const {
        SendMessage(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text.c_str()));
    }
};

class CComboBox : public CWnd {
public:
    int AddString(const std::wstring& text) const {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    // At this position whatever the combo's sort style (-1: at the end); the item's index, or CB_ERR.
    int InsertString(int index, const std::wstring& text) const {
        return static_cast<int>(
            SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str())));
    }
    void ResetContent() const { SendMessage(CB_RESETCONTENT); }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) const { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index))); }
    int SelectString(int start, const std::wstring& text) const {
        return static_cast<int>(
            SendMessage(CB_SELECTSTRING, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(text.c_str())));
    }
    LRESULT GetItemData(int index) const { return SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(index)); }
    void SetItemData(int index, LPARAM data) const { SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(index), data); }
    std::wstring GetLBText(int index) const;
    RECT GetDroppedControlRect() const {
        RECT r{};
        SendMessage(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    void ShowDropDown(bool show = true) const { SendMessage(CB_SHOWDROPDOWN, show); }
};

class CProgressCtrl : public CWnd {
public:
    void SetRange(int lower, int upper) const { SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(lower), upper); }
    int SetPos(int pos) const { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(pos))); }
    int SetStep(int step) const { return static_cast<int>(SendMessage(PBM_SETSTEP, static_cast<WPARAM>(step))); }
    int StepIt() const { return static_cast<int>(SendMessage(PBM_STEPIT)); }
    int GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
    // The endless bar: the range 0 to 100 from 0, and a step of 1 every `stepMs` from a timer of the bar's own
    // window until StopEndless (a step past the end starts the bar again at 0). Both on the bar's thread,
    // whose message loop runs the steps.
    void StartEndless(UINT stepMs) const;
    void StopEndless() const;
};

class CIPAddressCtrl : public CWnd {
public:
    // The four fields (0 to 255 each) joined with dots, or an empty text unless every field is filled in.
    std::wstring GetAddressText() const;
    void SetAddress(DWORD address) const { SendMessage(IPM_SETADDRESS, 0, static_cast<LPARAM>(address)); }
    void ClearAddress() const { SendMessage(IPM_CLEARADDRESS); }
    bool IsBlank() const { return SendMessage(IPM_ISBLANK) != 0; }
};

// An owned image list (destroyed with the object).
class CImageList {
public:
    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    bool Create(int cx, int cy, UINT flags, int initial, int grow);
    // Adds a bitmap with the colour that stands for transparent; the index of the first image, or -1.
    int Add(HBITMAP bitmap, COLORREF mask) const { return ImageList_AddMasked(m_list, bitmap, mask); }
    // The same with a bitmap resource of the program, loaded for the call; -1 when it is missing.
    int AddMasked(UINT bitmapId, COLORREF mask) const;
    int GetImageCount() const { return m_list ? ImageList_GetImageCount(m_list) : 0; }
    HIMAGELIST GetSafeHandle() const { return m_list; }
    void DeleteImageList();

private:
    HIMAGELIST m_list = nullptr;
};

class CTabCtrl : public CWnd {
public:
    int InsertItem(int index, const std::wstring& text, int image = -1) const;
    int GetCurSel() const { return static_cast<int>(SendMessage(TCM_GETCURSEL)); }
    int SetCurSel(int index) const { return static_cast<int>(SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(index))); }
    int GetItemCount() const { return static_cast<int>(SendMessage(TCM_GETITEMCOUNT)); }
    void SetPadding(int cx, int cy) const { SendMessage(TCM_SETPADDING, 0, MAKELPARAM(cx, cy)); }
    void SetImageList(const CImageList& list) const {
        SendMessage(TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list.GetSafeHandle()));
    }
};

class CListCtrl : public CWnd {
public:
    int InsertColumn(int index, const std::wstring& heading, int format = LVCFMT_LEFT, int width = -1) const;
    int InsertItem(int index, const std::wstring& text) const;
    bool SetItemText(int item, int subItem, const std::wstring& text) const;
    std::wstring GetItemText(int item, int subItem) const;
    bool DeleteItem(int item) const { return SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(item)) != 0; }
    bool DeleteAllItems() const { return SendMessage(LVM_DELETEALLITEMS) != 0; }
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    bool SetItemData(int item, LPARAM data) const;
    LPARAM GetItemData(int item) const;
    int GetNextItem(int start, UINT flags) const {
        return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(start), static_cast<LPARAM>(flags)));
    }
    void SetExtendedStyle(DWORD style) const { SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style); }
    bool GetCheck(int item) const;
    void SetCheck(int item, bool check) const;
    bool SetItemState(int item, UINT state, UINT mask) const;
    UINT GetItemState(int item, UINT mask) const {
        return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(item), static_cast<LPARAM>(mask)));
    }
    // The first row after `start` (-1: from the top) that the search finds, or -1.
    int FindItem(const LVFINDINFOW& find, int start = -1) const {
        return static_cast<int>(
            SendMessage(LVM_FINDITEMW, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(&find)));
    }
    bool SortItems(PFNLVCOMPARE compare, LPARAM data) const {
        return SendMessage(LVM_SORTITEMS, static_cast<WPARAM>(data), reinterpret_cast<LPARAM>(compare)) != 0;
    }
    HWND GetHeaderCtrl() const { return reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER)); }
    int GetColumnWidth(int column) const {
        return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column)));
    }
    bool EnsureVisible(int item, bool partialOk) const {
        return SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), partialOk) != 0;
    }
    bool GetItemRect(int item, RECT* rect, int code) const;
    bool GetSubItemRect(int item, int subItem, int code, RECT* rect) const;
    int SubItemHitTest(LVHITTESTINFO* info) const {
        return static_cast<int>(SendMessage(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(info)));
    }
    int GetTopIndex() const { return static_cast<int>(SendMessage(LVM_GETTOPINDEX)); }
    int GetCountPerPage() const { return static_cast<int>(SendMessage(LVM_GETCOUNTPERPAGE)); }
    bool Scroll(int dx, int dy) const { return SendMessage(LVM_SCROLL, static_cast<WPARAM>(dx), dy) != 0; }
};

// Keeps a window from drawing while the object lives, and has it drawn whole when it goes. A visible list
// view does work for every row put in or taken out while it draws (under Wine it grows with the rows, so a
// long list filled row by row takes minutes); with drawing held it takes that work once.
class CRedrawPause {
public:
    explicit CRedrawPause(const CWnd& window) : m_window(window.m_hWnd) {
        ::SendMessageW(m_window, WM_SETREDRAW, FALSE, 0);
    }
    ~CRedrawPause() {
        ::SendMessageW(m_window, WM_SETREDRAW, TRUE, 0);
        ::RedrawWindow(m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    CRedrawPause(const CRedrawPause&) = delete;
    CRedrawPause& operator=(const CRedrawPause&) = delete;

private:
    HWND m_window;
};
