#include "tests/support/ShellHandler.h"

#include <windows.h>

#include "common/base/UniqueHandle.h"

namespace ztest {
namespace {

constexpr wchar_t kClasses[] = L"Software\\Classes\\";

bool KeyExists(const std::wstring& key) {
    UniqueRegKey opened;
    return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, opened.put()) == ERROR_SUCCESS;
}

}  // namespace

ShellOpenHandler::ShellOpenHandler(const std::wstring& schemeOrExtension, const std::wstring& program) {
    std::wstring className = schemeOrExtension;
    std::wstring command = L"\"" + program + L"\" \"%1\"";
    bool ok = true;
    if (!schemeOrExtension.empty() && schemeOrExtension[0] == L'.') {
        className = L"ZorvaneTest" + schemeOrExtension;
        ok = SetDefaultValue(kClasses + schemeOrExtension, className);
        command += L" %*";
    }
    m_registered = ok && SetDefaultValue(kClasses + className + L"\\shell\\open\\command", command);
}

ShellOpenHandler::~ShellOpenHandler() {
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
        if (!it->created.empty()) {
            ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, it->created.c_str());
            ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, it->created.c_str());
            continue;
        }
        UniqueRegKey key;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, it->key.c_str(), 0, KEY_WRITE, key.put()) != ERROR_SUCCESS) continue;
        if (it->hadValue) {
            ::RegSetValueExW(key.get(), nullptr, 0, it->type, reinterpret_cast<const BYTE*>(it->value.c_str()),
                             static_cast<DWORD>((it->value.size() + 1) * sizeof(wchar_t)));
        } else {
            ::RegDeleteValueW(key.get(), nullptr);
        }
    }
}

bool ShellOpenHandler::SetDefaultValue(const std::wstring& key, const std::wstring& value) {
    Saved saved;
    saved.key = key;
    for (size_t end = key.find(L'\\', sizeof(kClasses) / sizeof(wchar_t) - 1);; end = key.find(L'\\', end + 1)) {
        const std::wstring part = key.substr(0, end);
        if (!KeyExists(part)) {
            saved.created = part;
            break;
        }
        if (end == std::wstring::npos) break;
    }
    UniqueRegKey opened;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, opened.put(),
                          nullptr) != ERROR_SUCCESS) {
        return false;
    }
    if (saved.created.empty()) {
        wchar_t previous[1024] = {};
        DWORD bytes = sizeof(previous) - sizeof(wchar_t);
        DWORD type = 0;
        if (::RegQueryValueExW(opened.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(previous), &bytes) ==
                ERROR_SUCCESS &&
            (type == REG_SZ || type == REG_EXPAND_SZ)) {
            saved.hadValue = true;
            saved.type = type;
            saved.value = previous;
        }
    }
    m_saved.push_back(saved);
    return ::RegSetValueExW(opened.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace ztest
