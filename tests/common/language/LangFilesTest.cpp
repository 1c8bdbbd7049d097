#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "common/language/LangTable.h"
#include "common/text/Utf.h"
#include "common/xml/XmlTextDoc.h"
#include "tests/support/TestSupport.h"

using ztest::U;
using ztest::W;

namespace {

// Every (section, key) that the programs ask the language file for, with the number of %s arguments
// the program passes to the text. Code that asks for a new text adds its row here and the text to
// every file in lang/.
struct LangKey {
    const char* section;
    const char* key;
    int arguments;
};

const LangKey kLangKeys[] = {
    // Shared words: captions, buttons, column headings, interval units, the tray's exit item.
    {"general", "title", 0},
    {"general", "ok", 0},
    {"general", "cancel", 0},
    {"general", "yes", 0},
    {"general", "no", 0},
    {"general", "login", 0},
    {"general", "logout", 0},
    {"general", "id", 0},
    {"general", "password", 0},
    {"general", "close", 0},
    {"general", "help", 0},
    {"general", "exit", 0},
    {"general", "host", 0},
    {"general", "insert", 0},
    {"general", "delete", 0},
    {"general", "ip", 0},
    {"general", "status", 0},
    {"general", "lan", 0},
    {"general", "mac", 0},
    {"general", "loading", 0},
    {"general", "minute", 0},
    {"general", "hour", 0},
    {"general", "day", 0},

    // Yes/No questions: sign-out, exit from the tray, program update.
    {"question", "title", 0},
    {"question", "logout", 0},
    {"question", "exit", 0},
    {"question", "update", 0},

    // Notices.
    {"information", "title", 0},
    {"information", "empty_id", 0},
    {"information", "empty_password", 0},
    {"information", "fail_login", 0},
    {"information", "select_host", 0},
    {"information", "select_lan", 0},
    {"information", "private_ip", 0},
    {"information", "not_support_vista", 0},
    {"information", "update", 0},

    // Error reports.
    {"error", "title", 0},
    {"error", "save", 0},
    {"error", "fail_program_load", 0},
    {"error", "not_connect_server", 0},
    {"error", "private_ip", 0},
    {"error", "too_many_update", 0},
    {"error", "update_fail", 0},

    // The login manager's dialog.
    {"login_manager", "title", 0},
    {"login_manager", "save_id", 0},
    {"login_manager", "save_password", 0},
    {"login_manager", "auto_login", 0},
    {"login_manager", "now_login", 0},
    {"login_manager", "description_title", 0},
    {"login_manager", "description", 0},
    {"login_manager", "show_password", 0},

    // The configuration program's host page.
    {"host_config", "title", 0},
    {"host_config", "all_host_list_title", 0},
    {"host_config", "update_host_list_title", 0},
    {"host_config", "refresh_host_list", 0},
    {"host_config", "description_title", 0},
    {"host_config", "description", 0},
    {"host_config", "wait_refresh_title", 0},
    {"host_config", "wait_refresh_message", 0},

    // The IP page.
    {"ip_config", "title", 0},
    {"ip_config", "update_list_title", 0},
    {"ip_config", "empty_update_list", 0},
    {"ip_config", "update_method_title", 0},
    {"ip_config", "internet_ip_title", 0},
    {"ip_config", "internet_ip_description", 0},
    {"ip_config", "lan_ip_title", 0},
    {"ip_config", "lan_ip_description", 0},
    {"ip_config", "direct_ip_title", 0},
    {"ip_config", "update_ip", 0},
    {"ip_config", "wait_update_title", 0},
    {"ip_config", "wait_update_message", 0},

    // The program settings page.
    {"program_config", "title", 0},
    {"program_config", "program_start_title", 0},
    {"program_config", "auto_start", 0},
    {"program_config", "nt_service", 0},
    {"program_config", "show_ddns_config", 0},
    {"program_config", "login_title", 0},
    {"program_config", "save_id", 0},
    {"program_config", "save_password", 0},
    {"program_config", "auto_login", 0},
    {"program_config", "system_tray_title", 0},
    {"program_config", "show_system_tray", 0},
    {"program_config", "ip_update_title", 0},
    {"program_config", "ip_update_period", 0},
    {"program_config", "program_update_title", 0},
    {"program_config", "auto_program_update", 0},
    {"program_config", "hidden_program_update", 0},
    {"program_config", "alert_program_update", 0},

    // The log page (its tab).
    {"log_view", "title", 0},

    // The tray icon's menu.
    {"system_tray", "ddns_config", 0},
    {"system_tray", "program_information", 0},
    {"system_tray", "program_update", 0},
    {"system_tray", "zorvane_home_page", 0},
    {"system_tray", "login", 0},
    {"system_tray", "logout", 0},

    // Log lines of the IP updater, the host-list updater and the program updater.
    {"log", "check_ip", 0},
    {"log", "internet_ip", 1},    // address
    {"log", "lan_ip", 1},         // address
    {"log", "direct_ip", 1},      // address
    {"log", "fail_lan_ip", 0},
    {"log", "fail_direct_ip", 0},
    {"log", "private_ip", 0},
    {"log", "check_host", 0},
    {"log", "update_ip", 2},      // host name, address
    {"log", "update_status", 2},  // host name, "OFFLINE"
    {"log", "not_exist_host", 0},
    {"log", "not_connect_server", 0},
    {"log", "update_ip_success", 0},
    {"log", "too_many_update", 0},
    {"log", "fail_some_update_ip", 0},
    {"log", "fail_update_ip", 1}, // result code
    {"log", "update_host", 0},
    {"log", "update_host_success", 0},
    {"log", "check_program", 0},
    {"log", "exist_new_program", 0},
    {"log", "not_exist_new_program", 0},
    {"log", "update_program", 0},
    {"log", "cancel_update_program", 0},
};

const char* const kShippedFiles[] = {"korean", "english"};

// The number of %s in a text, or -1 when a % starts anything but %s or %%: language texts are filled
// by our formatter, which knows only those two.
int CountArguments(const std::wstring& text) {
    int count = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%') continue;
        if (i + 1 < text.size() && text[i + 1] == L's') {
            ++count;
        } else if (i + 1 >= text.size() || text[i + 1] != L'%') {
            return -1;
        }
        ++i;
    }
    return count;
}

std::wstring ShippedPath(const char* language) {
    return ztest::SourceDir() + L"\\lang\\" + W(language) + L".xml";
}

TEST(LangFiles, EveryKeyIsThereWithItsArguments) {
    for (const char* language : kShippedFiles) {
        CLangTable table;
        ASSERT_TRUE(table.Load(ztest::SourceDir(), W(language))) << language;
        for (const LangKey& k : kLangKeys) {
            const std::wstring text = table.GetText(W(k.section), W(k.key));
            EXPECT_FALSE(text.empty()) << language << ": " << k.section << " / " << k.key << " is missing";
            EXPECT_EQ(CountArguments(text), k.arguments)
                << language << ": " << k.section << " / " << k.key << " reads \"" << U(text) << "\"";
        }
    }
}

// Walks the file's sections and texts as the XML index holds them.
std::map<std::string, std::set<std::string>> SectionsOf(const CXmlTextDoc& doc, std::string& duplicates) {
    std::map<std::string, std::set<std::string>> sections;
    const XmlSlot root = doc.FindSiblingSlot(0, 0, std::wstring());
    for (XmlSlot s = doc.FindSiblingSlot(root, 0, std::wstring()); s != 0;
         s = doc.FindSiblingSlot(root, s, std::wstring())) {
        const std::string section = U(doc.ElementNameAt(s));
        if (sections.count(section)) duplicates += " section " + section;
        std::set<std::string>& keys = sections[section];
        for (XmlSlot k = doc.FindSiblingSlot(s, 0, std::wstring()); k != 0;
             k = doc.FindSiblingSlot(s, k, std::wstring())) {
            if (!keys.insert(U(doc.ElementNameAt(k))).second) {
                duplicates += " " + section + " / " + U(doc.ElementNameAt(k));
            }
        }
    }
    return sections;
}

TEST(LangFiles, FilesHoldOnlyListedKeysOnce) {
    std::map<std::string, std::set<std::string>> listed;
    for (const LangKey& k : kLangKeys) {
        EXPECT_TRUE(listed[k.section].insert(k.key).second) << "listed twice: " << k.section << " / " << k.key;
    }
    for (const char* language : kShippedFiles) {
        CXmlTextDoc doc;
        ASSERT_TRUE(doc.LoadFile(ShippedPath(language))) << language << ": " << U(doc.GetStatusText());
        std::string duplicates;
        EXPECT_EQ(SectionsOf(doc, duplicates), listed) << language;
        EXPECT_EQ(duplicates, "") << language;
    }
}

TEST(LangFiles, FilesAreUtf8WithoutByteOrderMark) {
    for (const char* language : kShippedFiles) {
        const std::string bytes = ztest::ReadBytes(ShippedPath(language));
        EXPECT_NE(bytes.compare(0, 3, "\xEF\xBB\xBF"), 0) << language;
        EXPECT_EQ(WideToUtf8(Utf8ToWide(bytes)), bytes) << language << " is not valid UTF-8";
    }
}

}  // namespace
