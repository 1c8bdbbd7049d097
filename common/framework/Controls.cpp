#include "common/framework/Controls.h"

#include <vector>

#include "common/base/UniqueHandle.h"
#include "common/framework/WinApp.h"

namespace {

// The endless bar's timer on the bar's window, by an id the control does not use for timers of its own.
constexpr UINT_PTR kEndlessStepTimer = 0x5A56;

void CALLBACK StepEndlessBar(HWND bar, UINT, UINT_PTR, DWORD) { ::SendMessageW(bar, PBM_STEPIT, 0, 0); }

}  // namespace

std::wstring CComboBox::GetLBText(int index) const {
    const LRESULT length = SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

std::wstring CIPAddressCtrl::GetAddressText() const {
    // The control reads a blank field as 0 (and so does its window text): "8." would pass for 8.0.0.0.
    DWORD address = 0;
    if (SendMessage(IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address)) != 4) return {};
    return std::to_wstring(FIRST_IPADDRESS(address)) + L"." + std::to_wstring(SECOND_IPADDRESS(address)) + L"." +
           std::to_wstring(THIRD_IPADDRESS(address)) + L"." + std::to_wstring(FOURTH_IPADDRESS(address));
}

void CProgressCtrl::StartEndless(UINT stepMs) const {
    SetRange(0, 100);
    SetPos(0);
    SetStep(1);
    ::SetTimer(m_hWnd, kEndlessStepTimer, stepMs, &StepEndlessBar);
}

void CProgressCtrl::StopEndless() const { ::KillTimer(m_hWnd, kEndlessStepTimer); }

bool CImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
    DeleteImageList();
    m_list = ImageList_Create(cx, cy, flags, initial, grow);
    return m_list != nullptr;
}

int CImageList::AddMasked(UINT bitmapId, COLORREF mask) const {
    const UniqueGdiObject bitmap(::LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(bitmapId)));
    if (!m_list || !bitmap) return -1;
    return Add(static_cast<HBITMAP>(bitmap.get()), mask);  // the list keeps its own copy
}

void CImageList::DeleteImageList() {
    if (m_list) ImageList_Destroy(m_list);
    m_list = nullptr;
}

int CTabCtrl::InsertItem(int index, const std::wstring& text, int image) const {
    TCITEMW item{};
    item.mask = TCIF_TEXT | (image >= 0 ? TCIF_IMAGE : 0);
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.iImage = image;
    return static_cast<int>(SendMessage(TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

int CListCtrl::InsertColumn(int index, const std::wstring& heading, int format, int width) const {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM | (width >= 0 ? LVCF_WIDTH : 0);
    column.fmt = format;
    column.cx = width;
    column.iSubItem = index;
    column.pszText = const_cast<wchar_t*>(heading.c_str());
    return static_cast<int>(
        SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
}

int CListCtrl::InsertItem(int index, const std::wstring& text) const {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CListCtrl::SetItemText(int item, int subItem, const std::wstring& text) const {
    LVITEMW lv{};
    lv.iSubItem = subItem;
    lv.pszText = const_cast<wchar_t*>(text.c_str());
    return SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv)) != 0;
}

std::wstring CListCtrl::GetItemText(int item, int subItem) const {
    // The control copies at most the buffer's size; grow until the text fits.
    for (size_t size = 256; size <= (1u << 20); size *= 4) {
        std::vector<wchar_t> buffer(size, L'\0');
        LVITEMW lv{};
        lv.iSubItem = subItem;
        lv.pszText = buffer.data();
        lv.cchTextMax = static_cast<int>(size);
        const LRESULT copied =
            SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
        if (copied < 0) return {};
        if (static_cast<size_t>(copied) < size - 1) return std::wstring(buffer.data(), static_cast<size_t>(copied));
    }
    return {};
}

bool CListCtrl::SetItemData(int item, LPARAM data) const {
    LVITEMW lv{};
    lv.mask = LVIF_PARAM;
    lv.iItem = item;
    lv.lParam = data;
    return SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&lv)) != 0;
}

LPARAM CListCtrl::GetItemData(int item) const {
    LVITEMW lv{};
    lv.mask = LVIF_PARAM;
    lv.iItem = item;
    return SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&lv)) ? lv.lParam : 0;
}

bool CListCtrl::GetCheck(int item) const {
    const LRESULT state = SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_STATEIMAGEMASK);
    return ((static_cast<UINT>(state) & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void CListCtrl::SetCheck(int item, bool check) const { SetItemState(item, INDEXTOSTATEIMAGEMASK(check ? 2 : 1), LVIS_STATEIMAGEMASK); }

bool CListCtrl::SetItemState(int item, UINT state, UINT mask) const {
    LVITEMW lv{};
    lv.state = state;
    lv.stateMask = mask;
    return SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv)) != 0;
}

bool CListCtrl::GetItemRect(int item, RECT* rect, int code) const {
    rect->left = code;
    return SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(rect)) != 0;
}

bool CListCtrl::GetSubItemRect(int item, int subItem, int code, RECT* rect) const {
    rect->top = subItem;
    rect->left = code;
    return SendMessage(LVM_GETSUBITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(rect)) != 0;
}
