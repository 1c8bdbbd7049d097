#include "tests/support/RemoteBuffer.h"

#include <commctrl.h>

#include <vector>

#include "tests/support/WindowDriver.h"

namespace ztest {

RemoteBuffer::RemoteBuffer(HWND window, size_t bytes) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    m_process.reset(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (!m_process) return;
    m_address = ::VirtualAllocEx(m_process.get(), nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (m_address) m_size = bytes;
}

RemoteBuffer::~RemoteBuffer() {
    if (m_address) ::VirtualFreeEx(m_process.get(), m_address, 0, MEM_RELEASE);
}

bool RemoteBuffer::Write(size_t offset, const void* data, size_t size) const {
    SIZE_T done = 0;
    return ok() && offset <= m_size && size <= m_size - offset &&
           ::WriteProcessMemory(m_process.get(), At(offset), data, size, &done) && done == size;
}

bool RemoteBuffer::Read(size_t offset, void* data, size_t size) const {
    SIZE_T done = 0;
    return ok() && offset <= m_size && size <= m_size - offset &&
           ::ReadProcessMemory(m_process.get(), At(offset), data, size, &done) && done == size;
}

std::wstring RemoteBuffer::ReadText(size_t offset, size_t units) const {
    std::vector<wchar_t> text(units + 1, L'\0');
    if (!Read(offset, text.data(), units * sizeof(wchar_t))) return {};
    return text.data();
}

bool TabItem(HWND tab, int index, std::wstring& text, int& image) {
    constexpr size_t kTextUnits = 256;
    RemoteBuffer buffer(tab, sizeof(TCITEMW) + (kTextUnits + 1) * sizeof(wchar_t));
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = static_cast<wchar_t*>(buffer.At(sizeof(TCITEMW)));
    item.cchTextMax = static_cast<int>(kTextUnits);
    if (!buffer.Write(0, &item, sizeof(item))) return false;
    if (!SendWithin(tab, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.At()))) return false;
    if (!buffer.Read(0, &item, sizeof(item))) return false;
    image = item.iImage;
    // The control may hand back a pointer of its own instead of filling the buffer.
    if (item.pszText != buffer.At(sizeof(TCITEMW))) return false;
    text = buffer.ReadText(sizeof(TCITEMW), kTextUnits);
    return true;
}

RECT TabItemRect(HWND tab, int index) {
    RemoteBuffer buffer(tab, sizeof(RECT));
    RECT rect{};
    if (!SendWithin(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.At())) ||
        !buffer.Read(0, &rect, sizeof(rect))) {
        return RECT{};
    }
    return rect;
}

std::wstring ListItemText(HWND list, int row, int column) {
    constexpr size_t kTextUnits = 1024;
    RemoteBuffer buffer(list, sizeof(LVITEMW) + (kTextUnits + 1) * sizeof(wchar_t));
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = static_cast<wchar_t*>(buffer.At(sizeof(LVITEMW)));
    item.cchTextMax = static_cast<int>(kTextUnits);
    if (!buffer.Write(0, &item, sizeof(item))) return {};
    SendWithin(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(buffer.At()));
    return buffer.ReadText(sizeof(LVITEMW), kTextUnits);
}

std::vector<std::vector<std::wstring>> ListRows(HWND list) {
    const int rows = static_cast<int>(SendWithin(list, LVM_GETITEMCOUNT, 0, 0));
    const HWND header = reinterpret_cast<HWND>(SendWithin(list, LVM_GETHEADER, 0, 0));
    const int columns = static_cast<int>(SendWithin(header, HDM_GETITEMCOUNT, 0, 0));
    std::vector<std::vector<std::wstring>> texts;
    for (int row = 0; row < rows; ++row) {
        texts.emplace_back();
        for (int column = 0; column < columns; ++column) texts.back().push_back(ListItemText(list, row, column));
    }
    return texts;
}

std::vector<std::wstring> ListHeadings(HWND list) {
    constexpr size_t kTextUnits = 256;
    const HWND header = reinterpret_cast<HWND>(SendWithin(list, LVM_GETHEADER, 0, 0));
    const int columns = static_cast<int>(SendWithin(header, HDM_GETITEMCOUNT, 0, 0));
    std::vector<std::wstring> headings;
    RemoteBuffer buffer(list, sizeof(LVCOLUMNW) + (kTextUnits + 1) * sizeof(wchar_t));
    for (int column = 0; column < columns; ++column) {
        LVCOLUMNW info{};
        info.mask = LVCF_TEXT;
        info.pszText = static_cast<wchar_t*>(buffer.At(sizeof(LVCOLUMNW)));
        info.cchTextMax = static_cast<int>(kTextUnits);
        buffer.Write(0, &info, sizeof(info));
        SendWithin(list, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(buffer.At()));
        headings.push_back(buffer.ReadText(sizeof(LVCOLUMNW), kTextUnits));
    }
    return headings;
}

LPARAM ListItemData(HWND list, int row) {
    RemoteBuffer buffer(list, sizeof(LVITEMW));
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!buffer.Write(0, &item, sizeof(item)) ||
        !SendWithin(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(buffer.At())) ||
        !buffer.Read(0, &item, sizeof(item))) {
        return 0;
    }
    return item.lParam;
}

bool SetListItemState(HWND list, int row, UINT state, UINT mask) {
    RemoteBuffer buffer(list, sizeof(LVITEMW));
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    return buffer.Write(0, &item, sizeof(item)) &&
           SendWithin(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(buffer.At())) != 0;
}

RECT ListCellRect(HWND list, int row, int column) {
    RemoteBuffer buffer(list, sizeof(RECT));
    RECT rect{LVIR_BOUNDS, column, 0, 0};
    if (!buffer.Write(0, &rect, sizeof(rect)) ||
        !SendWithin(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(buffer.At())) ||
        !buffer.Read(0, &rect, sizeof(rect))) {
        return RECT{};
    }
    // Column 0's rectangle is the whole row's.
    if (column == 0) rect.right = rect.left + static_cast<int>(SendWithin(list, LVM_GETCOLUMNWIDTH, 0, 0));
    return rect;
}

std::wstring ComboItemText(HWND combo, int index) {
    // A message of the system's own range: the system carries its buffer across.
    const LRESULT length = SendWithin(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0 || length > 4096) return {};
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    if (SendWithin(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data())) <= 0) {
        return {};
    }
    return text.data();
}

}  // namespace ztest
