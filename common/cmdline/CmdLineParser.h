#pragma once
// The options of a program's command line: "/name" or "-name", optionally followed by ":value"
// (a value in double quotes may hold blanks). The whole process command line is parsed, the
// program's own path included.
#include <map>
#include <string>
#include <string_view>

// Option name to value; each name at most once, the first occurrence wins.
using CmdLineOptionMap = std::map<std::wstring, std::wstring>;

class CCmdLineParser {
public:
    CCmdLineParser() = default;
    // Parses `line` when it is not null (GetCommandLineW's text in the programs).
    explicit CCmdLineParser(const wchar_t* line);
    virtual ~CCmdLineParser() = default;

    // Replaces the options with those of `line`; a null line leaves everything as it was.
    // Always returns false; callers do not test it.
    bool ParseLine(const wchar_t* line);

    // The entry of `name` (compared case-insensitively), or Options().end().
    CmdLineOptionMap::const_iterator FindOption(std::wstring_view name) const;
    // The option's value, "" for an option without one, or null when the option is absent. The text
    // stays valid while the parser lives and is not parsed again.
    const wchar_t* GetOptionValue(std::wstring_view name) const;
    bool HasOption(std::wstring_view name) const;

    const CmdLineOptionMap& Options() const { return m_options; }

private:
    std::wstring Key(std::wstring_view name) const;
    void Store(std::wstring_view name, std::wstring_view value);

    std::wstring m_line;
    CmdLineOptionMap m_options;
    bool m_caseSensitive = false;
};
