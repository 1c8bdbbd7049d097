#pragma once
// A temporary installation root for the worker programs: bin\ with the built ZorvaneAddr.exe and
// ZorvaneHosts.exe (from the folder ZORVANE_PROGRAM_DIR names when set, else the build folder's bin\),
// lang\ with a test language whose log texts are their own keys, etc\ and log\.
#include <string>
#include <vector>

#include "tests/support/ProcessSupport.h"
#include "tests/support/StandinService.h"
#include "tests/support/TestSupport.h"

namespace ztest {

class WorkerRoot {
public:
    WorkerRoot();

    const std::wstring& Root() const { return m_dir.path(); }
    std::wstring Etc(const std::wstring& name) const { return m_dir.path() + L"\\etc\\" + name; }
    std::wstring Bin(const std::wstring& name) const { return m_dir.path() + L"\\bin\\" + name; }

    // config.xml with the three URLs on the session's port, the test language and a log level.
    void WriteConfig(const StandinSession& service, int logLevel = 2);
    void WriteConfigUrls(const std::wstring& ipUrl, const std::wstring& hostUrl, const std::wstring& updateUrl,
                         int logLevel = 2);
    void WriteEtc(const std::wstring& name, const std::string& bytes) const;

    // What makes a start-up load fail.
    enum class StartUpFault {
        NoHostList,
        NoLanguageFile,
        SettingsBlocked,  // config.xml is a folder: it can neither be read nor replaced by the defaults
    };
    void Break(StartUpFault fault) const;
    std::string ReadEtc(const std::wstring& name) const;

    // Runs a program of bin\ through the exit-code runner and returns its whole exit code (-2 when the
    // runner could not run it).
    long Run(const std::wstring& program, const std::wstring& args = L"/id:alice /password:s3cret") const;

    // Starts a program of bin\ with `args`, waits for its usage box (caption "Zorvane - ERROR"), reads the
    // box's text and closes it with OK.
    struct UsageBox {
        bool shown = false;
        std::wstring text;
        long exitCode = -2;  // once the box was closed; -2 when the program did not end
    };
    UsageBox CloseUsageBox(const std::wstring& program, const std::wstring& args) const;

    // The day's log lines without their time stamps ("[INFO] check_ip", "[ERROR] private_ip", ...).
    std::vector<std::string> LogLines() const;

private:
    TempDir m_dir;
};

// The day's log lines in `logFolder` without their time stamps; none when there is no file of the day.
std::vector<std::string> DayLogLines(const std::wstring& logFolder);

// The body of a host-list reply: <zorvane><result code="..."> with one host per entry.
struct HostEntry {
    std::string name, ip, status;
};
std::string HostListXml(const std::string& code, const std::vector<HostEntry>& hosts);
// update_list.xml with (name, status) entries.
std::string UpdateListXml(const std::vector<std::pair<std::string, std::string>>& hosts);
std::string UpdateMethodXml(const std::string& type, const std::string& data);

}  // namespace ztest
