#pragma once
// The process's log writer: one UTF-8 file per day in the log folder, one time-stamped line per call.
// One thread at a time uses it (the programs log from their main thread only).
#include <cstddef>
#include <ctime>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

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
    // Writes what a batch left pending (a process that exits while one is open).
    ~CLogFile();
    CLogFile(const CLogFile&) = delete;
    CLogFile& operator=(const CLogFile&) = delete;

    // The folder that holds the day files (no folder is ever created). Returns true.
    bool SetFolder(const std::wstring& folder);
    // Below 1 nothing is written, 1 writes error lines, 2 and more also information lines.
    void SetLevel(int level);
    // Whether the level lets ERROR / INFO lines through, so a caller can skip making a line never written.
    bool WritesErrors() const { return m_level >= 1; }
    bool WritesInfo() const { return m_level >= 2; }
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
    // False when no folder is set, or the file cannot be opened or fully written. Inside a batch the line is
    // stamped now and kept for the batch's write; false then only when no folder is set.
    bool WriteLine(const std::wstring& text);

    // A batch: the lines written until the matching EndBatch (batches nest) are kept in memory and written
    // when the outermost one ends, each day file's lines in one locked append, so that many lines cost one
    // write and another program's lines still fall only between whole lines. Kept lines are also written
    // when they pass kMaxPendingBytes, at Flush and when the writer is destroyed.
    void BeginBatch();
    // False when a kept line could not be written.
    bool EndBatch();
    // Writes the kept lines now (call it before the process waits for anything, so that the file shows the
    // run so far). True when there were none or all were written; lines that could not be written stay kept
    // (up to kMaxPendingBytes) for the next write.
    bool Flush();

    static constexpr size_t kMaxPendingBytes = 1024 * 1024;

private:
    // Consecutive kept lines of one day file.
    struct Pending {
        std::wstring path;
        std::string bytes;
    };

    LogTime Now();
    // WriteLine of `kind` (ASCII) followed by `text`.
    bool WriteKindLine(std::string_view kind, std::wstring_view text);

    int m_level = 0;
    std::wstring m_folder;
    LogClock m_clock;
    int m_batches = 0;
    std::vector<Pending> m_pending;
    size_t m_pendingBytes = 0;
    // The last reading of the system clock: lines of the same second share one conversion to local time.
    std::time_t m_lastSecond = -1;
    LogTime m_lastTime;
    // The day file and the stamp (UTF-8) of the last line's time, made again when the time or folder changes.
    bool m_stampValid = false;
    LogTime m_stampTime;
    std::wstring m_stampPath;
    std::string m_stamp;
};

// Keeps the log's lines for one write while it lives (CLogFile::BeginBatch, EndBatch).
class CLogBatch {
public:
    explicit CLogBatch(CLogFile* log = CLogFile::GetInstance()) : m_log(log) { m_log->BeginBatch(); }
    ~CLogBatch() { m_log->EndBatch(); }
    CLogBatch(const CLogBatch&) = delete;
    CLogBatch& operator=(const CLogBatch&) = delete;

private:
    CLogFile* m_log;
};
