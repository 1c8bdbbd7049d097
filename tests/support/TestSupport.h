#pragma once
// Helpers shared by the tests of both builds.
#include <string>

namespace ztest {

// A fresh empty folder, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::wstring& path() const { return m_path; }
    // The path of an entry inside the folder, joined with '\'.
    std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }

private:
    std::wstring m_path;
};

// Whole-file helpers that fail the test when the file cannot be read or written.
std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
bool Exists(const std::wstring& path);
// Sets the file's last write time `seconds` before now.
void SetFileAge(const std::wstring& path, int seconds);

// The path in an environment variable; under Wine a Unix path becomes a path on drive Z:.
std::wstring EnvPath(const char* name);
// The source tree and the build folder, passed in by CTest.
std::wstring SourceDir();
std::wstring BinaryDir();

// Wide text from ASCII or UTF-8 (test literals stay portable where wchar_t widths differ).
std::wstring W(const std::string& utf8);
std::string U(const std::wstring& wide);

}  // namespace ztest
