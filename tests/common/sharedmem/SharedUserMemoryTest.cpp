#include <gtest/gtest.h>

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <string>

#include "common/base/UniqueHandle.h"
#include "common/sharedmem/SharedUserMemory.h"
#include "common/suite/SuiteContract.h"
#include "tests/support/ProcessSupport.h"

namespace {

constexpr wchar_t kChildAction[] = L"ZORVANE_SHARED_CHILD";
// The exit code of a child whose action ran and passed (a child that skipped its action ends with 0).
constexpr int kChildDone = 3;

std::wstring Env(const wchar_t* name) {
    wchar_t buffer[1024] = {};
    const DWORD n = ::GetEnvironmentVariableW(name, buffer, 1024);
    return n > 0 && n < 1024 ? std::wstring(buffer, n) : std::wstring();
}

// Runs this test program again as another process that does `action` (see SharedUserMemoryChild) on the
// block; gives the child's exit code (kChildDone when its action ran and passed), or -1 when it could not run.
int RunChild(const std::wstring& action) {
    wchar_t self[MAX_PATH] = {};
    if (::GetModuleFileNameW(nullptr, self, MAX_PATH) == 0) return -1;
    ::SetEnvironmentVariableW(kChildAction, action.c_str());
    ztest::ChildProcess child(self, L"--gtest_filter=SharedUserMemoryChild.* --gtest_color=no");
    ::SetEnvironmentVariableW(kChildAction, nullptr);
    DWORD code = 0;
    return child.Wait(60000, &code) ? static_cast<int>(code) : -1;
}

// The other side of the two-process tests; skipped unless started by RunChild.
//   write:<id>   opens the block, writes <id> and the password "pw", closes it
//   expect:<id>  opens the block and checks that it holds <id>
TEST(SharedUserMemoryChild, Act) {
    const std::wstring action = Env(kChildAction);
    if (action.empty()) GTEST_SKIP() << "runs only as a child process";
    CSharedUserMemory block;
    ASSERT_TRUE(block.Open());
    if (action.rfind(L"write:", 0) == 0) {
        EXPECT_TRUE(block.SetId(action.substr(6)));
        EXPECT_TRUE(block.SetPassword(L"pw"));
    } else if (action.rfind(L"expect:", 0) == 0) {
        EXPECT_EQ(block.GetId(), action.substr(7));
    } else {
        FAIL() << "unknown action";
    }
    block.Close();
    if (!HasFailure()) ::ExitProcess(kChildDone);
}

TEST(SharedUserMemory, BlockWrittenByOneProcessIsReadByAnother) {
    CSharedUserMemory block;
    ASSERT_TRUE(block.Open());
    ASSERT_EQ(RunChild(L"write:written-by-child"), kChildDone);
    EXPECT_EQ(block.GetId(), L"written-by-child");
    EXPECT_EQ(block.GetPassword(), L"pw");

    ASSERT_TRUE(block.SetId(L"written-by-parent"));
    EXPECT_EQ(RunChild(L"expect:written-by-parent"), kChildDone);
    block.Close();
}

TEST(SharedUserMemory, BlockEndsWithItsLastHandle) {
    // Written by a process that then ends, with no one else holding it: gone.
    ASSERT_EQ(RunChild(L"write:short-lived"), kChildDone);
    CSharedUserMemory first;
    EXPECT_FALSE(first.SetId(L"not open"));
    ASSERT_TRUE(first.Open());
    EXPECT_EQ(first.GetId(), L"");
    EXPECT_EQ(first.GetPassword(), L"");

    // Two holders in one process: the block outlives the first, not the second.
    ASSERT_TRUE(first.SetId(L"kept"));
    CSharedUserMemory second;
    ASSERT_TRUE(second.Open());
    first.Close();
    EXPECT_EQ(second.GetId(), L"kept");
    ASSERT_TRUE(first.Open());
    second.Close();
    EXPECT_EQ(first.GetId(), L"kept");
    first.Close();
    first.Close();  // twice: harmless
    EXPECT_EQ(first.GetId(), L"");

    CSharedUserMemory third;
    ASSERT_TRUE(third.Open());
    EXPECT_EQ(third.GetId(), L"");
}

TEST(SharedUserMemory, FieldsHoldAtMost259Units) {
    const struct {
        size_t length;
        size_t kept;
    } rows[] = {{0, 0}, {259, 259}, {260, 259}};
    CSharedUserMemory block;
    ASSERT_TRUE(block.Open());
    // A second view of the same block shows the raw units another process would see.
    UniqueHandle raw(::OpenFileMappingW(FILE_MAP_READ, FALSE, kSharedUserDataName));
    ASSERT_TRUE(raw);
    MappedView view(::MapViewOfFile(raw.get(), FILE_MAP_READ, 0, 0, sizeof(SharedUserData)));
    ASSERT_TRUE(view);
    const SharedUserData* data = static_cast<const SharedUserData*>(view.get());
    for (const auto& r : rows) {
        ASSERT_TRUE(block.SetId(std::wstring(300, L'#')));  // leftovers that a shorter text must clear
        const std::wstring id(r.length, L'i');
        ASSERT_TRUE(block.SetId(id));
        ASSERT_TRUE(block.SetPassword(L"secret"));
        EXPECT_EQ(block.GetId(), id.substr(0, r.kept)) << r.length;
        EXPECT_EQ(block.GetPassword(), L"secret") << r.length;
        for (size_t i = r.kept; i < kSharedFieldUnits; ++i) {
            ASSERT_EQ(data->id[i], L'\0') << r.length << " unit " << i;
        }
    }
}

TEST(SharedUserMemory, ReadingStopsAtTheFieldsEnd) {
    // An ID field without any zero, as a careless writer in another process might leave it, before a
    // password that must not run into it.
    const struct {
        wchar_t idFill;
        std::wstring expectedId;
    } rows[] = {{L'a', std::wstring(260, L'a')}, {L'\0', L""}};
    for (const auto& r : rows) {
        CSharedUserMemory block;
        ASSERT_TRUE(block.Open());
        UniqueHandle raw(::OpenFileMappingW(FILE_MAP_WRITE, FALSE, kSharedUserDataName));
        MappedView view(raw ? ::MapViewOfFile(raw.get(), FILE_MAP_WRITE, 0, 0, sizeof(SharedUserData)) : nullptr);
        ASSERT_TRUE(view);
        SharedUserData* data = static_cast<SharedUserData*>(view.get());
        for (WCHAR& c : data->id) c = r.idFill;
        WriteSharedField(data->password, L"secret");
        EXPECT_EQ(block.GetId(), r.expectedId) << static_cast<int>(r.idFill);
        EXPECT_EQ(block.GetPassword(), L"secret") << static_cast<int>(r.idFill);
    }
}

TEST(SharedUserMemory, OpenLetsEveryoneIn) {
    // A block that another process made with an access list of its own: after Open it has none, which
    // lets every process open it.
    PSECURITY_DESCRIPTOR own = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;GA;;;WD)", SDDL_REVISION_1, &own,
                                                                       nullptr));
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), own, FALSE};
    UniqueHandle other(::CreateFileMappingW(INVALID_HANDLE_VALUE, &attributes, PAGE_READWRITE, 0,
                                            sizeof(SharedUserData), kSharedUserDataName));
    ::LocalFree(own);
    ASSERT_TRUE(other);

    CSharedUserMemory block;
    ASSERT_TRUE(block.Open());
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(::GetSecurityInfo(other.get(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                                nullptr, &descriptor),
              static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(dacl, nullptr);
    ::LocalFree(descriptor);
}

}  // namespace
