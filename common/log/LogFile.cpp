#include "common/log/LogFile.h"

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

std::wstring StampedLine(const LogTime& t, const std::wstring& text) {
    wchar_t buffer[kStampBuffer];
    const int n = std::swprintf(buffer, kStampBuffer, L"[%04d-%02d-%02d %02d:%02d:%02d] ", t.year, t.month, t.day,
                                t.hour, t.minute, t.second);
    if (n < 0) return std::wstring();
    return std::wstring(buffer, static_cast<size_t>(n)) + text + L"\r\n";
}

}  // namespace

namespace {

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
    return true;
}

void CLogFile::SetLevel(int level) { m_level = level; }

void CLogFile::SetClock(LogClock clock) { m_clock = std::move(clock); }

CLogFile::~CLogFile() { Flush(); }

LogTime CLogFile::Now() {
    if (m_clock) return m_clock();
    const std::time_t now = std::time(nullptr);
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
    if (m_level < 1) return true;
    return WriteLine(L"[ERROR] " + message);
}

bool CLogFile::WriteInfo(const std::wstring& message) {
    if (m_level < 2) return true;
    return WriteLine(L"[INFO] " + message);
}

bool CLogFile::WriteError(std::wstring_view text, std::initializer_list<std::wstring_view> args) {
    if (m_level < 1) return true;
    return WriteError(FormatText(text, args));
}

bool CLogFile::WriteInfo(std::wstring_view text, std::initializer_list<std::wstring_view> args) {
    if (m_level < 2) return true;
    return WriteInfo(FormatText(text, args));
}

bool CLogFile::WriteLine(const std::wstring& text) {
    // Without a folder the path would name the root of the drive.
    if (m_folder.empty()) return false;
    // One reading of the clock names both the file and the stamp, so a line written at midnight
    // lands in the file of the date it shows.
    const LogTime now = Now();
    std::wstring path = m_folder + L"\\" + DayFileName(now);
    std::string line = WideToUtf8(StampedLine(now, text));
    if (m_batches == 0) return zfs::AppendToFile(path, line);
    if (m_pending.empty() || m_pending.back().path != path) {
        m_pending.push_back({std::move(path), std::string()});
    }
    m_pending.back().bytes += line;
    m_pendingBytes += line.size();
    return m_pendingBytes < kMaxPendingBytes || Flush();
}

void CLogFile::BeginBatch() { ++m_batches; }

bool CLogFile::EndBatch() {
    if (m_batches > 0) --m_batches;
    return m_batches > 0 || Flush();
}

bool CLogFile::Flush() {
    bool ok = true;
    for (const Pending& pending : m_pending) {
        if (!zfs::AppendToFile(pending.path, pending.bytes)) ok = false;
    }
    m_pending.clear();
    m_pendingBytes = 0;
    return ok;
}
