#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include "common/framework/UniqueHandle.h"
#else
#include <sys/stat.h>
#endif

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

}  // namespace
