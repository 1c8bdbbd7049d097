// ZorvanePatch end to end: the built program in a temporary installation root with recording stand-ins for
// the outside updater and the launcher, its boxes answered through the window driver.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "common/base/UniqueHandle.h"
#include "common/fs/File.h"
#include "common/ui/XDialogTemplate.h"
#include "tests/support/ProcessSupport.h"
#include "tests/support/WindowDriver.h"
#include "tests/support/WorkerRoot.h"

namespace {

using ztest::ChildProcess;
using ztest::StandInRun;
using ztest::U;
using Lines = std::vector<std::string>;

constexpr wchar_t kPatchMutex[] = L"ZorvaneDDNSClinet-ZorvanePatch";
constexpr wchar_t kConfMutex[] = L"ZorvaneDDNSClinet-ZorvaneConf";
constexpr wchar_t kAboutMutex[] = L"ZorvaneDDNSClinet-ZorvaneAbout";
constexpr DWORD kWaitMs = 20000;

// Box texts of the test language: each says which box it is.
constexpr char kQuestionTitle[] = "Question title";
constexpr char kQuestionText[] = "Install the newer version?";
constexpr char kInformationTitle[] = "Information title";
constexpr char kInformationText[] = "No newer version.";

// Every log text is its own key.
std::string TestLanguage(const std::string& yes = "Yes", const std::string& no = "No") {
    std::string xml = "<?xml version=\"1.0\"?>\r\n<zorvane>\r\n<general><ok>OK</ok><cancel>Cancel</cancel><yes>" +
                      yes + "</yes><no>" + no + "</no></general>\r\n<question><title>" + kQuestionTitle +
                      "</title><update>" + kQuestionText + "</update></question>\r\n<information><title>" +
                      kInformationTitle + "</title><update>" + kInformationText + "</update></information>\r\n<log>";
    for (const char* key : {"check_program", "exist_new_program", "not_exist_new_program", "update_program",
                            "cancel_update_program"}) {
        xml += std::string("<") + key + ">" + key + "</" + key + ">";
    }
    return xml + "</log>\r\n</zorvane>\r\n";
}

const Lines kNoNewer{"[INFO] check_program", "[INFO] not_exist_new_program"};
const Lines kUpdated{"[INFO] check_program", "[INFO] exist_new_program", "[INFO] update_program"};
const Lines kCancelled{"[INFO] check_program", "[INFO] exist_new_program", "[INFO] cancel_update_program"};

// How a stand-in was started: its command line, start flags (of STARTF_USESHOWWINDOW and
// STARTF_FORCEOFFFEEDBACK) and show state.
using Start = std::tuple<std::string, unsigned, unsigned>;
using Starts = std::vector<Start>;

// Whether a process runs the program at `exePath`.
bool ProgramRuns(const std::wstring& exePath) {
    const std::wstring name = exePath.substr(exePath.rfind(L'\\') + 1);
    UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        if (::lstrcmpiW(entry.szExeFile, name.c_str()) != 0) continue;
        UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        wchar_t path[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        if (process && ::QueryFullProcessImageNameW(process.get(), 0, path, &size) &&
            ::lstrcmpiW(path, exePath.c_str()) == 0) {
            return true;
        }
    }
    return false;
}

std::wstring CurrentFolder() {
    wchar_t folder[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    return folder;
}

// A temporary installation root for ZorvanePatch: bin\ZorvanePatch.exe, lang\testlang.xml, etc\config.xml,
// log\, and stand-ins for updater\Updater.exe and ZorvaneLaunch.exe.
class PatchRoot {
public:
    // `checkExit`: what the updater's check answers (later runs exit with 0).
    explicit PatchRoot(long long checkExit, const wchar_t* updateMode = L"hidden", int logLevel = 2,
                       const std::string& language = TestLanguage()) {
        for (const wchar_t* folder : {L"bin", L"lang", L"etc", L"log", L"updater"}) {
            EXPECT_TRUE(zfs::CreateDirectoryOne(m_dir / folder));
        }
        ztest::CopyProgram(ztest::BinaryDir() + L"\\bin\\ZorvanePatch.exe", Patch());
        ztest::WriteBytes(m_dir / L"lang\\testlang.xml", language);
        std::string config = "<?xml version=\"1.0\"?>\r\n<zorvane>\r\n<langauge>testlang</langauge>\r\n<log_level>" +
                             std::to_string(logLevel) + "</log_level>\r\n";
        if (updateMode) config += "<program_update_mode>" + U(updateMode) + "</program_update_mode>\r\n";
        ztest::WriteBytes(m_dir / L"etc\\config.xml", config + "</zorvane>\r\n");
        ztest::InstallStandIn(Updater(), {{checkExit, 0}, {}});
        ztest::InstallStandIn(Launcher());
    }

    std::wstring Patch() const { return m_dir / L"bin\\ZorvanePatch.exe"; }
    std::wstring Updater() const { return m_dir / L"updater\\Updater.exe"; }
    std::wstring StrayUpdater() const { return m_dir / L"bin\\Updater.exe"; }
    std::wstring Launcher() const { return m_dir / L"ZorvaneLaunch.exe"; }
    std::wstring LanguageFile() const { return m_dir / L"lang\\testlang.xml"; }
    std::wstring EtcFolder() const { return m_dir / L"etc"; }

    // Runs the program through the exit-code runner; -2 when the runner did not report.
    long Run(const std::wstring& args) const {
        const ztest::RunnerResult result = ztest::RunThroughRunner(Patch(), args);
        return result.ran ? static_cast<long>(result.exitCode) : -2;
    }
    std::unique_ptr<ChildProcess> StartPatch(const std::wstring& args) const {
        return std::make_unique<ChildProcess>(Patch(), args);
    }

    Lines LogLines() const { return ztest::DayLogLines(m_dir / L"log"); }

    // Once the program has ended: the runs of the updater and of the launcher, after every run that the
    // program started has recorded itself; each is checked to have run in its folder. The shell starts the
    // updater with its quoted path, a blank and the parameters, so the updater's lines are the parameters.
    Starts UpdaterStarts() const {
        Starts starts = RecordedStarts(Updater(), m_dir / L"updater");
        const std::string path = "\"" + U(Updater()) + "\" ";
        for (Start& start : starts) {
            std::string& line = std::get<0>(start);
            if (line.compare(0, path.size(), path) == 0) line.erase(0, path.size());
        }
        return starts;
    }
    Starts LauncherStarts(const std::wstring& folder) const { return RecordedStarts(Launcher(), folder); }

private:
    static Starts RecordedStarts(const std::wstring& exePath, const std::wstring& folder) {
        EXPECT_TRUE(ztest::WaitFor([&] { return !ProgramRuns(exePath); }, kWaitMs)) << U(exePath);
        Starts starts;
        for (const StandInRun& run : ztest::StandInRuns(exePath)) {
            EXPECT_EQ(U(run.workingFolder), U(folder)) << U(run.commandLine);
            starts.emplace_back(U(run.commandLine), run.startFlags & (STARTF_USESHOWWINDOW | STARTF_FORCEOFFFEEDBACK),
                                run.showWindow);
        }
        return starts;
    }

    ztest::TempDir m_dir;
};

// What a box of the program showed.
struct BoxView {
    std::string caption, text;
    std::vector<std::pair<int, std::string>> buttons;  // id and caption
};

HWND WaitForBoxOf(DWORD processId) {
    HWND box = nullptr;
    ztest::WaitFor([&] {
        for (HWND window : ztest::ProcessWindows(processId)) {
            if (ztest::IsDialog(window) && ::IsWindowVisible(window)) box = window;
        }
        return box != nullptr;
    }, kWaitMs);
    return box;
}

BoxView ReadBox(HWND box) {
    BoxView view;
    view.caption = U(ztest::WindowText(box));
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring text = ztest::WindowText(child);
        const int id = ::GetDlgCtrlID(child);
        if (ztest::ClassOf(child) == L"Button" && ::IsWindowVisible(child)) {
            view.buttons.push_back({id, U(text)});
        } else if (ztest::ClassOf(child) == L"Static" && view.text.empty()) {
            view.text = U(text);
        }
    }
    return view;
}

// The shell gives a show state, but no STARTF_FORCEOFFFEEDBACK.
const Start kCheck{" -checkforupdates", STARTF_USESHOWWINDOW, SW_HIDE};
const Start kInstallHidden{" -mode hidden", STARTF_USESHOWWINDOW, SW_SHOW};
const Start kInstallAsked{" ", STARTF_USESHOWWINDOW, SW_SHOW};
const Start kStop{" /stop", STARTF_USESHOWWINDOW | STARTF_FORCEOFFFEEDBACK, SW_SHOW};

TEST(ZorvanePatch, RunsWithoutAQuestion) {
    enum class Updater { Present, Missing, Folder };
    constexpr Updater kPresent = Updater::Present;
    const struct {
        const char* name;
        std::wstring args;
        long long checkExit;
        const wchar_t* updateMode;  // null: none stored
        int logLevel;
        Updater updater;  // what is in the updater's place
        const wchar_t* held;  // a mutex held meanwhile
        Starts updaterStarts, launcher;
        Lines log;
    } rows[] = {
        {"no option, no newer version", L"", 0, L"hidden", 2, kPresent, nullptr, {kCheck}, {}, kNoNewer},
        {"the check ends with 2", L"/mode:auto", 2, L"hidden", 2, kPresent, nullptr, {kCheck}, {}, kNoNewer},
        {"the check ends with -1", L"", -1, L"alert", 2, kPresent, nullptr, {kCheck}, {}, kNoNewer},
        {"newer, hidden: installed silently", L"", 1, L"hidden", 2, kPresent, nullptr, {kCheck, kInstallHidden},
         {kStop}, kUpdated},
        {"newer, Alert with a capital does not ask", L"", 1, L"Alert", 2, kPresent, nullptr,
         {kCheck, kInstallHidden}, {kStop}, kUpdated},
        {"newer, no update mode stored", L"", 1, nullptr, 2, kPresent, nullptr, {kCheck, kInstallHidden}, {kStop},
         kUpdated},
        {"Manual with a capital is the automatic mode", L"/mode:Manual", 1, L"hidden", 2, kPresent, nullptr,
         {kCheck, kInstallHidden}, {kStop}, kUpdated},
        {"a mode option without a value is the automatic mode", L"/mode", 1, L"hidden", 2, kPresent, nullptr,
         {kCheck, kInstallHidden}, {kStop}, kUpdated},
        {"log level 1 writes no line", L"", 1, L"hidden", 1, kPresent, nullptr, {kCheck, kInstallHidden}, {kStop},
         {}},
        {"updater missing: no box, nothing started, not one beside the program", L"", 1, L"hidden", 2,
         Updater::Missing, nullptr, {}, {}, kNoNewer},
        {"updater is a folder: as if missing", L"", 1, L"hidden", 2, Updater::Folder, nullptr, {}, {}, kNoNewer},
        {"another instance runs", L"", 1, L"hidden", 2, kPresent, kPatchMutex, {}, {}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        PatchRoot root(row.checkExit, row.updateMode, row.logLevel);
        // Another program of the updater's name where the shell would look for a bare name must not run.
        const std::wstring stray = root.StrayUpdater();
        if (row.updater != kPresent) {
            ASSERT_TRUE(zfs::DeleteFileAt(root.Updater()));
            ztest::InstallStandIn(stray, {{1, 0}, {}});
        }
        if (row.updater == Updater::Folder) {
            ASSERT_TRUE(zfs::CreateDirectoryOne(root.Updater()));
        }
        // Held as the other program holds it.
        const UniqueHandle held(row.held ? ::CreateMutexW(nullptr, FALSE, row.held) : nullptr);
        EXPECT_EQ(root.Run(row.args), 0);
        EXPECT_EQ(root.UpdaterStarts(), row.updaterStarts);
        EXPECT_EQ(root.LauncherStarts(CurrentFolder()), row.launcher);
        EXPECT_EQ(root.LogLines(), row.log);
        if (row.updater != kPresent) {
            EXPECT_TRUE(ztest::StandInRuns(stray).empty());
        }
    }
}

TEST(ZorvanePatch, AsksOrTellsThroughItsBoxes) {
    const std::string reinstall = "\n\nPlease reinstall the 'Zorvane DDNS Client'";
    const std::string longYes(300, 'y'), longNo(270, 'n');
    const BoxView question{kQuestionTitle, kQuestionText, {{IDYES, "Yes"}, {IDNO, "No"}}};
    const BoxView information{kInformationTitle, kInformationText, {{IDOK, "OK"}}};
    // Captions cut to what a button of the box holds.
    const BoxView longQuestion{
        kQuestionTitle, kQuestionText,
        {{IDYES, longYes.substr(0, kCaptionUnits - 1)}, {IDNO, longNo.substr(0, kCaptionUnits - 1)}}};
    enum class Meanwhile { Nothing, ReleaseMutex, RemoveUpdater, UpdaterFolder, RemoveLanguage, RemoveEtc };
    const struct {
        const char* name;
        std::wstring args;
        long long checkExit;
        const wchar_t* updateMode;
        const wchar_t* held;
        Meanwhile before, whileOpen;
        std::string language;
        BoxView box;
        int answer;
        Starts updater, launcher;
        Lines log;
        int logLevel;
    } rows[] = {
        {"manual, no newer version: told so", L"/mode:manual", 0, L"hidden", nullptr, Meanwhile::Nothing,
         Meanwhile::Nothing, TestLanguage(), information, IDOK, {kCheck}, {}, kNoNewer, 2},
        {"manual, option name in capitals", L"/MODE:manual", 2, L"hidden", nullptr, Meanwhile::Nothing,
         Meanwhile::Nothing, TestLanguage(), information, IDOK, {kCheck}, {}, kNoNewer, 2},
        {"manual, a dash option", L"-mode:manual", 0, L"hidden", nullptr, Meanwhile::Nothing, Meanwhile::Nothing,
         TestLanguage(), information, IDOK, {kCheck}, {}, kNoNewer, 2},
        {"manual, log level 1: the box without a line", L"/mode:manual", 0, L"hidden", nullptr, Meanwhile::Nothing,
         Meanwhile::Nothing, TestLanguage(), information, IDOK, {kCheck}, {}, {}, 1},
        {"manual, updater missing: told no newer version", L"/mode:manual", 1, L"hidden", nullptr,
         Meanwhile::RemoveUpdater, Meanwhile::Nothing, TestLanguage(), information, IDOK, {}, {}, kNoNewer, 2},
        {"manual, updater is a folder: as if missing", L"/mode:manual", 1, L"hidden", nullptr,
         Meanwhile::UpdaterFolder, Meanwhile::Nothing, TestLanguage(), information, IDOK, {}, {}, kNoNewer, 2},
        {"manual, newer, Yes", L"/mode:manual", 1, L"hidden", nullptr, Meanwhile::Nothing, Meanwhile::Nothing,
         TestLanguage(), question, IDYES, {kCheck, kInstallAsked}, {kStop}, kUpdated, 2},
        {"manual, newer, No", L"/mode:manual", 1, L"hidden", nullptr, Meanwhile::Nothing, Meanwhile::Nothing,
         TestLanguage(), question, IDNO, {kCheck}, {}, kCancelled, 2},
        {"automatic, alert, Yes", L"", 1, L"alert", nullptr, Meanwhile::Nothing, Meanwhile::Nothing, TestLanguage(),
         question, IDYES, {kCheck, kInstallAsked}, {kStop}, kUpdated, 2},
        {"automatic, alert, No", L"", 1, L"alert", nullptr, Meanwhile::Nothing, Meanwhile::Nothing, TestLanguage(),
         question, IDNO, {kCheck}, {}, kCancelled, 2},
        {"automatic, hidden, the configuration program runs", L"", 1, L"hidden", kConfMutex, Meanwhile::Nothing,
         Meanwhile::Nothing, TestLanguage(), question, IDYES, {kCheck, kInstallAsked}, {kStop}, kUpdated, 2},
        {"automatic, hidden, the information window runs", L"", 1, L"hidden", kAboutMutex, Meanwhile::Nothing,
         Meanwhile::Nothing, TestLanguage(), question, IDYES, {kCheck, kInstallAsked}, {kStop}, kUpdated, 2},
        {"automatic, the configuration program ends while the question is open", L"", 1, L"hidden", kConfMutex,
         Meanwhile::Nothing, Meanwhile::ReleaseMutex, TestLanguage(), question, IDYES, {kCheck, kInstallHidden},
         {kStop}, kUpdated, 2},
        {"manual, the installation cannot start: the suite keeps running", L"/mode:manual", 1, L"hidden", nullptr,
         Meanwhile::Nothing, Meanwhile::RemoveUpdater, TestLanguage(), question, IDYES, {kCheck}, {}, kUpdated, 2},
        {"automatic, the installation cannot start: the suite keeps running", L"", 1, L"alert", nullptr,
         Meanwhile::Nothing, Meanwhile::RemoveUpdater, TestLanguage(), question, IDYES, {kCheck}, {}, kUpdated, 2},
        {"button captions longer than their buffers", L"/mode:manual", 1, L"hidden", nullptr, Meanwhile::Nothing,
         Meanwhile::Nothing, TestLanguage(longYes, longNo), longQuestion, IDYES, {kCheck, kInstallAsked}, {kStop},
         kUpdated, 2},
        {"language file missing", L"/mode:manual", 1, L"hidden", nullptr, Meanwhile::RemoveLanguage,
         Meanwhile::Nothing, TestLanguage(), {"Zorvane - ERROR", "Can't open a file : testlang.xml" + reinstall,
         {{IDOK, "OK"}}}, IDOK, {}, {}, {}, 2},
        {"etc missing", L"", 1, L"hidden", nullptr, Meanwhile::RemoveEtc, Meanwhile::Nothing, TestLanguage(),
         {"Zorvane - ERROR", "Can't open a file : config.xml" + reinstall, {{IDOK, "OK"}}}, IDOK, {}, {}, {}, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        PatchRoot root(row.checkExit, row.updateMode, row.logLevel, row.language);
        UniqueHandle held(row.held ? ::CreateMutexW(nullptr, FALSE, row.held) : nullptr);
        const auto act = [&](Meanwhile what) {
            switch (what) {
                case Meanwhile::Nothing: break;
                case Meanwhile::ReleaseMutex: held.reset(); break;
                case Meanwhile::RemoveUpdater: EXPECT_TRUE(zfs::DeleteFileAt(root.Updater())); break;
                case Meanwhile::UpdaterFolder:
                    EXPECT_TRUE(zfs::DeleteFileAt(root.Updater()));
                    EXPECT_TRUE(zfs::CreateDirectoryOne(root.Updater()));
                    break;
                case Meanwhile::RemoveLanguage: EXPECT_TRUE(zfs::DeleteFileAt(root.LanguageFile())); break;
                case Meanwhile::RemoveEtc:
                    EXPECT_TRUE(zfs::DeleteFileAt(root.EtcFolder() + L"\\config.xml"));
                    EXPECT_TRUE(::RemoveDirectoryW(root.EtcFolder().c_str()));
                    break;
            }
        };
        act(row.before);
        const auto patch = root.StartPatch(row.args);
        const HWND box = WaitForBoxOf(patch->id());
        ASSERT_NE(box, nullptr);
        const BoxView shown = ReadBox(box);
        EXPECT_EQ(shown.caption, row.box.caption);
        EXPECT_EQ(shown.text, row.box.text);
        EXPECT_EQ(shown.buttons, row.box.buttons);
        act(row.whileOpen);
        ztest::WindowDriver(box).Command(row.answer);
        DWORD exitCode = 1;
        EXPECT_TRUE(patch->Wait(kWaitMs, &exitCode));
        EXPECT_EQ(exitCode, 0u);
        EXPECT_EQ(root.UpdaterStarts(), row.updater);
        EXPECT_EQ(root.LauncherStarts(CurrentFolder()), row.launcher);
        EXPECT_EQ(root.LogLines(), row.log);
    }
}

}  // namespace
