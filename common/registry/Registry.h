#pragma once
// The suite's few registry operations: reading a text value under HKEY_LOCAL_MACHINE and the autostart
// command that Windows runs at log-on.
#include <windows.h>

#include <cstddef>
#include <string>

constexpr wchar_t kRunKeyPath[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// Largest value read, in bytes; anything larger is refused rather than trusted for an allocation.
constexpr std::size_t kMaxRegistryValueBytes = 16u * 1024u * 1024u;

// Which view of HKEY_LOCAL_MACHINE\SOFTWARE a read looks at. On 64-bit Windows a 32-bit program's values
// live in the 32-bit view (Wow6432Node), which a 64-bit program sees only when it asks for it.
enum class RegistryView {
    Default,  // the program's own
    Bits64,
    Bits32,
};

// The command with its program path in double quotes when the path holds a blank, so Windows never runs a
// shorter path. The path is everything before the first option (a blank followed by '/'); a command that
// already starts with a quote is kept as it is.
std::wstring QuoteCommandPath(const std::wstring& command);

class CRegistry {
public:
    virtual ~CRegistry() = default;

    // Reads a value of the key `keyPath` under HKEY_LOCAL_MACHINE whole, whatever its length (up to
    // kMaxRegistryValueBytes), as text up to its first zero unit. The key is opened for reading only, never
    // created. False with an empty `value` when the key or value is missing or cannot be read.
    static bool ReadValue(const std::wstring& keyPath, std::wstring& value, const std::wstring& valueName,
                          RegistryView view = RegistryView::Default);

    // The autostart command (the value kRunValueName of kRunKeyPath); false with an empty text when there is
    // none.
    static bool ReadRunValue(std::wstring& value);

    // Stores the autostart command (REG_SZ), its path quoted as QuoteCommandPath does. False when the key
    // cannot be opened or the value cannot be set.
    static bool WriteRunValue(const std::wstring& command);

    // Removes the autostart command. True also when the key or the value is missing; the key is never
    // created. False when the key cannot be opened for writing or the value cannot be deleted.
    static bool DeleteRunValue();
};
