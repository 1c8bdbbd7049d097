#include "common/sharedmem/SharedUserMemory.h"

#include <aclapi.h>

#include <algorithm>

#include "common/suite/SuiteContract.h"

std::wstring ReadSharedField(const WCHAR (&field)[kSharedFieldUnits]) {
    const WCHAR* end = std::find(field, field + kSharedFieldUnits, L'\0');
    return std::wstring(field, end);
}

void WriteSharedField(WCHAR (&field)[kSharedFieldUnits], const std::wstring& text) {
    const std::size_t n = std::min(text.size(), kSharedFieldUnits - 1);
    std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), field);
    std::fill(field + n, field + kSharedFieldUnits, L'\0');
}

bool CSharedUserMemory::Open() {
    Close();
    UniqueHandle mapping(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                              sizeof(SharedUserData), kSharedUserDataName));
    if (!mapping) return false;

    // A null access list lets every process open the block; a failure here does not fail the open. Set
    // through the handle, so it reaches the very object just opened rather than whatever the name finds.
    ::SetSecurityInfo(mapping.get(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr, nullptr);

    // Exactly the block's size: a same-named mapping that is too small fails here instead of being overrun.
    MappedView view(::MapViewOfFile(mapping.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(SharedUserData)));
    if (!view) return false;
    m_mapping = std::move(mapping);
    m_view = std::move(view);
    return true;
}

void CSharedUserMemory::Close() {
    m_view.reset();
    m_mapping.reset();
}

std::wstring CSharedUserMemory::GetId() const { return IsOpen() ? ReadSharedField(Data()->id) : std::wstring(); }

std::wstring CSharedUserMemory::GetPassword() const {
    return IsOpen() ? ReadSharedField(Data()->password) : std::wstring();
}

bool CSharedUserMemory::SetId(const std::wstring& id) {
    if (!IsOpen()) return false;
    WriteSharedField(Data()->id, id);
    return true;
}

bool CSharedUserMemory::SetPassword(const std::wstring& password) {
    if (!IsOpen()) return false;
    WriteSharedField(Data()->password, password);
    return true;
}
