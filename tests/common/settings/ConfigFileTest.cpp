#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <vector>

#include "common/settings/ConfigFile.h"
#include "tests/support/TestSupport.h"

namespace {

using ztest::U;
using ztest::W;

const std::string kHeader = "<?xml version=\"1.0\"?>\r\n";

std::string DefaultConfig() {
    const std::string service = "http://" + U(ZORVANE_SERVICE_HOST);
    return kHeader +
           "<zorvane>\r\n"
           "<ip_url>" + service + "/getip.php</ip_url>\r\n"
           "<host_url>" + service + "/gethost.php</host_url>\r\n"
           "<update_url>" + service + "/update.php</update_url>\r\n"
           "<langauge>korean</langauge>\r\n"
           "<nt_service>false</nt_service>\r\n"
           "<auto_start>true</auto_start>\r\n"
           "<save_id>false</save_id>\r\n"
           "<save_password>false</save_password>\r\n"
           "<auto_login>false</auto_login>\r\n"
           "<auto_program_update>true</auto_program_update>\r\n"
           "<program_update_period>1440</program_update_period>\r\n"
           "<ip_update_period>5</ip_update_period>\r\n"
           "<show_ddns_config>true</show_ddns_config>\r\n"
           "<show_system_tray>true</show_system_tray>\r\n"
           "<selected_menu>0</selected_menu>\r\n"
           "<log_level>2</log_level>\r\n"
           "</zorvane>\r\n";
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

// A config.xml holding the given lines inside the root.
std::string ConfigWith(const std::string& lines) { return kHeader + "<zorvane>\r\n" + lines + "</zorvane>\r\n"; }

// One setting: its key, a value as stored in the file, and its getter and setter rendered as text.
struct KeyRow {
    const char* key;
    std::string stored;
    std::string missing;  // what the getter gives when the key is absent
    std::function<std::wstring(CConfigFile&)> get;  // empty for a key without getter
    std::function<void(CConfigFile&)> set;
};

KeyRow Text(const char* key, std::wstring (CConfigFile::*get)(), void (CConfigFile::*set)(const std::wstring&),
            const std::string& value) {
    return {key, value, "",
            [get](CConfigFile& c) { return (c.*get)(); },
            [set, value](CConfigFile& c) { (c.*set)(W(value)); }};
}

KeyRow Flag(const char* key, bool (CConfigFile::*get)(), void (CConfigFile::*set)(bool)) {
    return {key, "true", "false",
            [get](CConfigFile& c) { return std::wstring((c.*get)() ? L"true" : L"false"); },
            [set](CConfigFile& c) { (c.*set)(true); }};
}

KeyRow Number(const char* key, int (CConfigFile::*get)(), void (CConfigFile::*set)(int), int value) {
    KeyRow row{key, std::to_string(value), "0", nullptr, [set, value](CConfigFile& c) { (c.*set)(value); }};
    if (get) row.get = [get](CConfigFile& c) { return std::to_wstring((c.*get)()); };
    return row;
}

std::vector<KeyRow> KeyRows() {
    using C = CConfigFile;
    return {
        Text("ip_url", &C::GetIpUrl, &C::SetIpUrl, "http://a.example/ip"),
        Text("host_url", &C::GetHostUrl, &C::SetHostUrl, "http://b.example/host"),
        Text("update_url", &C::GetUpdateUrl, &C::SetUpdateUrl, "http://c.example/up"),
        Text("langauge", &C::GetLanguage, &C::SetLanguage, "english"),
        Flag("nt_service", &C::GetNtService, &C::SetNtService),
        Flag("auto_start", &C::GetAutoStart, &C::SetAutoStart),
        Flag("save_id", &C::GetSaveId, &C::SetSaveId),
        Flag("save_password", &C::GetSavePassword, &C::SetSavePassword),
        Flag("auto_login", &C::GetAutoLogin, &C::SetAutoLogin),
        Flag("auto_program_update", &C::GetAutoProgramUpdate, &C::SetAutoProgramUpdate),
        Number("program_update_period", nullptr, &C::SetProgramUpdatePeriod, 1441),
        Number("ip_update_period", &C::GetIpUpdatePeriod, &C::SetIpUpdatePeriod, 17),
        Flag("show_ddns_config", &C::GetShowDdnsConfig, &C::SetShowDdnsConfig),
        Flag("show_system_tray", &C::GetShowSystemTray, &C::SetShowSystemTray),
        Number("selected_menu", &C::GetSelectedMenu, &C::SetSelectedMenu, -3),
        Number("log_level", &C::GetLogLevel, &C::SetLogLevel, 1),
        Text("program_update_mode", &C::GetProgramUpdateMode, &C::SetProgramUpdateMode, "hidden"),
    };
}

TEST(ConfigFile, MissingFileIsCreatedWithTheDefaultDocument) {
    ztest::TempDir dir;
    const std::wstring path = dir / L"config.xml";
    CConfigFile config;
    ASSERT_TRUE(config.Load(path));
    EXPECT_EQ(ztest::ReadBytes(path), DefaultConfig());
    EXPECT_FALSE(ztest::Exists(path + L".bad"));
    EXPECT_EQ(config.GetIpUpdatePeriod(), 5);
    EXPECT_TRUE(config.GetAutoStart());
    EXPECT_EQ(config.GetProgramUpdateMode(), L"");

    // WriteDefault alone writes the same bytes and remembers its path.
    CConfigFile other;
    const std::wstring otherPath = dir / L"other.xml";
    ASSERT_TRUE(other.WriteDefault(otherPath));
    EXPECT_EQ(other.GetPath(), otherPath);
    EXPECT_EQ(ztest::ReadBytes(otherPath), DefaultConfig());
}

// Each getter reads its own key only, and each setter writes its own key in its own format.
TEST(ConfigFile, EveryKeyHasItsOwnGetterAndSetter) {
    ztest::TempDir dir;
    const std::vector<KeyRow> rows = KeyRows();
    for (const KeyRow& row : rows) {
        const std::string line = std::string("<") + row.key + ">" + row.stored + "</" + row.key + ">\r\n";
        const std::wstring path = dir / (W(row.key) + L".xml");
        ztest::WriteBytes(path, ConfigWith(line));
        CConfigFile config;
        ASSERT_TRUE(config.Load(path)) << row.key;
        for (const KeyRow& other : rows) {
            if (!other.get) continue;
            EXPECT_EQ(U(other.get(config)), &other == &row ? row.stored : other.missing)
                << "file with " << row.key << ", getter of " << other.key;
        }

        ztest::WriteBytes(path, ConfigWith(""));
        CConfigFile empty;
        ASSERT_TRUE(empty.Load(path)) << row.key;
        row.set(empty);
        ASSERT_TRUE(empty.Save()) << row.key;
        EXPECT_EQ(ztest::ReadBytes(path), ConfigWith(line)) << row.key;
    }
}

TEST(ConfigFile, StoredTextsReadAsFlagsAndNumbers) {
    const struct {
        const char* name;
        std::string lines;
        bool autoStart;
        int ipUpdatePeriod;
    } rows[] = {
        {"exact", "<auto_start>true</auto_start><ip_update_period>10</ip_update_period>", true, 10},
        {"capitals, unit", "<auto_start>TRUE</auto_start><ip_update_period>10 min</ip_update_period>", false, 10},
        {"blank before", "<auto_start> true</auto_start><ip_update_period> 15</ip_update_period>", false, 15},
        {"empty tags", "<auto_start/><ip_update_period/>", false, 0},
        {"missing", "", false, 0},
        {"references", "<auto_start>tr&#117;e</auto_start><ip_update_period>&#51;</ip_update_period>", true, 3},
        {"above int", "<ip_update_period>99999999999</ip_update_period>", false, INT_MAX},
    };
    ztest::TempDir dir;
    const std::wstring path = dir / L"config.xml";
    for (const auto& row : rows) {
        ztest::WriteBytes(path, ConfigWith(row.lines));
        CConfigFile config;
        ASSERT_TRUE(config.Load(path)) << row.name;
        EXPECT_EQ(config.GetAutoStart(), row.autoStart) << row.name;
        EXPECT_EQ(config.GetIpUpdatePeriod(), row.ipUpdatePeriod) << row.name;
        EXPECT_EQ(ztest::ReadBytes(path), ConfigWith(row.lines)) << row.name << ": a good file is not rewritten";
    }
}

TEST(ConfigFile, SettersChangeTheTextInPlaceAndAddMissingKeysLast) {
    ztest::TempDir dir;
    const std::wstring path = dir / L"config.xml";
    CConfigFile config;
    ASSERT_TRUE(config.Load(path));

    config.SetProgramUpdateMode(L"hidden");
    config.SetAutoStart(false);
    config.SetIpUpdatePeriod(-1);
    ASSERT_TRUE(config.Save());
    std::string expected = Replaced(DefaultConfig(), "</zorvane>", "<program_update_mode>hidden</program_update_mode>\r\n</zorvane>");
    expected = Replaced(expected, "<auto_start>true<", "<auto_start>false<");
    expected = Replaced(expected, "<ip_update_period>5<", "<ip_update_period>-1<");
    EXPECT_EQ(ztest::ReadBytes(path), expected);

    // A second call changes only the text.
    config.SetProgramUpdateMode(L"alert");
    ASSERT_TRUE(config.Save());
    EXPECT_EQ(ztest::ReadBytes(path), Replaced(expected, ">hidden<", ">alert<"));
    EXPECT_EQ(config.GetProgramUpdateMode(), L"alert");
}

TEST(ConfigFile, ValuesRoundTripThroughTheFile) {
    const struct {
        const char* name;
        std::wstring value;
        std::string stored;  // what the file holds between the tags
        std::wstring readBack;
    } rows[] = {
        {"markup characters", L"http://h/a?x=1&y=<2>\"'", "http://h/a?x=1&amp;y=&lt;2&gt;\"'", L"http://h/a?x=1&y=<2>\"'"},
        {"non-ascii", W("\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4"), "\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4",
         W("\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4")},
        {"cut at nul", std::wstring(L"english\0\0\0", 10), "english", L"english"},
    };
    ztest::TempDir dir;
    const std::wstring path = dir / L"config.xml";
    for (const auto& row : rows) {
        ztest::WriteBytes(path, ConfigWith("<langauge>korean</langauge>\r\n"));
        CConfigFile config;
        ASSERT_TRUE(config.Load(path)) << row.name;
        config.SetLanguage(row.value);
        ASSERT_TRUE(config.Save()) << row.name;
        const std::string bytes = ConfigWith("<langauge>" + row.stored + "</langauge>\r\n");
        EXPECT_EQ(ztest::ReadBytes(path), bytes) << row.name;

        CConfigFile reread;
        ASSERT_TRUE(reread.Load(path)) << row.name;
        EXPECT_EQ(reread.GetLanguage(), row.readBack) << row.name;
        EXPECT_EQ(ztest::ReadBytes(path), bytes) << row.name << ": the saved file must load as it is";
        EXPECT_FALSE(ztest::Exists(path + L".bad")) << row.name;
    }
}

TEST(ConfigFile, DamagedFileIsKeptAsBadAndReplacedByTheDefault) {
    const std::string utf16 = [] {
        std::string out;
        for (char c : DefaultConfig()) { out += c; out += '\0'; }
        return out;
    }();
    const struct {
        const char* name;
        std::string bytes;
        bool keptAsBad;
    } rows[] = {
        {"empty", "", false},
        {"truncated", DefaultConfig().substr(0, DefaultConfig().size() / 2), true},
        {"not xml", "log_level=7\r\n", true},
        {"utf-16", utf16, true},
        {"nul inside", std::string("<zorvane><log_level>7\0</log_level></zorvane>", 44), true},
    };
    for (const auto& row : rows) {
        ztest::TempDir dir;
        const std::wstring path = dir / L"config.xml";
        ztest::WriteBytes(path, row.bytes);
        CConfigFile config;
        ASSERT_TRUE(config.Load(path)) << row.name;
        EXPECT_EQ(ztest::ReadBytes(path), DefaultConfig()) << row.name;
        EXPECT_EQ(config.GetLogLevel(), 2) << row.name;
        EXPECT_EQ(ztest::Exists(path + L".bad"), row.keptAsBad) << row.name;
        if (row.keptAsBad) {
            EXPECT_EQ(ztest::ReadBytes(path + L".bad"), row.bytes) << row.name;
        }
    }
}

TEST(ConfigFile, ForeignRootLoadsWithoutKeysAndIsLeftAlone) {
    const struct {
        const char* name;
        std::string bytes;
    } rows[] = {
        {"other root", kHeader + "<settings>\r\n<log_level>7</log_level>\r\n<auto_start>true</auto_start>\r\n</settings>\r\n"},
        {"root named like a key", kHeader + "<log_level>7</log_level>\r\n"},
    };
    for (const auto& row : rows) {
        ztest::TempDir dir;
        const std::wstring path = dir / L"config.xml";
        ztest::WriteBytes(path, row.bytes);
        CConfigFile config;
        ASSERT_TRUE(config.Load(path)) << row.name;
        EXPECT_EQ(config.GetLogLevel(), 0) << row.name;
        EXPECT_FALSE(config.GetAutoStart()) << row.name;
        // Setters have no root to add to: the document stays well formed and unchanged.
        config.SetLogLevel(1);
        config.SetProgramUpdateMode(L"hidden");
        ASSERT_TRUE(config.Save()) << row.name;
        EXPECT_EQ(ztest::ReadBytes(path), row.bytes) << row.name;
        EXPECT_FALSE(ztest::Exists(path + L".bad")) << row.name;
    }
}

TEST(ConfigFile, LoadFailsWhenTheDefaultCannotBeWritten) {
    ztest::TempDir dir;
    CConfigFile config;
    EXPECT_FALSE(config.Load(dir / L"missing\\config.xml"));
    EXPECT_FALSE(ztest::Exists(dir / L"missing"));
}

}  // namespace
