#include "common/log/LogFile.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <cwchar>
#include <memory>
#include <utility>

#include "common/base/Singleton.h"
#include "common/fs/File.h"
#include "common/text/TextFormat.h"
#include "common/text/Utf.h"

namespace {

// The six fields are ints, each at most 11 characters: the formats below never fill the buffer.
constexpr size_t kStampBuffer = 96;

std::wstring DayFileName(const LogTime& t) {
    wchar_t buffer[kStampBuffer];
    const int n = std::swprintf(buffer, kStampBuffer, L"%04d%02d%02d.log", t.year, t.month, t.day);
    return n < 0 ? std::wstring() : std::wstring(buffer, static_cast<size_t>(n));
}

// "[YYYY-MM-DD hh:mm:ss] "; empty when it cannot be formatted.
std::string Stamp(const LogTime& t) {
    char buffer[kStampBuffer];
    const int n = std::snprintf(buffer, kStampBuffer, "[%04d-%02d-%02d %02d:%02d:%02d] ", t.year, t.month, t.day,
                                t.hour, t.minute, t.second);
    return n < 0 ? std::string() : std::string(buffer, static_cast<size_t>(n));
}

bool SameTime(const LogTime& a, const LogTime& b) {
    return a.second == b.second && a.minute == b.minute && a.hour == b.hour && a.day == b.day &&
           a.month == b.month && a.year == b.year;
}

// The system clock in whole seconds since 1970, as time() gives it. The C library's time() takes microseconds
// (it reads the time zone each call), too much for a line of a long batch: the system time is read directly.
std::time_t SecondsNow() {
#ifdef _WIN32
    constexpr uint64_t kTicksTo1970 = 116444736000000000ull;  // 100 ns ticks from 1601 to 1970
    constexpr uint64_t kTicksPerSecond = 10000000ull;
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    const uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    if (ticks < kTicksTo1970) return static_cast<std::time_t>(-1);
    return static_cast<std::time_t>((ticks - kTicksTo1970) / kTicksPerSecond);
#else
    return std::time(nullptr);
#endif
}

LogTime LocalTimeAt(std::time_t now) {
    LogTime t;
    if (now == static_cast<std::time_t>(-1)) return t;
    std::tm tm{};
#ifdef _WIN32
    if (localtime_s(&tm, &now) != 0) return t;
#else
    if (localtime_r(&now, &tm) == nullptr) return t;
#endif
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    return t;
}

}  // namespace

LogTime LocalTimeNow() { return LocalTimeAt(std::time(nullptr)); }

CLogFile* CLogFile::GetInstance() {
    return ProcessInstance<CLogFile>();
}

bool CLogFile::SetFolder(const std::wstring& folder) {
    m_folder = folder;
    m_stampValid = false;
    return true;
}

void CLogFile::SetLevel(int level) { m_level = level; }

void CLogFile::SetClock(LogClock clock) { m_clock = std::move(clock); }

CLogFile::~CLogFile() { Flush(); }

LogTime CLogFile::Now() {
    if (m_clock) return m_clock();
    const std::time_t now = SecondsNow();
    if (now != m_lastSecond || now == static_cast<std::time_t>(-1)) {
        m_lastTime = LocalTimeAt(now);
        m_lastSecond = now;
    }
    return m_lastTime;
}

std::wstring CLogFile::GetTodayFileName() const {
    return DayFileName(m_clock ? m_clock() : LocalTimeNow());
}

bool CLogFile::WriteError(const std::wstring& message) {
    if (!WritesErrors()) return true;
    return WriteKindLine("[ERROR] ", message);
}

bool CLogFile::WriteInfo(const std::wstring& message) {
    if (!WritesInfo()) return true;
    return WriteKindLine("[INFO] ", message);
}

bool CLogFile::WriteError(std::wstring_view text, std::initializer_list<std::wstring_view> args) {
    if (!WritesErrors()) return true;
    return WriteError(FormatText(text, args));
}

bool CLogFile::WriteInfo(std::wstring_view text, std::initializer_list<std::wstring_view> args) {
    if (!WritesInfo()) return true;
    return WriteInfo(FormatText(text, args));
}

bool CLogFile::WriteLine(const std::wstring& text) { return WriteKindLine(std::string_view(), text); }

bool CLogFile::WriteKindLine(std::string_view kind, std::wstring_view text) {
    // Without a folder the path would name the root of the drive.
    if (m_folder.empty()) return false;
    // One reading of the clock names both the file and the stamp, so a line written at midnight
    // lands in the file of the date it shows.
    const LogTime now = Now();
    if (!m_stampValid || !SameTime(now, m_stampTime)) {
        m_stampPath = m_folder + L"\\" + DayFileName(now);
        m_stamp = Stamp(now);
        m_stampTime = now;
        m_stampValid = true;
    }
    std::string line;
    std::string* out = &line;
    if (m_batches > 0) {
        if (m_pending.empty() || m_pending.back().path != m_stampPath) {
            m_pending.push_back({m_stampPath, std::string()});
        }
        out = &m_pending.back().bytes;
    }
    const size_t before = out->size();
    // A stamp that cannot be formatted leaves the whole line empty.
    if (!m_stamp.empty()) {
        out->append(m_stamp);
        out->append(kind);
        AppendWideAsUtf8(*out, text);
        out->append("\r\n");
    }
    if (m_batches == 0) return zfs::AppendToFile(m_stampPath, line);
    m_pendingBytes += out->size() - before;
    return m_pendingBytes < kMaxPendingBytes || Flush();
}

void CLogFile::BeginBatch() { ++m_batches; }

bool CLogFile::EndBatch() {
    if (m_batches > 0) --m_batches;
    return m_batches > 0 || Flush();
}

bool CLogFile::Flush() {
    bool ok = true;
    // Lines that cannot be written now are kept for the next write, up to kMaxPendingBytes of them.
    std::vector<Pending> kept;
    size_t keptBytes = 0;
    for (Pending& pending : m_pending) {
        if (zfs::AppendToFile(pending.path, pending.bytes)) continue;
        ok = false;
        if (keptBytes + pending.bytes.size() > kMaxPendingBytes) continue;
        keptBytes += pending.bytes.size();
        kept.push_back(std::move(pending));
    }
    m_pending = std::move(kept);
    m_pendingBytes = keptBytes;
    return ok;
}
