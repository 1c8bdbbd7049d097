#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include "common/base/UniqueHandle.h"
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

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

TEST(File, MoveIfSameMovesOnlyTheFileThatWasRead) {
    enum class Since { Nothing, Replaced, Grown, MovedAway, Deleted };
    struct Row {
        const char* what;
        Since since;          // what happened at the path after the read
        const char* target;   // standing at the target before the move (null: nothing)
        bool replace;
        bool moved;
        const char* left;     // at the path afterwards (null: nothing)
    };
    const Row rows[] = {
        {"unchanged", Since::Nothing, nullptr, false, true, nullptr},
        {"replaced by another program's write", Since::Replaced, nullptr, false, false, "default"},
        {"grown in place", Since::Grown, nullptr, false, false, "damaged!"},
        {"moved away by another program", Since::MovedAway, nullptr, false, false, nullptr},
        {"deleted", Since::Deleted, nullptr, false, false, nullptr},
        {"target taken", Since::Nothing, "earlier", false, false, "damaged"},
        {"target replaced when asked", Since::Nothing, "earlier", true, true, nullptr},
    };
    for (const Row& row : rows) {
        ztest::TempDir dir;
        const std::wstring path = dir / L"config.xml";
        const std::wstring to = dir / L"config.xml.bad";
        ztest::WriteBytes(path, "damaged");
        if (row.target) ztest::WriteBytes(to, row.target);
        std::string bytes;
        std::wstring error;
        zfs::FileId id;
        ASSERT_TRUE(zfs::ReadFileBytes(path, bytes, error, &id)) << row.what;
        ASSERT_TRUE(id.known) << row.what;
        switch (row.since) {
        case Since::Nothing: break;
        case Since::Replaced: ztest::WriteBytes(path, "default"); break;
        case Since::Grown: ASSERT_TRUE(zfs::AppendToFile(path, "!")) << row.what; break;
        case Since::MovedAway: ASSERT_TRUE(zfs::MoveFileNoReplace(path, dir / L"elsewhere")) << row.what; break;
        case Since::Deleted: ASSERT_TRUE(zfs::DeleteFileAt(path)) << row.what; break;
        }
        EXPECT_EQ(zfs::MoveFileIfSame(path, to, id, row.replace), row.moved) << row.what;
        EXPECT_EQ(ztest::Exists(path), row.left != nullptr) << row.what;
        if (row.left) {
            EXPECT_EQ(ztest::ReadBytes(path), row.left) << row.what;
        }
        const char* atTarget = row.moved ? "damaged" : row.target;
        EXPECT_EQ(ztest::Exists(to), atTarget != nullptr) << row.what;
        if (atTarget) {
            EXPECT_EQ(ztest::ReadBytes(to), atTarget) << row.what;
        }
        if (row.since == Since::MovedAway) {
            EXPECT_EQ(ztest::ReadBytes(dir / L"elsewhere"), "damaged") << row.what;
        }
    }

    // No file read, no file moved.
    ztest::TempDir dir;
    std::string bytes;
    std::wstring error;
    zfs::FileId id;
    EXPECT_FALSE(zfs::ReadFileBytes(dir / L"config.xml", bytes, error, &id));
    EXPECT_FALSE(id.known);
    ztest::WriteBytes(dir / L"config.xml", "x");
    EXPECT_FALSE(zfs::MoveFileIfSame(dir / L"config.xml", dir / L"config.xml.bad", id, false));
    EXPECT_EQ(ztest::ReadBytes(dir / L"config.xml"), "x");
}

// A process id that no process has on either system (Windows ids are multiples of 4 below 2^32, Linux ids
// stay below 2^22).
constexpr uint32_t kNoSuchPid = 2147483644u;

uint32_t OwnPid() {
#ifdef _WIN32
    return ::GetCurrentProcessId();
#else
    return static_cast<uint32_t>(::getpid());
#endif
}

// Holds a file open as its writer does while it writes.
class WriterHold {
public:
    explicit WriterHold(const std::wstring& path) {
#ifdef _WIN32
        m_file.reset(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
        EXPECT_TRUE(m_file);
#else
        std::string native = ztest::U(path);
        for (char& c : native) {
            if (c == '\\') c = '/';
        }
        m_fd = ::open(native.c_str(), O_WRONLY);
        EXPECT_TRUE(m_fd >= 0 && ::flock(m_fd, LOCK_EX) == 0);
#endif
    }
    ~WriterHold() {
#ifndef _WIN32
        if (m_fd >= 0) ::close(m_fd);
#endif
    }
    WriterHold(const WriterHold&) = delete;
    WriterHold& operator=(const WriterHold&) = delete;

private:
#ifdef _WIN32
    UniqueFile m_file;
#else
    int m_fd = -1;
#endif
};

TEST(File, SaveRemovesOnlyTheTemporaryFilesOfKilledWriters) {
    const std::wstring dead = std::to_wstring(kNoSuchPid);
    const std::wstring own = std::to_wstring(OwnPid());
    const int kOld = 3600;
    struct Row {
        const char* what;
        std::wstring name;
        int age;       // seconds since its last write
        bool folder;
        bool held;     // open by its writer
        bool removed;
    };
    const Row rows[] = {
        {"killed writer", L"config.xml.tmp" + dead + L"-0", kOld, false, false, true},
        {"killed writer, a later write", L"config.xml.tmp" + dead + L"-17", zfs::kStaleTempSeconds + 30, false, false,
         true},
        {"killed writer, written just now", L"config.xml.tmp" + dead + L"-1", 0, false, false, false},
        {"running writer", L"config.xml.tmp" + own + L"-2", kOld, false, false, false},
        {"held open by a writer elsewhere", L"config.xml.tmp" + dead + L"-3", kOld, false, true, false},
        {"folder", L"config.xml.tmp" + dead + L"-4", kOld, true, false, false},
        {"no count", L"config.xml.tmp" + dead, kOld, false, false, false},
        {"no pid", L"config.xml.tmp-5", kOld, false, false, false},
        {"pid 0", L"config.xml.tmp0-5", kOld, false, false, false},
        {"pid over 32 bits", L"config.xml.tmp4294967296-5", kOld, false, false, false},
        {"more after the count", L"config.xml.tmp" + dead + L"-5x", kOld, false, false, false},
        {"bare suffix", L"config.xml.tmp", kOld, false, false, false},
        {"another file's", L"user.xml.tmp" + dead + L"-0", kOld, false, false, false},
        {"kept damaged copy", L"config.xml.bad", kOld, false, false, false},
    };
    ztest::TempDir dir;
    std::vector<std::unique_ptr<WriterHold>> holds;
    for (const Row& row : rows) {
        const std::wstring file = dir / row.name;
        if (row.folder) {
            ASSERT_TRUE(zfs::CreateDirectoryOne(file)) << row.what;
        } else {
            ztest::WriteBytes(file, "<zorvane>");
        }
        ztest::SetFileAge(file, row.age);
        if (row.held) holds.push_back(std::make_unique<WriterHold>(file));
    }
    ztest::WriteBytes(dir / L"config.xml", "<zorvane/>");
    for (const Row& row : rows) {
        EXPECT_EQ(ztest::Exists(dir / row.name), !row.removed) << row.what;
    }
    EXPECT_EQ(ztest::ReadBytes(dir / L"config.xml"), "<zorvane/>");
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
