#include "tests/support/RemoteBuffer.h"

#include <commctrl.h>

#include <vector>

namespace ztest {
namespace {

constexpr UINT kSendTimeoutMs = 10000;

LRESULT SendWithin(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result)) return 0;
    return static_cast<LRESULT>(result);
}

}  // namespace

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

}  // namespace ztest
