#include "common/registry/Registry.h"

#include <algorithm>

#include "common/base/UniqueHandle.h"
#include "common/suite/SuiteContract.h"

namespace {

REGSAM ViewFlag(RegistryView view) {
    switch (view) {
        case RegistryView::Bits64: return KEY_WOW64_64KEY;
        case RegistryView::Bits32: return KEY_WOW64_32KEY;
        default: return 0;
    }
}

}  // namespace

std::wstring QuoteCommandPath(const std::wstring& command) {
    if (command.empty() || command[0] == L'"') return command;
    std::size_t end = command.size();
    for (std::size_t i = 0; i + 1 < command.size(); ++i) {
        if ((command[i] == L' ' || command[i] == L'\t') && command[i + 1] == L'/') {
            end = i;
            break;
        }
    }
    while (end > 0 && (command[end - 1] == L' ' || command[end - 1] == L'\t')) --end;
    const std::wstring path = command.substr(0, end);
    if (path.find_first_of(L" \t") == std::wstring::npos) return command;
    return L"\"" + path + L"\"" + command.substr(end);
}

bool CRegistry::ReadValue(const std::wstring& keyPath, std::wstring& value, const std::wstring& valueName,
                          RegistryView view) {
    value.clear();
    UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ | ViewFlag(view), key.put()) !=
        ERROR_SUCCESS) {
        return false;
    }

    // The value may change between asking for its size and reading it; a few rounds settle that.
    DWORD bytes = 0;
    LSTATUS rc = ::RegQueryValueExW(key.get(), valueName.c_str(), nullptr, nullptr, nullptr, &bytes);
    for (int round = 0; round < 4 && (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA); ++round) {
        if (bytes > kMaxRegistryValueBytes) return false;
        // One unit more than asked for, so an odd byte count still fits.
        std::wstring buffer(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD got = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        DWORD type = REG_NONE;
        rc = ::RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&buffer[0]),
                                &got);
        if (rc == ERROR_MORE_DATA) {
            bytes = got;
            continue;
        }
        // A number or binary data is no text.
        if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
        // A stored text may lack its zero or hold one early; a trailing odd byte is no whole unit.
        buffer.resize(std::min<std::size_t>(got / sizeof(wchar_t), buffer.size()));
        const std::size_t zero = buffer.find(L'\0');
        if (zero != std::wstring::npos) buffer.resize(zero);
        value = std::move(buffer);
        return true;
    }
    return false;
}

bool CRegistry::ReadRunValue(std::wstring& value) { return ReadValue(kRunKeyPath, value, kRunValueName); }

bool CRegistry::WriteRunValue(const std::wstring& command) {
    const std::wstring text = QuoteCommandPath(command.substr(0, command.find(L'\0')));
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (bytes > kMaxRegistryValueBytes) return false;
    UniqueRegKey key;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                          key.put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    return ::RegSetValueExW(key.get(), kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(bytes)) == ERROR_SUCCESS;
}

bool CRegistry::DeleteRunValue() {
    UniqueRegKey key;
    const LSTATUS opened = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, KEY_SET_VALUE, key.put());
    if (opened == ERROR_FILE_NOT_FOUND) return true;
    if (opened != ERROR_SUCCESS) return false;
    const LSTATUS deleted = ::RegDeleteValueW(key.get(), kRunValueName);
    return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}
