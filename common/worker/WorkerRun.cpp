#include "common/worker/WorkerRun.h"

#include <windows.h>

#include <cstdlib>

#include "common/cmdline/CmdLineParser.h"
#include "common/language/LangTable.h"
#include "common/log/LogFile.h"
#include "common/process/Process.h"
#include "common/process/ProcessText.h"
#include "common/settings/ConfigFile.h"

namespace {

constexpr wchar_t kErrorCaption[] = L"Zorvane - ERROR";
constexpr int kShowNormal = 5;

std::wstring Quoted(const std::wstring& value) { return QuoteArgValue(value).value_or(value); }

}  // namespace

void ExitWorker(int code) { std::exit(code); }

bool LoadLanguage(const std::wstring& root) {
    return CLangTable::GetInstance()->Load(root, CConfigFile::GetInstance()->GetLanguage());
}

std::wstring LogText(const wchar_t* key) { return CLangTable::GetInstance()->GetText(L"log", key); }

void LogInfo(const wchar_t* key, std::initializer_list<std::wstring_view> args) {
    CLogFile::GetInstance()->WriteInfo(LogText(key), args);
}

void LogError(const wchar_t* key, std::initializer_list<std::wstring_view> args) {
    CLogFile::GetInstance()->WriteError(LogText(key), args);
}

void RequireAccountOptions(CCmdLineParser& parser, const wchar_t* usage) {
    parser.ParseLine(::GetCommandLineW());
    if (!parser.HasOption(L"id") || !parser.HasOption(L"password")) {
        ::MessageBoxW(nullptr, usage, kErrorCaption, MB_OK | MB_ICONWARNING);
        ExitWorker(0);
    }
}

std::wstring OptionText(const CCmdLineParser& parser, const wchar_t* name) {
    const wchar_t* value = parser.GetOptionValue(name);
    return value ? value : L"";
}

std::wstring AccountArguments(const std::wstring& id, const std::wstring& password) {
    return L"/id:" + Quoted(id) + L" /password:" + Quoted(password);
}

int RunHostListUpdater(const std::wstring& root, const std::wstring& id, const std::wstring& password) {
    return RunProgramWithArgs(root + L"\\bin\\ZorvaneHosts.exe", AccountArguments(id, password), kShowNormal, false);
}

std::wstring TrimBlanks(std::wstring_view text) {
    const size_t first = text.find_first_not_of(L" \t\r\n");
    if (first == std::wstring_view::npos) return std::wstring();
    const size_t last = text.find_last_not_of(L" \t\r\n");
    return std::wstring(text.substr(first, last - first + 1));
}
