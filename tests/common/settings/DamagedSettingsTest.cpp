// The suite's programs starting at once on one damaged config.xml, round after round, as they do when the
// workers and the sign-in start together: the damaged file is kept aside exactly as it was and only once,
// every program loads sound settings, and a killed writer's temporary file goes while a running one stays.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "common/base/UniqueHandle.h"
#include "common/settings/ConfigFile.h"
#include "tests/support/ProcessSupport.h"
#include "tests/support/WorkerRoot.h"

namespace {

constexpr int kRounds = 12;
constexpr int kLoaders = 4;
constexpr size_t kDamagedBytes = 2u * 1024u * 1024u;

// The names of the files in `folder` that begin with `prefix`, in the order the folder lists them.
std::vector<std::string> NamesStartingWith(const std::wstring& folder, const std::wstring& prefix) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    UniqueFind search(::FindFirstFileW((folder + L"\\" + prefix + L"*").c_str(), &found));
    if (!search) return names;
    do {
        names.push_back(ztest::U(found.cFileName));
    } while (::FindNextFileW(search.get(), &found));
    return names;
}

TEST(DamagedSettings, ProgramsStartingAtOnceKeepOnlyTheDamagedFile) {
    ztest::WorkerRoot root;
    // The default settings name a language the root does not have: the workers end right after loading
    // them, before they would send anything.
    root.Break(ztest::WorkerRoot::StartUpFault::NoLanguageFile);
    const std::wstring loader = root.Bin(L"zv_settings_loader.exe");
    ztest::CopyProgram(ztest::TestProgram(L"zv_settings_loader.exe"), loader);
    const std::wstring etc = root.Etc(L"");

    ASSERT_TRUE(CConfigFile::GetInstance()->WriteDefault(root.Etc(L"defaults.xml")));
    const std::string defaults = root.ReadEtc(L"defaults.xml");

    // A writer killed while it wrote left its temporary file: its process has ended.
    DWORD deadPid = 0;
    {
        ztest::ChildProcess ended(loader);
        ASSERT_TRUE(ended.Wait(20000));
        deadPid = ended.id();
    }
    // This test is a writer still writing its temporary file, old as it is.
    const std::wstring liveName = L"config.xml.tmp" + std::to_wstring(::GetCurrentProcessId()) + L"-0";
    ztest::WriteBytes(root.Etc(liveName), "<zorvane>");
    ztest::SetFileAge(root.Etc(liveName), 3600);
    UniqueFile live(::CreateFileW(root.Etc(liveName).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(live);

    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        for (const std::string& name : NamesStartingWith(etc, L"config.xml")) {
            if (ztest::W(name) != liveName) ::DeleteFileW(root.Etc(ztest::W(name)).c_str());
        }
        // Large, so that reading and parsing it takes long enough for the programs' loads to overlap, and cut
        // short at its end.
        std::string damaged = "<?xml version=\"1.0\"?>\r\n<zorvane>\r\n";
        while (damaged.size() < kDamagedBytes) damaged += "<note>round " + std::to_string(round) + "</note>\r\n";
        damaged += "<host_url>http://";
        root.WriteEtc(L"config.xml", damaged);
        const std::wstring deadName = L"config.xml.tmp" + std::to_wstring(deadPid) + L"-" + std::to_wstring(round);
        ztest::WriteBytes(root.Etc(deadName), "<zorvane>");
        ztest::SetFileAge(root.Etc(deadName), 3600);

        std::vector<std::unique_ptr<ztest::ChildProcess>> programs;
        for (int i = 0; i < kLoaders; ++i) {
            programs.push_back(std::make_unique<ztest::ChildProcess>(loader));
            if (i == 0) programs.push_back(std::make_unique<ztest::ChildProcess>(root.Bin(L"ZorvaneAddr.exe")));
            if (i == 1) programs.push_back(std::make_unique<ztest::ChildProcess>(root.Bin(L"ZorvaneHosts.exe")));
        }
        for (auto& program : programs) {
            DWORD code = 1;
            EXPECT_TRUE(program->Wait(30000, &code));
            EXPECT_EQ(code, 0u);
        }

        EXPECT_TRUE(root.ReadEtc(L"config.xml.bad") == damaged);
        EXPECT_EQ(root.ReadEtc(L"config.xml"), defaults);
        EXPECT_EQ(NamesStartingWith(etc, L"config.xml.bad"), std::vector<std::string>{"config.xml.bad"});
        EXPECT_EQ(NamesStartingWith(etc, L"config.xml.tmp"), std::vector<std::string>{ztest::U(liveName)});
        if (HasFailure()) break;
    }
    EXPECT_TRUE(root.LogLines().empty());
}

}  // namespace
