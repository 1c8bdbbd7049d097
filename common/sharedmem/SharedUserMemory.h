#pragma once
// The signed-in account, handed from the login manager to the configuration program through a named block of
// shared memory (kSharedUserDataName). The block lives while some process holds a handle to it; a new one is
// all zeros.
#include <windows.h>

#include <cstddef>
#include <string>

#include "common/base/UniqueHandle.h"

// Units of one text field: at most 259 characters and the terminating zero.
constexpr std::size_t kSharedFieldUnits = 260;

// Layout of the block, the same in every process that uses it.
struct SharedUserData {
    WCHAR id[kSharedFieldUnits];
    WCHAR password[kSharedFieldUnits];
};
static_assert(sizeof(SharedUserData) == 1040, "the shared block is 1040 bytes in every process");
static_assert(offsetof(SharedUserData, password) == 520, "the password field starts at byte 520");

// The text of a field up to its first zero unit, never reading past the field's 260 units (another process
// may have left no zero).
std::wstring ReadSharedField(const WCHAR (&field)[kSharedFieldUnits]);

// Stores `text` cut to 259 units, ends it with a zero and clears the rest of the field.
void WriteSharedField(WCHAR (&field)[kSharedFieldUnits], const std::wstring& text);

class CSharedUserMemory {
public:
    CSharedUserMemory() = default;
    CSharedUserMemory(const CSharedUserMemory&) = delete;
    CSharedUserMemory& operator=(const CSharedUserMemory&) = delete;

    // Creates the block, or opens it when it exists, lets every process open it, and maps it.
    // False when the mapping or the view cannot be made.
    bool Open();
    // Unmaps the view and closes the mapping handle; harmless when nothing is held.
    void Close();
    bool IsOpen() const { return static_cast<bool>(m_view); }

    // The fields; empty when the block is not open.
    std::wstring GetId() const;
    std::wstring GetPassword() const;
    // False when the block is not open.
    bool SetId(const std::wstring& id);
    bool SetPassword(const std::wstring& password);

private:
    SharedUserData* Data() const { return static_cast<SharedUserData*>(m_view.get()); }

    UniqueHandle m_mapping;
    MappedView m_view;  // declared last: unmapped before the mapping closes
};
