#include "tests/support/WorkerRoot.h"

#include <gtest/gtest.h>

#include <sstream>

#include "common/fs/File.h"
#include "common/log/LogFile.h"
#include "common/settings/ConfigFile.h"
#include "tests/support/WindowDriver.h"

namespace ztest {
namespace {

// Every log text is its own key, followed by its arguments: the log then reads back exactly.
constexpr char kTestLanguage[] =
    "<?xml version=\"1.0\"?>\r\n<zorvane>\r\n<general><ok>OK</ok></general>\r\n<log>\r\n"
    "<check_ip>check_ip</check_ip>\r\n"
    "<internet_ip>internet_ip %s</internet_ip>\r\n"
    "<lan_ip>lan_ip %s</lan_ip>\r\n"
    "<direct_ip>direct_ip %s</direct_ip>\r\n"
    "<fail_lan_ip>fail_lan_ip</fail_lan_ip>\r\n"
    "<fail_direct_ip>fail_direct_ip</fail_direct_ip>\r\n"
    "<private_ip>private_ip</private_ip>\r\n"
    "<check_host>check_host</check_host>\r\n"
    "<update_ip>update_ip %s %s</update_ip>\r\n"
    "<update_status>update_status %s %s</update_status>\r\n"
    "<not_exist_host>not_exist_host</not_exist_host>\r\n"
    "<not_connect_server>not_connect_server</not_connect_server>\r\n"
    "<update_ip_success>update_ip_success</update_ip_success>\r\n"
    "<too_many_update>too_many_update</too_many_update>\r\n"
    "<fail_some_update_ip>fail_some_update_ip</fail_some_update_ip>\r\n"
    "<fail_update_ip>fail_update_ip %s</fail_update_ip>\r\n"
    "<update_host>update_host</update_host>\r\n"
    "<update_host_success>update_host_success</update_host_success>\r\n"
    "</log>\r\n</zorvane>\r\n";

}  // namespace

WorkerRoot::WorkerRoot() {
    for (const wchar_t* folder : {L"bin", L"lang", L"etc", L"log"}) {
        EXPECT_TRUE(zfs::CreateDirectoryOne(m_dir / folder));
    }
    std::wstring programs = EnvPath("ZORVANE_PROGRAM_DIR");
    if (programs.empty()) programs = BinaryDir() + L"\\bin";
    for (const wchar_t* program : {L"ZorvaneAddr.exe", L"ZorvaneHosts.exe"}) {
        CopyProgram(programs + L"\\" + program, Bin(program));
    }
    WriteBytes(m_dir / L"lang\\testlang.xml", kTestLanguage);
}

void WorkerRoot::WriteConfig(const StandinSession& service, int logLevel) {
    WriteConfigUrls(service.Url("/getip.php"), service.Url("/gethost.php"), service.Url("/update.php"), logLevel);
}

void WorkerRoot::WriteConfigUrls(const std::wstring& ipUrl, const std::wstring& hostUrl, const std::wstring& updateUrl,
                                 int logLevel) {
    CConfigFile* config = CConfigFile::GetInstance();
    ASSERT_TRUE(config->WriteDefault(Etc(L"config.xml")));
    ASSERT_TRUE(config->Load(Etc(L"config.xml")));
    config->SetIpUrl(ipUrl);
    config->SetHostUrl(hostUrl);
    config->SetUpdateUrl(updateUrl);
    config->SetLanguage(L"testlang");
    config->SetLogLevel(logLevel);
    ASSERT_TRUE(config->Save());
}

void WorkerRoot::WriteEtc(const std::wstring& name, const std::string& bytes) const { WriteBytes(Etc(name), bytes); }

void WorkerRoot::Break(StartUpFault fault) const {
    switch (fault) {
    case StartUpFault::NoHostList:
        ::DeleteFileW(Etc(L"host_list.xml").c_str());
        break;
    case StartUpFault::NoLanguageFile:
        ::DeleteFileW((m_dir / L"lang\\testlang.xml").c_str());
        break;
    case StartUpFault::SettingsBlocked:
        ::DeleteFileW(Etc(L"config.xml").c_str());
        ::CreateDirectoryW(Etc(L"config.xml").c_str(), nullptr);
        break;
    }
}

std::string WorkerRoot::ReadEtc(const std::wstring& name) const {
    std::string bytes;
    std::wstring error;
    return zfs::ReadFileBytes(Etc(name), bytes, error) ? bytes : std::string("<missing>");
}

long WorkerRoot::Run(const std::wstring& program, const std::wstring& args) const {
    const RunnerResult result = RunThroughRunner(Bin(program), args);
    if (result.ran) return static_cast<long>(result.exitCode);
    ADD_FAILURE() << "the exit-code runner did not report: started " << result.started << ", finished "
                  << result.finished << ", exit code " << result.runnerExitCode << ", output \"" << result.output
                  << "\"";
    return -2;
}

WorkerRoot::UsageBox WorkerRoot::CloseUsageBox(const std::wstring& program, const std::wstring& args) const {
    UsageBox result;
    ChildProcess child(Bin(program), args);
    if (!child.started()) return result;
    // The box of this child, not one that another program shows under the same caption.
    HWND box = nullptr;
    WaitFor([&] {
        for (HWND window : ProcessWindows(child.id())) {
            if (IsDialog(window) && WindowText(window) == L"Zorvane - ERROR") box = window;
        }
        return box != nullptr;
    }, 20000);
    if (!box) return result;
    result.shown = true;
    const WindowDriver driver(box);
    result.text = driver.Text(0xFFFF);  // the box's message text
    driver.Command(IDOK);
    DWORD code = 0;
    if (child.Wait(20000, &code)) result.exitCode = static_cast<long>(code);
    return result;
}

std::vector<std::string> WorkerRoot::LogLines() const { return DayLogLines(m_dir / L"log"); }

std::vector<std::string> DayLogLines(const std::wstring& logFolder) {
    std::vector<std::string> lines;
    std::string bytes;
    std::wstring error;
    if (!zfs::ReadFileBytes(logFolder + L"\\" + CLogFile::GetInstance()->GetTodayFileName(), bytes, error)) {
        return lines;
    }
    std::istringstream in(bytes);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // "[YYYY-MM-DD hh:mm:ss] " is 22 characters.
        lines.push_back(line.size() >= 22 ? line.substr(22) : line);
    }
    return lines;
}

std::string HostListXml(const std::string& code, const std::vector<HostEntry>& hosts) {
    std::string xml = "<?xml version=\"1.0\"?>\r\n<zorvane>\r\n<result code=\"" + code + "\">\r\n";
    for (const HostEntry& h : hosts) {
        xml += "<host name=\"" + h.name + "\" ip=\"" + h.ip + "\" status=\"" + h.status + "\" offtype=\"\"/>\r\n";
    }
    return xml + "</result>\r\n</zorvane>\r\n";
}

std::string UpdateListXml(const std::vector<std::pair<std::string, std::string>>& hosts) {
    std::string xml = "<?xml version=\"1.0\"?>\r\n<zorvane>\r\n";
    for (const auto& [name, status] : hosts) {
        xml += "<host name=\"" + name + "\" status=\"" + status + "\"/>\r\n";
    }
    return xml + "</zorvane>\r\n";
}

std::string UpdateMethodXml(const std::string& type, const std::string& data) {
    return "<?xml version=\"1.0\"?>\r\n<zorvane>\r\n<update_method type=\"" + type + "\" data=\"" + data +
           "\"/>\r\n</zorvane>\r\n";
}

}  // namespace ztest
