#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/base/UniqueHandle.h"
#include "common/registry/Registry.h"
#include "common/suite/SuiteContract.h"

namespace {

constexpr wchar_t kTestKey[] = L"SOFTWARE\\ZorvaneRegistryTest";

bool KeyExists(const std::wstring& path) {
    UniqueRegKey key;
    return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// Stores raw bytes as a value, as another program might (no zero, odd lengths, early zeros, another type).
void StoreRaw(const wchar_t* keyPath, const wchar_t* name, const void* bytes, DWORD count, DWORD type = REG_SZ) {
    UniqueRegKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                                key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(bytes), count), ERROR_SUCCESS);
}

void DeleteRunValue() {
    UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS) {
        ::RegDeleteValueW(key.get(), kRunValueName);
    }
}

class Registry : public ::testing::Test {
protected:
    void TearDown() override {
        DeleteRunValue();
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kTestKey);
    }
};

TEST_F(Registry, AutostartCommandReadsBackWithItsPathQuoted) {
    const struct {
        const char* name;
        std::wstring command;
        std::wstring stored;
    } rows[] = {
        {"path without blank", L"C:\\Zorvane\\ZorvaneLaunch.exe /start:ui",
         L"C:\\Zorvane\\ZorvaneLaunch.exe /start:ui"},
        {"path with blank and two options", L"C:\\Program Files\\Zorvane\\ZorvaneLaunch.exe /start:ui /start:autostart",
         L"\"C:\\Program Files\\Zorvane\\ZorvaneLaunch.exe\" /start:ui /start:autostart"},
        {"already quoted", L"\"C:\\Program Files\\Z\\ZorvaneLaunch.exe\" /start:ui",
         L"\"C:\\Program Files\\Z\\ZorvaneLaunch.exe\" /start:ui"},
        {"256 characters", std::wstring(256, L'x'), std::wstring(256, L'x')},
        {"20000 characters", std::wstring(20000, L'y'), std::wstring(20000, L'y')},
        {"empty", L"", L""},
    };
    for (const auto& r : rows) {
        ASSERT_TRUE(CRegistry::WriteRunValue(r.command)) << r.name;
        std::wstring got = L"stale";
        EXPECT_TRUE(CRegistry().ReadRunValue(got)) << r.name;
        EXPECT_EQ(got, r.stored) << r.name;
    }
}

TEST(RegistryCommand, QuotingLeavesTheOptionsAlone) {
    const struct {
        const wchar_t* command;
        const wchar_t* quoted;
    } rows[] = {
        {L"C:\\A B\\x.exe  /a", L"\"C:\\A B\\x.exe\"  /a"},
        {L"C:\\my.exe files\\ZorvaneLaunch.exe /start:ui", L"\"C:\\my.exe files\\ZorvaneLaunch.exe\" /start:ui"},
        {L"C:\\Tab\there\\x.exe", L"\"C:\\Tab\there\\x.exe\""},
        {L"C:\\x.exe /a b", L"C:\\x.exe /a b"},
        {L"\"C:\\A B\\x.exe", L"\"C:\\A B\\x.exe"},
    };
    for (const auto& r : rows) EXPECT_EQ(QuoteCommandPath(r.command), r.quoted) << r.command;
}

TEST_F(Registry, StoredTextsEndAtTheirFirstZero) {
    const struct {
        const char* name;
        std::wstring units;
        DWORD bytes;  // how much of `units` is stored
        std::wstring expected;
    } rows[] = {
        {"no terminating zero", L"C:\\Z\\ZorvaneLaunch.exe", 22 * 2, L"C:\\Z\\ZorvaneLaunch.exe"},
        {"no terminating zero, 300 units", std::wstring(300, L'z'), 300 * 2, std::wstring(300, L'z')},
        {"odd byte count", L"ab", 3, L"a"},
        {"zero inside", std::wstring(L"ab\0cd", 5), 5 * 2, L"ab"},
        {"only a zero", std::wstring(1, L'\0'), 2, L""},
        {"no bytes", L"", 0, L""},
    };
    for (const auto& r : rows) {
        StoreRaw(kTestKey, L"raw", r.units.data(), r.bytes);
        std::wstring got = L"stale";
        EXPECT_TRUE(CRegistry::ReadValue(kTestKey, got, L"raw")) << r.name;
        EXPECT_EQ(got, r.expected) << r.name;
    }
    // A number or binary data stored under a text's name reads as no text.
    const DWORD number = 0x00650079;  // "ye" if taken for text
    for (const DWORD type : {DWORD(REG_DWORD), DWORD(REG_BINARY)}) {
        StoreRaw(kTestKey, L"raw", &number, sizeof(number), type);
        std::wstring got = L"stale";
        EXPECT_FALSE(CRegistry::ReadValue(kTestKey, got, L"raw")) << type;
        EXPECT_EQ(got, L"") << type;
    }
}

TEST_F(Registry, MissingValuesReadEmptyAndCreateNoKey) {
    const std::wstring present = std::wstring(kTestKey) + L"\\Present";
    StoreRaw(present.c_str(), L"other", L"x", 4);
    const struct {
        const char* name;
        std::wstring key;
        std::wstring value;
    } rows[] = {
        {"missing key", std::wstring(kTestKey) + L"\\Missing", L"ProgramFolder"},
        {"missing nested key", std::wstring(kTestKey) + L"\\Missing\\Deeper", L"UserID"},
        {"missing value", present, L"ProgramFolder"},
    };
    for (const auto& r : rows) {
        std::wstring got = L"stale";
        EXPECT_FALSE(CRegistry::ReadValue(r.key, got, r.value)) << r.name;
        EXPECT_EQ(got, L"") << r.name;
    }
    EXPECT_FALSE(KeyExists(std::wstring(kTestKey) + L"\\Missing"));
}

}  // namespace
