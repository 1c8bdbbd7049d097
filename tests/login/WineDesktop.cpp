#include "tests/login/WineDesktop.h"

#include <windows.h>

#include "common/framework/UniqueHandle.h"

namespace ztest {
namespace {

constexpr wchar_t kDriverKey[] = L"Software\\Wine\\X11 Driver";
constexpr wchar_t kManaged[] = L"Managed";

}  // namespace

bool UnderWine() {
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

WineUnmanagedWindows::WineUnmanagedWindows() {
    if (!UnderWine()) return;
    UniqueRegKey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kDriverKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, key.put(),
                          nullptr) != ERROR_SUCCESS) {
        return;
    }
    wchar_t previous[16] = {};
    DWORD bytes = sizeof(previous) - sizeof(wchar_t);
    DWORD type = 0;
    if (::RegQueryValueExW(key.get(), kManaged, nullptr, &type, reinterpret_cast<BYTE*>(previous), &bytes) ==
            ERROR_SUCCESS &&
        type == REG_SZ) {
        m_hadValue = true;
        m_previous = previous;
    }
    const wchar_t no[] = L"N";
    m_set = ::RegSetValueExW(key.get(), kManaged, 0, REG_SZ, reinterpret_cast<const BYTE*>(no), sizeof(no)) ==
            ERROR_SUCCESS;
}

WineUnmanagedWindows::~WineUnmanagedWindows() {
    if (!m_set) return;
    UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kDriverKey, 0, KEY_WRITE, key.put()) != ERROR_SUCCESS) return;
    if (m_hadValue) {
        ::RegSetValueExW(key.get(), kManaged, 0, REG_SZ, reinterpret_cast<const BYTE*>(m_previous.c_str()),
                         static_cast<DWORD>((m_previous.size() + 1) * sizeof(wchar_t)));
    } else {
        ::RegDeleteValueW(key.get(), kManaged);
    }
}

}  // namespace ztest
