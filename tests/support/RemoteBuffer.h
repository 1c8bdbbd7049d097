#pragma once
// Memory in the process of another program's window, for the control messages that take a pointer (a tab's
// item, a list's item text): the system carries no such pointer across processes, so the record is written
// into the other process, the message is sent there and the record is read back.
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "common/base/UniqueHandle.h"

namespace ztest {

class RemoteBuffer {
public:
    // `bytes` of zeros in the process that owns `window`; empty (ok() false) when it cannot be had.
    RemoteBuffer(HWND window, size_t bytes);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool ok() const { return m_address != nullptr; }
    // The buffer's address in the other process, plus an offset, for a message's parameter.
    void* At(size_t offset = 0) const { return static_cast<char*>(m_address) + offset; }
    // Copies into or out of the buffer at an offset; false when it does not fit or fails.
    bool Write(size_t offset, const void* data, size_t size) const;
    bool Read(size_t offset, void* data, size_t size) const;
    // The zero-terminated UTF-16 text at an offset, at most `units` long.
    std::wstring ReadText(size_t offset, size_t units) const;

private:
    UniqueHandle m_process;
    void* m_address = nullptr;
    size_t m_size = 0;
};

// A tab control's item: its text and image; false when the other process could not be asked.
bool TabItem(HWND tab, int index, std::wstring& text, int& image);
// A tab control's item rectangle in the tab's client coordinates; empty when it could not be asked.
RECT TabItemRect(HWND tab, int index);

// A list view's cell text; empty when the other process could not be asked.
std::wstring ListItemText(HWND list, int row, int column);
// Every row's texts, every column of the header.
std::vector<std::vector<std::wstring>> ListRows(HWND list);
// The column headings.
std::vector<std::wstring> ListHeadings(HWND list);
// A row's item data (0 when it could not be asked).
LPARAM ListItemData(HWND list, int row);
// LVM_SETITEMSTATE (row -1: every row); false when it could not be asked or was refused.
bool SetListItemState(HWND list, int row, UINT state, UINT mask);
// A cell's rectangle in the list's client coordinates (column 0: the first column only).
RECT ListCellRect(HWND list, int row, int column);
// A combo box's entry text (the system carries this message's buffer itself).
std::wstring ComboItemText(HWND combo, int index);

}  // namespace ztest
