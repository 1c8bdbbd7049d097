#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>

#ifdef _WIN32
#include <windows.h>

#include "common/base/UniqueHandle.h"
#endif

#include "common/fs/File.h"
#include "common/text/Utf.h"

namespace fs = std::filesystem;

namespace ztest {
namespace {

fs::path ToPath(const std::wstring& p) {
#ifdef _WIN32
    return fs::path(p);
#else
    std::string s = WideToUtf8(p);
    for (char& c : s) {
        if (c == '\\') c = '/';
    }
    return fs::path(s);
#endif
}

std::wstring FromPath(const fs::path& p) {
#ifdef _WIN32
    return p.wstring();
#else
    return Utf8ToWide(p.string());
#endif
}

}  // namespace

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device rd;
    const fs::path base = fs::temp_directory_path();
    for (int i = 0; i < 100; ++i) {
        fs::path candidate = base / ("zvtest-" + std::to_string(rd()) + "-" + std::to_string(counter++));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            m_path = FromPath(candidate);
            return;
        }
    }
    ADD_FAILURE() << "cannot create a temporary folder";
}

TempDir::~TempDir() {
    if (!m_path.empty()) {
        std::error_code ec;
        fs::remove_all(ToPath(m_path), ec);
    }
}

std::string ReadBytes(const std::wstring& path) {
    std::string bytes;
    std::wstring error;
    EXPECT_TRUE(zfs::ReadFileBytes(path, bytes, error)) << WideToUtf8(path) << ": " << WideToUtf8(error);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::wstring error;
    EXPECT_TRUE(zfs::WriteFileAtomic(path, bytes, error)) << WideToUtf8(path) << ": " << WideToUtf8(error);
}

bool Exists(const std::wstring& path) {
    std::error_code ec;
    return fs::exists(ToPath(path), ec);
}

void SetFileAge(const std::wstring& path, int seconds) {
#ifdef _WIN32
    // Folders too, which the standard library does not open for it.
    const DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    UniqueFile file(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, shareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(file) << WideToUtf8(path);
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER when{};
    when.LowPart = now.dwLowDateTime;
    when.HighPart = now.dwHighDateTime;
    when.QuadPart -= static_cast<ULONGLONG>(seconds) * 10000000u;  // 100-ns units
    const FILETIME time{when.LowPart, when.HighPart};
    EXPECT_TRUE(::SetFileTime(file.get(), nullptr, nullptr, &time)) << WideToUtf8(path);
#else
    std::error_code ec;
    fs::last_write_time(ToPath(path), fs::file_time_type::clock::now() - std::chrono::seconds(seconds), ec);
    EXPECT_FALSE(ec) << WideToUtf8(path) << ": " << ec.message();
#endif
}

std::wstring EnvPath(const char* name) {
    const char* v = std::getenv(name);
    std::wstring path = v ? Utf8ToWide(v) : std::wstring();
#ifdef _WIN32
    // Under Wine the build hands over Unix paths; drive Z: maps the Unix root.
    if (!path.empty() && path[0] == L'/') {
        for (wchar_t& c : path) {
            if (c == L'/') c = L'\\';
        }
        path = L"Z:" + path;
    }
#endif
    return path;
}

std::wstring SourceDir() { return EnvPath("ZORVANE_TEST_SOURCE"); }
std::wstring BinaryDir() { return EnvPath("ZORVANE_TEST_BINARY"); }

std::wstring W(const std::string& utf8) { return Utf8ToWide(utf8); }
std::string U(const std::wstring& wide) { return WideToUtf8(wide); }

}  // namespace ztest
