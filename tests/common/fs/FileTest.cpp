#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include "common/base/UniqueHandle.h"
#else
#include <sys/stat.h>
#endif

#include <atomic>
#include <thread>

#include "common/fs/File.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(File, WriteReplacesWholeFileAndLeavesNoTemporary) {
    ztest::TempDir dir;
    const std::wstring path = dir / L"a.xml";
    ztest::WriteBytes(path, "first version, longer");
    ztest::WriteBytes(path, "second");
    EXPECT_EQ(ztest::ReadBytes(path), "second");
    ztest::WriteBytes(path, "");
    EXPECT_EQ(ztest::ReadBytes(path), "");
    // Only the target is left in the folder.
    EXPECT_FALSE(ztest::Exists(path + L".tmp"));
}

TEST(File, FailedWriteKeepsOldFile) {
    ztest::TempDir dir;
    std::wstring error;
    EXPECT_FALSE(zfs::WriteFileAtomic(dir / L"missing\\a.xml", "x", error));
    EXPECT_FALSE(error.empty());
    // A folder in the way of the target: the write fails and the folder stays.
    ASSERT_TRUE(zfs::CreateDirectoryOne(dir / L"sub"));
    error.clear();
    EXPECT_FALSE(zfs::WriteFileAtomic(dir / L"sub", "x", error));
    EXPECT_TRUE(zfs::IsDirectory(dir / L"sub"));
}

TEST(File, UnreadableInputsReportAnError) {
    ztest::TempDir dir;
    std::string bytes = "unchanged";
    std::wstring error;
    EXPECT_FALSE(zfs::ReadFileBytes(dir / L"none.xml", bytes, error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(zfs::ReadFileBytes(dir.path(), bytes, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(bytes, "unchanged");
}

TEST(File, PipesAreRefusedInsteadOfWaitedOn) {
    // A pipe nobody writes to: reading it to its end would never return.
#ifdef _WIN32
    const std::wstring path = L"\\\\.\\pipe\\zorvane-fs-test-" + std::to_wstring(::GetCurrentProcessId());
    UniqueHandle server(::CreateNamedPipeW(path.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 0,
                                           0, nullptr));
    ASSERT_TRUE(server);
#else
    ztest::TempDir dir;
    const std::wstring path = dir.path() + L"/fifo";
    ASSERT_EQ(::mkfifo(ztest::U(path).c_str(), 0600), 0);
#endif
    std::string bytes = "unchanged";
    std::wstring error;
    EXPECT_FALSE(zfs::ReadFileBytes(path, bytes, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(bytes, "unchanged");
}

TEST(File, AppendAddsToTheEnd) {
    ztest::TempDir dir;
    const std::wstring path = dir / L"log.txt";
    EXPECT_TRUE(zfs::AppendToFile(path, "one\r\n"));
    EXPECT_TRUE(zfs::AppendToFile(path, "two\r\n"));
    EXPECT_EQ(ztest::ReadBytes(path), "one\r\ntwo\r\n");
}

TEST(File, MoveReplacesTarget) {
    ztest::TempDir dir;
    ztest::WriteBytes(dir / L"a", "new");
    ztest::WriteBytes(dir / L"b", "old");
    EXPECT_TRUE(zfs::MoveFileReplacing(dir / L"a", dir / L"b"));
    EXPECT_FALSE(zfs::FileExists(dir / L"a"));
    EXPECT_EQ(ztest::ReadBytes(dir / L"b"), "new");
}

TEST(File, MoveWithoutReplacing) {
    struct Row {
        const char* what;
        const char* from;    // null: missing
        const char* to;      // null: missing
        bool toIsFolder;
        bool moved;
    };
    const Row rows[] = {
        {"free target", "new", nullptr, false, true},
        {"existing target kept", "new", "old", false, false},
        {"folder in the way", "new", nullptr, true, false},
        {"source gone", nullptr, nullptr, false, false},
    };
    for (const Row& row : rows) {
        ztest::TempDir dir;
        const std::wstring from = dir / L"a";
        const std::wstring to = dir / L"b";
        if (row.from) ztest::WriteBytes(from, row.from);
        if (row.to) ztest::WriteBytes(to, row.to);
        if (row.toIsFolder) {
            ASSERT_TRUE(zfs::CreateDirectoryOne(to)) << row.what;
        }
        EXPECT_EQ(zfs::MoveFileNoReplace(from, to), row.moved) << row.what;
        if (row.moved) {
            EXPECT_FALSE(zfs::FileExists(from)) << row.what;
            EXPECT_EQ(ztest::ReadBytes(to), row.from) << row.what;
            continue;
        }
        if (row.from) {
            EXPECT_EQ(ztest::ReadBytes(from), row.from) << row.what;
        }
        if (row.to) {
            EXPECT_EQ(ztest::ReadBytes(to), row.to) << row.what;
        }
        EXPECT_EQ(zfs::IsDirectory(to), row.toIsFolder) << row.what;
        if (!row.to && !row.toIsFolder) {
            EXPECT_FALSE(ztest::Exists(to)) << row.what;
        }
    }
}

TEST(File, ReadStopsAtTheCap) {
    ztest::TempDir dir;
    const std::wstring path = dir / L"big.xml";
    std::string bytes;
    std::wstring error;
    ztest::WriteBytes(path, std::string(zfs::kMaxReadBytes, 'x'));
    EXPECT_TRUE(zfs::ReadFileBytes(path, bytes, error));
    EXPECT_EQ(bytes.size(), zfs::kMaxReadBytes);
    ASSERT_TRUE(zfs::AppendToFile(path, "x"));
    bytes = "unchanged";
    EXPECT_FALSE(zfs::ReadFileBytes(path, bytes, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(bytes, "unchanged");
}

TEST(FileTail, GivesTheLastBytesAndTheWholeLength) {
    std::string lines;  // numbered, so every cut is told apart by its bytes
    for (int i = 0; lines.size() < 300; ++i) lines += "line " + std::to_string(i) + "\r\n";
    const struct {
        const char* name;
        size_t size;  // of the file
        size_t maxBytes;
    } rows[] = {{"empty", 0, 100}, {"shorter", 99, 100}, {"exactly the limit", 100, 100}, {"one over", 101, 100},
                {"far over", 300, 100}, {"limit 0", 50, 0}, {"limit too large", 1, zfs::kMaxReadBytes + 1}};
    for (const auto& r : rows) {
        ztest::TempDir dir;
        ztest::WriteBytes(dir / L"day.log", lines.substr(0, r.size));
        std::string bytes = "stale";
        uint64_t length = 7;
        const bool read = zfs::ReadFileTail(dir / L"day.log", r.maxBytes, bytes, length);
        ASSERT_EQ(read, r.maxBytes <= zfs::kMaxReadBytes) << r.name;
        if (!read) continue;
        EXPECT_EQ(length, r.size) << r.name;
        const size_t kept = std::min(r.size, r.maxBytes);
        EXPECT_EQ(bytes, lines.substr(r.size - kept, kept)) << r.name;
    }
    ztest::TempDir dir;
    std::string bytes;
    uint64_t length = 0;
    EXPECT_FALSE(zfs::ReadFileTail(dir / L"missing.log", 100, bytes, length));
    EXPECT_FALSE(zfs::ReadFileTail(dir.path(), 100, bytes, length));
}

TEST(FileTail, ReadsWhileAnotherProgramAppends) {
    ztest::TempDir dir;
    const std::wstring path = dir / L"day.log";
    const std::string line = "[2024-01-01 00:00:00] [INFO] a line\r\n";
    std::string all;
    for (int i = 0; i < 400; ++i) all += line;
    ztest::WriteBytes(path, "");
#ifdef _WIN32
    // A writer that holds the file open for writing throughout, sharing everything itself.
    const DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    UniqueFile writer(::CreateFileW(path.c_str(), FILE_APPEND_DATA, shareAll, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer);
#endif
    std::atomic<bool> done{false};
    std::thread appender([&] {
        for (size_t at = 0; at < all.size(); at += line.size()) zfs::AppendToFile(path, line);
        done = true;
    });
    // Each read is the last min(length, 1000) bytes of `length` bytes of lines.
    uint64_t length = 0;
    for (bool last = false; !last;) {
        last = done;  // a read begun after the last append sees them all
        std::string bytes;
        const bool read = zfs::ReadFileTail(path, 1000, bytes, length);
        if (!read || length > all.size() || bytes.size() != std::min<uint64_t>(length, 1000) ||
            bytes != all.substr(length - bytes.size(), bytes.size())) {
            ADD_FAILURE() << "read " << read << ": " << bytes.size() << " of " << length;
            break;
        }
    }
    appender.join();
    EXPECT_EQ(length, all.size());
}

}  // namespace
