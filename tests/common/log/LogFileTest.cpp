#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/fs/File.h"
#include "common/log/LogFile.h"
#include "tests/support/TestSupport.h"

namespace {

using ztest::ReadBytes;
using ztest::TempDir;

LogClock FixedClock(LogTime t) {
    return [t] { return t; };
}

const LogTime kMorning{2024, 1, 5, 9, 3, 7};

TEST(LogFile, LevelDecidesWhichLinesAreWritten) {
    struct Row {
        int level;
        std::string expected;
    };
    const Row rows[] = {
        {-1, ""},
        {0, ""},
        {1, "[2024-01-05 09:03:07] [ERROR] e\r\n"},
        {2, "[2024-01-05 09:03:07] [ERROR] e\r\n[2024-01-05 09:03:07] [INFO] i\r\n"},
        {3, "[2024-01-05 09:03:07] [ERROR] e\r\n[2024-01-05 09:03:07] [INFO] i\r\n"},
    };
    for (const Row& r : rows) {
        TempDir dir;
        CLogFile log;
        log.SetFolder(dir.path());
        log.SetClock(FixedClock(kMorning));
        log.SetLevel(r.level);
        EXPECT_TRUE(log.WriteError(L"e")) << r.level;
        EXPECT_TRUE(log.WriteInfo(L"i")) << r.level;
        const std::wstring file = dir / L"20240105.log";
        if (r.expected.empty()) {
            EXPECT_FALSE(ztest::Exists(file)) << r.level;
        } else {
            EXPECT_EQ(ReadBytes(file), r.expected) << r.level;
        }
    }
}

TEST(LogFile, StampAndFileNameComeFromTheClock) {
    struct Row {
        LogTime time;
        const wchar_t* file;
        const char* stamp;
    };
    const Row rows[] = {
        {kMorning, L"20240105.log", "[2024-01-05 09:03:07] "},
        {{1999, 12, 31, 23, 59, 59}, L"19991231.log", "[1999-12-31 23:59:59] "},
        {{987, 10, 1, 0, 0, 0}, L"09871001.log", "[0987-10-01 00:00:00] "},
        {{12345, 1, 2, 3, 4, 5}, L"123450102.log", "[12345-01-02 03:04:05] "},
    };
    for (const Row& r : rows) {
        TempDir dir;
        CLogFile log;
        log.SetFolder(dir.path());
        log.SetClock(FixedClock(r.time));
        EXPECT_EQ(log.GetTodayFileName(), r.file) << r.stamp;
        EXPECT_TRUE(log.WriteLine(L"text")) << r.stamp;
        EXPECT_EQ(ReadBytes(dir / r.file), std::string(r.stamp) + "text\r\n");
    }
}

// Non-ASCII text is stored as UTF-8 without a byte-order mark; language texts take their arguments through
// FormatText, never as printf formats, and a message without arguments is written as it stands.
TEST(LogFile, MessagesAreWrittenAsUtf8Text) {
    TempDir dir;
    CLogFile log;
    log.SetFolder(dir.path());
    log.SetLevel(2);
    log.SetClock(FixedClock(kMorning));
    // Hangul, e acute and the surrogate pair of U+1F600.
    const std::wstring wide = {0xD55C, 0x00E9, L' ', 0xD83D, 0xDE00};
    EXPECT_TRUE(log.WriteInfo(wide));
    EXPECT_TRUE(log.WriteInfo(L"update %s to %s (100%%)", {L"a.example", L"10.0.0.1"}));
    EXPECT_TRUE(log.WriteError(L"%n%s%s%x", {L"only"}));
    EXPECT_TRUE(log.WriteInfo(L"kept as is: %s 100%%"));
    EXPECT_EQ(ReadBytes(dir / L"20240105.log"),
              "[2024-01-05 09:03:07] [INFO] \xED\x95\x9C\xC3\xA9 \xF0\x9F\x98\x80\r\n"
              "[2024-01-05 09:03:07] [INFO] update a.example to 10.0.0.1 (100%)\r\n"
              "[2024-01-05 09:03:07] [ERROR] %nonly%x\r\n"
              "[2024-01-05 09:03:07] [INFO] kept as is: %s 100%%\r\n");
}

// A clock that steps over midnight between two readings: a writer that read it twice per line would
// put the line stamped 23:59:59 into the next day's file.
TEST(LogFile, LineAtMidnightGoesToTheFileItsStampNames) {
    TempDir dir;
    CLogFile log;
    log.SetFolder(dir.path());
    const std::vector<LogTime> readings = {
        {2024, 12, 31, 23, 59, 59}, {2025, 1, 1, 0, 0, 0}, {2025, 1, 1, 0, 0, 1}, {2025, 1, 1, 0, 0, 2}};
    size_t reads = 0;
    log.SetClock([&] { return readings[reads < readings.size() - 1 ? reads++ : reads]; });

    EXPECT_TRUE(log.WriteLine(L"old year"));
    EXPECT_EQ(reads, 1u);
    EXPECT_FALSE(ztest::Exists(dir / L"20250101.log"));
    EXPECT_TRUE(log.WriteLine(L"new year"));
    EXPECT_EQ(reads, 2u);
    EXPECT_EQ(ReadBytes(dir / L"20241231.log"), "[2024-12-31 23:59:59] old year\r\n");
    EXPECT_EQ(ReadBytes(dir / L"20250101.log"), "[2025-01-01 00:00:00] new year\r\n");
}

// Lines of a batch keep their own stamps and files, and reach the files only when the outermost batch ends,
// at Flush, past kMaxPendingBytes, or when the writer goes.
TEST(LogFile, BatchKeepsLinesUntilItsWrite) {
    TempDir dir;
    const std::wstring day1 = dir / L"20241231.log", day2 = dir / L"20250101.log";
    const std::vector<LogTime> readings = {
        {2024, 12, 31, 23, 59, 58}, {2024, 12, 31, 23, 59, 59}, {2025, 1, 1, 0, 0, 0}, {2025, 1, 1, 0, 0, 1}};
    size_t reads = 0;
    {
        CLogFile log;
        log.SetFolder(dir.path());
        log.SetLevel(2);
        log.SetClock([&] { return readings[reads < readings.size() - 1 ? reads++ : reads]; });
        {
            const CLogBatch outer(&log);
            EXPECT_TRUE(log.WriteInfo(L"a"));
            {
                const CLogBatch inner(&log);
                EXPECT_TRUE(log.WriteError(L"b"));
            }
            EXPECT_FALSE(ztest::Exists(day1));
            EXPECT_TRUE(log.WriteInfo(L"c"));
        }
        EXPECT_EQ(ReadBytes(day1), "[2024-12-31 23:59:58] [INFO] a\r\n[2024-12-31 23:59:59] [ERROR] b\r\n");
        EXPECT_EQ(ReadBytes(day2), "[2025-01-01 00:00:00] [INFO] c\r\n");

        log.BeginBatch();
        EXPECT_TRUE(log.WriteInfo(L"d"));
        EXPECT_TRUE(log.Flush());
        EXPECT_EQ(ReadBytes(day2), "[2025-01-01 00:00:00] [INFO] c\r\n[2025-01-01 00:00:01] [INFO] d\r\n");
        EXPECT_TRUE(log.WriteInfo(L"e"));
        // Still in the batch when the writer goes.
    }
    EXPECT_EQ(ReadBytes(day2), "[2025-01-01 00:00:00] [INFO] c\r\n[2025-01-01 00:00:01] [INFO] d\r\n"
                               "[2025-01-01 00:00:01] [INFO] e\r\n");

    // A batch whose file cannot be written yet keeps its lines for the next write.
    {
        const std::wstring later = dir / L"later";
        CLogFile log;
        log.SetFolder(later);
        log.SetLevel(2);
        log.SetClock(FixedClock(kMorning));
        log.BeginBatch();
        EXPECT_TRUE(log.WriteInfo(L"kept"));
        EXPECT_FALSE(log.EndBatch());
        ASSERT_TRUE(zfs::CreateDirectoryOne(later));
        EXPECT_TRUE(log.Flush());
        EXPECT_EQ(ReadBytes(dir / L"later\\20240105.log"), "[2024-01-05 09:03:07] [INFO] kept\r\n");
    }

    CLogFile big;
    big.SetFolder(dir.path());
    big.SetLevel(2);
    big.SetClock(FixedClock(kMorning));
    const CLogBatch batch(&big);
    const std::wstring line(1000, L'x');
    for (size_t n = 0; !ztest::Exists(dir / L"20240105.log") && n < 2 * CLogFile::kMaxPendingBytes / line.size();
         ++n) {
        EXPECT_TRUE(big.WriteInfo(line));
    }
    EXPECT_GE(ReadBytes(dir / L"20240105.log").size(), CLogFile::kMaxPendingBytes);
}

TEST(LogFile, MissingFolderFailsAndCreatesNothing) {
    TempDir dir;
    const std::wstring folders[] = {dir / L"missing", dir / L"missing\\deeper", L""};
    for (const std::wstring& folder : folders) {
        CLogFile log;
        log.SetFolder(folder);
        log.SetLevel(2);
        log.SetClock(FixedClock(kMorning));
        EXPECT_FALSE(log.WriteLine(L"x")) << ztest::U(folder);
        EXPECT_FALSE(log.WriteError(L"x")) << ztest::U(folder);
        EXPECT_FALSE(log.WriteInfo(L"x")) << ztest::U(folder);
        // Filtered lines still count as success.
        log.SetLevel(0);
        EXPECT_TRUE(log.WriteError(L"x")) << ztest::U(folder);
    }
    EXPECT_FALSE(zfs::IsDirectory(dir / L"missing"));
    EXPECT_FALSE(ztest::Exists(L"\\20240105.log"));
}

// The file of a second is remembered between lines: a folder set within that second still takes the next line.
TEST(LogFile, LineGoesToTheFolderSetLast) {
    TempDir first, second;
    CLogFile log;
    log.SetClock(FixedClock(kMorning));
    log.SetFolder(first.path());
    EXPECT_TRUE(log.WriteLine(L"one"));
    log.SetFolder(second.path());
    EXPECT_TRUE(log.WriteLine(L"two"));
    EXPECT_EQ(ReadBytes(first / L"20240105.log"), "[2024-01-05 09:03:07] one\r\n");
    EXPECT_EQ(ReadBytes(second / L"20240105.log"), "[2024-01-05 09:03:07] two\r\n");
}

TEST(LogFile, SystemClockNamesTheFileOfTheStamp) {
    TempDir dir;
    CLogFile& log = *CLogFile::GetInstance();
    EXPECT_EQ(&log, CLogFile::GetInstance());
    log.SetFolder(dir.path());
    log.SetLevel(2);
    std::wstring name;
    do {  // retried only when the date changes while the line is written
        name = log.GetTodayFileName();
        ASSERT_TRUE(log.WriteInfo(L"now"));
    } while (name != log.GetTodayFileName());
    const std::string text = ReadBytes(dir / name);
    ASSERT_GE(text.size(), 12u);
    const std::string stampDate = text.substr(1, 4) + text.substr(6, 2) + text.substr(9, 2);
    EXPECT_EQ(ztest::U(name), stampDate + ".log");
    log.SetFolder(L"");
    log.SetLevel(0);
}

}  // namespace
