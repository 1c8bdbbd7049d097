#pragma once
// What the two worker programs share: the log texts of their runs, the account options of their command
// line, and the run of the host-list updater.
#include <windows.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

class CCmdLineParser;

// Ends the worker process with the code (static objects and the singletons are freed on the way).
[[noreturn]] void ExitWorker(int code);

// Characters of one log argument at most; a longer one is cut and ends with "...".
constexpr size_t kMaxLogArgument = 256;

// A text of the language section `log`; an empty key gives an empty text.
std::wstring LogText(const wchar_t* key);
// An argument as a log line shows it: every control character (line breaks included) a blank, and cut
// to kMaxLogArgument characters, so that a service's reply can neither forge lines nor flood the log.
std::wstring LogArgument(std::wstring_view text);
// An INFO or ERROR line of a `log` text, its %s placeholders filled with the arguments (LogArgument) in
// order.
void LogInfo(const wchar_t* key, std::initializer_list<std::wstring_view> args = {});
void LogError(const wchar_t* key, std::initializer_list<std::wstring_view> args = {});
// LogInfo with the text of its key fetched beforehand (LogText), for a line written many times in a run.
void LogInfoText(std::wstring_view text, std::initializer_list<std::wstring_view> args = {});

// Parses the process command line into `parser`; true when both options `id` and `password` are there.
// Values may be empty.
bool ParseAccountOptions(CCmdLineParser& parser);
// The value of an option, empty when it is absent.
std::wstring OptionText(const CCmdLineParser& parser, const wchar_t* name);

// "/id:<id> /password:<password>", a value in double quotes when it holds a blank so that it arrives whole.
// Nothing when a value cannot arrive whole (QuoteArgValue), since its rest would be read as other options.
std::optional<std::wstring> AccountArguments(const std::wstring& id, const std::wstring& password);

// What RunHostListUpdater gives, without starting anything, for an account that cannot be passed: the
// service could not accept it, so the callers read it as a refused account (neither 0, 202 nor 700).
constexpr int kAccountNotPassable = 1;

// Runs <root>\bin\ZorvaneHosts.exe with the account, waits for it and returns its exit code (-1 when it
// could not start, kAccountNotPassable when the account cannot be passed). With a `stop` event the run
// ends when it is set: the updater is ended and 0 is given (RunProgramWithArgsUntil).
int RunHostListUpdater(const std::wstring& root, const std::wstring& id, const std::wstring& password,
                       HANDLE stop = nullptr);
