#include "tests/support/WineDesktop.h"

#include <windows.h>

#include "common/base/UniqueHandle.h"

namespace ztest {
namespace {

constexpr wchar_t kDriverKey[] = L"Software\\Wine\\X11 Driver";
constexpr wchar_t kManaged[] = L"Managed";
constexpr wchar_t kFontLinkKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink";

}  // namespace

bool UnderWine() {
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

bool LinkHangulFont() {
    if (!UnderWine()) return false;
    UniqueRegKey key;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kFontLinkKey, 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    const wchar_t link[] = L"NanumGothic.ttf,NanumGothic\0NanumBarunGothic.ttf,NanumBarunGothic\0";
    bool linked = true;
    for (const wchar_t* face : {L"Tahoma", L"MS Shell Dlg", L"Microsoft Sans Serif", L"MS Sans Serif"}) {
        const auto* bytes = reinterpret_cast<const BYTE*>(link);
        if (::RegSetValueExW(key.get(), face, 0, REG_MULTI_SZ, bytes, sizeof(link)) != ERROR_SUCCESS) linked = false;
    }
    return linked;
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
