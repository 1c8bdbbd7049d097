#include "common/worker/WorkerRun.h"

#include <windows.h>

#include <cstdlib>
#include <vector>

#include "common/cmdline/CmdLineParser.h"
#include "common/language/LangTable.h"
#include "common/log/LogFile.h"
#include "common/process/Process.h"
#include "common/process/ProcessText.h"
#include "common/suite/SuiteContract.h"
#include "common/text/TextFormat.h"
#include "common/text/ValueText.h"

namespace {

constexpr int kShowNormal = 5;

// An argument that LogArgument gives back unchanged.
bool ShownAsItStands(std::wstring_view text) {
    if (text.size() > kMaxLogArgument) return false;
    for (wchar_t c : text) {
        if (IsControlChar(c)) return false;
    }
    return true;
}

std::wstring LogLineText(std::wstring_view text, std::initializer_list<std::wstring_view> args) {
    // The few arguments of a line are held here; only those that change are copied.
    constexpr size_t kHeld = 4;
    if (args.size() > kHeld) {
        std::vector<std::wstring> shown;
        shown.reserve(args.size());
        for (std::wstring_view arg : args) shown.push_back(LogArgument(arg));
        return FormatText(text, shown);
    }
    std::wstring changed[kHeld];
    std::wstring_view shown[kHeld];
    size_t count = 0;
    for (std::wstring_view arg : args) {
        if (ShownAsItStands(arg)) {
            shown[count] = arg;
        } else {
            changed[count] = LogArgument(arg);
            shown[count] = changed[count];
        }
        ++count;
    }
    return FormatText(text, shown, count);
}

}  // namespace

void ExitWorker(int code) { std::exit(code); }

std::wstring LogText(const wchar_t* key) {
    return *key ? CLangTable::GetInstance()->GetText(L"log", key) : std::wstring();
}

std::wstring LogArgument(std::wstring_view text) {
    size_t length = text.size();
    if (length > kMaxLogArgument) {
        length = kMaxLogArgument;
        // Never keep half of a surrogate pair.
        if (text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF) --length;
    }
    std::wstring shown(text.substr(0, length));
    for (wchar_t& c : shown) {
        if (IsControlChar(c)) c = L' ';
    }
    if (length < text.size()) shown += L"...";
    return shown;
}

void LogInfo(const wchar_t* key, std::initializer_list<std::wstring_view> args) {
    CLogFile* log = CLogFile::GetInstance();
    if (!log->WritesInfo()) return;
    log->WriteInfo(LogLineText(LogText(key), args));
}

void LogInfoText(std::wstring_view text, std::initializer_list<std::wstring_view> args) {
    CLogFile* log = CLogFile::GetInstance();
    if (!log->WritesInfo()) return;
    log->WriteInfo(LogLineText(text, args));
}

void LogError(const wchar_t* key, std::initializer_list<std::wstring_view> args) {
    CLogFile* log = CLogFile::GetInstance();
    if (!log->WritesErrors()) return;
    log->WriteError(LogLineText(LogText(key), args));
}

bool ParseAccountOptions(CCmdLineParser& parser) {
    parser.ParseLine(::GetCommandLineW());
    return parser.HasOption(L"id") && parser.HasOption(L"password");
}

std::wstring OptionText(const CCmdLineParser& parser, const wchar_t* name) {
    const wchar_t* value = parser.GetOptionValue(name);
    return value ? value : L"";
}

std::optional<std::wstring> AccountArguments(const std::wstring& id, const std::wstring& password) {
    const std::optional<std::wstring> quotedId = QuoteArgValue(id);
    const std::optional<std::wstring> quotedPassword = QuoteArgValue(password);
    if (!quotedId || !quotedPassword) return std::nullopt;
    return L"/id:" + *quotedId + L" /password:" + *quotedPassword;
}

int RunHostListUpdater(const std::wstring& root, const std::wstring& id, const std::wstring& password,
                       HANDLE stop) {
    const std::optional<std::wstring> args = AccountArguments(id, password);
    if (!args) return kAccountNotPassable;
    const std::wstring program = root + kBinFolder + kZorvaneHostsFile;
    // The updater writes the same log: the lines so far come first.
    CLogFile::GetInstance()->Flush();
    if (stop) return RunProgramWithArgsUntil(program, *args, kShowNormal, stop);
    return RunProgramWithArgs(program, *args, kShowNormal, false);
}
