#pragma once
// The process's log writer: one UTF-8 file per day in the log folder, one time-stamped line per call.
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

// A local date and time as the log shows it (month 1-12, hour 0-23).
struct LogTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Where the log takes the time from; tests set their own.
using LogClock = std::function<LogTime()>;

// The system clock in local time.
LogTime LocalTimeNow();

class CLogFile {
public:
    // The process's one log writer, created on first use and freed at exit.
    static CLogFile* GetInstance();

    CLogFile() = default;
    CLogFile(const CLogFile&) = delete;
    CLogFile& operator=(const CLogFile&) = delete;

    // The folder that holds the day files (no folder is ever created). Returns true.
    bool SetFolder(const std::wstring& folder);
    // Below 1 nothing is written, 1 writes error lines, 2 and more also information lines.
    void SetLevel(int level);
    // Replaces the time source; an empty clock restores the system's local time.
    void SetClock(LogClock clock);

    // "YYYYMMDD.log" for the current date, without the folder.
    std::wstring GetTodayFileName() const;

    // A "[ERROR] " line at level 1 or more. A line that the level filters out counts as success.
    bool WriteError(const std::wstring& message);
    // A "[INFO] " line at level 2 or more.
    bool WriteInfo(const std::wstring& message);
    // The same with a language text whose "%s" placeholders take the arguments in order (FormatText).
    bool WriteError(std::wstring_view text, std::initializer_list<std::wstring_view> args);
    bool WriteInfo(std::wstring_view text, std::initializer_list<std::wstring_view> args);

    // Appends "[YYYY-MM-DD hh:mm:ss] text" and CR LF to the file of the line's own date, in one write.
    // False when no folder is set, or the file cannot be opened or fully written.
    bool WriteLine(const std::wstring& text);

private:
    LogTime Now() const;

    int m_level = 0;
    std::wstring m_folder;
    LogClock m_clock;
};
