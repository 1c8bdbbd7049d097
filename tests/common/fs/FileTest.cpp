#include <gtest/gtest.h>

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
