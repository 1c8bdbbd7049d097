#pragma once
// A temporary installation root for ZorvaneConf: bin\ with the built program and recording stand-ins for
// ZorvaneSvc, ZorvaneTray, ZorvaneAddr and ZorvaneHosts, the stand-in launcher in the root, lang\ with a test
// language whose every text is its own "section/key" and the two shipped languages, etc\ and log\.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/settings/ConfigFile.h"
#include "tests/support/ProcessSupport.h"
#include "tests/support/TestSupport.h"

namespace ztest {

// The test language (lang\testlang.xml): every text the program looks up reads "section/key".
constexpr wchar_t kTestLanguage[] = L"testlang";

// The ip_url of a root's settings unless a test sets another: a loopback port that refuses the connection.
constexpr wchar_t kNoInternetIpUrl[] = L"http://127.0.0.1:1/getip.php";

// What a test does to the default settings before a start.
using ConfigEdit = std::function<void(CConfigFile&)>;

class ConfRoot {
public:
    // The root is the folder `name` inside a fresh temporary folder; the name may hold a blank.
    explicit ConfRoot(const std::wstring& name = L"root");

    std::wstring Bin(const std::wstring& name) const { return m_root + L"\\bin\\" + name; }
    std::wstring Etc(const std::wstring& name) const { return m_root + L"\\etc\\" + name; }
    std::wstring Log(const std::wstring& name) const { return m_root + L"\\log\\" + name; }
    std::wstring Launcher() const { return m_root + L"\\ZorvaneLaunch.exe"; }
    std::wstring Service() const { return Bin(L"ZorvaneSvc.exe"); }
    std::wstring Tray() const { return Bin(L"ZorvaneTray.exe"); }

    // config.xml: the default settings in the test language, then the edit. Returns the bytes written.
    std::string WriteConfig(const ConfigEdit& edit = {}, const std::wstring& language = kTestLanguage) const;
    void WriteEtc(const std::wstring& name, const std::string& bytes) const;
    // The file's bytes, or "<missing>".
    std::string ReadEtc(const std::wstring& name) const;

    // Starts bin\ZorvaneConf.exe.
    std::unique_ptr<ChildProcess> Start() const;

private:
    TempDir m_dir;
    std::wstring m_root;
};

// The settings document as the program should have written it: what a test started from, changed with the
// same setters the pages use.
class ConfigModel {
public:
    explicit ConfigModel(const std::wstring& path);
    void Change(const ConfigEdit& edit);
    std::string Bytes() const;

private:
    CConfigFile m_config;
};

}  // namespace ztest
