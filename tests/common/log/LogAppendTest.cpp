// Two processes append to the same day file at once, line by line and in batches; every line of both arrives
// whole.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

#include "common/base/UniqueHandle.h"
#include "common/log/LogFile.h"
#include "tests/support/TestSupport.h"

namespace {

// Set in the environment of the second process: the folder it logs into, and how many lines it writes per
// batch.
constexpr wchar_t kChildFolderVar[] = L"ZORVANE_LOG_APPEND_CHILD";
constexpr wchar_t kChildBatchVar[] = L"ZORVANE_LOG_APPEND_BATCH";
constexpr int kChildLines = 400;
constexpr int kMaxParentLines = 100000;

const LogTime kStamp{2024, 3, 9, 12, 0, 0};

void PrepareLog(CLogFile& log, const std::wstring& folder) {
    log.SetFolder(folder);
    log.SetLevel(2);
    log.SetClock([] { return kStamp; });
}

// The second process's part; skipped in an ordinary run.
TEST(LogAppendChild, WritesItsLines) {
    const wchar_t* folder = _wgetenv(kChildFolderVar);
    if (folder == nullptr || *folder == 0) GTEST_SKIP() << "runs only as the second process";
    const wchar_t* batchText = _wgetenv(kChildBatchVar);
    const int batch = batchText ? _wtoi(batchText) : 0;
    CLogFile log;
    PrepareLog(log, folder);
    for (int i = 0; i < kChildLines; ++i) {
        if (batch > 1 && i % batch == 0) log.BeginBatch();
        ASSERT_TRUE(log.WriteInfo(L"child " + std::to_wstring(i)));
        if (batch > 1 && (i % batch == batch - 1 || i == kChildLines - 1)) {
            ASSERT_TRUE(log.EndBatch());
        }
    }
}

UniqueHandle StartChild(const std::wstring& folder, int batch) {
    wchar_t exe[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(nullptr, exe, static_cast<DWORD>(sizeof exe / sizeof exe[0]));
    if (n == 0 || n >= sizeof exe / sizeof exe[0]) return UniqueHandle();
    std::wstring command = L"\"" + std::wstring(exe) + L"\" --gtest_filter=LogAppendChild.*";
    ::SetEnvironmentVariableW(kChildFolderVar, folder.c_str());
    ::SetEnvironmentVariableW(kChildBatchVar, std::to_wstring(batch).c_str());
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const BOOL started = ::CreateProcessW(exe, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    ::SetEnvironmentVariableW(kChildFolderVar, nullptr);
    ::SetEnvironmentVariableW(kChildBatchVar, nullptr);
    if (!started) return UniqueHandle();
    ::CloseHandle(pi.hThread);
    return UniqueHandle(pi.hProcess);
}

void CheckTwoWriters(int childBatch) {
    ztest::TempDir dir;
    CLogFile log;
    PrepareLog(log, dir.path());
    UniqueHandle child = StartChild(dir.path(), childBatch);
    ASSERT_TRUE(child) << "cannot start the second process";

    // Keep writing for as long as the child runs, so the two writers overlap whatever its start-up takes.
    int parentLines = 0;
    while (::WaitForSingleObject(child.get(), 0) == WAIT_TIMEOUT && parentLines < kMaxParentLines) {
        ASSERT_TRUE(log.WriteInfo(L"parent " + std::to_wstring(parentLines)));
        ++parentLines;
    }
    ASSERT_EQ(::WaitForSingleObject(child.get(), 30000), WAIT_OBJECT_0);
    DWORD code = 1;
    ASSERT_TRUE(::GetExitCodeProcess(child.get(), &code));
    EXPECT_EQ(code, 0u);

    const std::string text = ztest::ReadBytes(dir / L"20240309.log");
    const std::string prefix = "[2024-03-09 12:00:00] [INFO] ";
    std::map<std::string, int> seen;
    size_t start = 0;
    int lines = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "unterminated line at " << start;
        const std::string line = text.substr(start, end - start);
        ASSERT_EQ(line.compare(0, prefix.size(), prefix), 0) << "broken line: " << line;
        ++seen[line.substr(prefix.size())];
        ++lines;
        start = end + 2;
    }
    EXPECT_EQ(lines, parentLines + kChildLines);
    for (int i = 0; i < kChildLines; ++i) EXPECT_EQ(seen["child " + std::to_string(i)], 1) << i;
    for (int i = 0; i < parentLines; ++i) EXPECT_EQ(seen["parent " + std::to_string(i)], 1) << i;
    // The test means something only when the parent wrote while the child did.
    EXPECT_GT(parentLines, 0);
}

TEST(LogAppend, TwoProcessesLoseNoLine) {
    for (int childBatch : {1, 25}) {
        SCOPED_TRACE("child batch " + std::to_string(childBatch));
        CheckTwoWriters(childBatch);
    }
}

}  // namespace
