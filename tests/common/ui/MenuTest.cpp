// Menus from a resource: item texts from the language table before each popup, then the default item.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/language/LangTable.h"
#include "common/ui/Menu.h"
#include "tests/support/TestSupport.h"

namespace {

// The tray program's table.
const MenuTextRule kTrayTexts[] = {
    {32787, L"system_tray", L"zorvane_home_page"}, {32788, L"system_tray", L"program_information"},
    {32789, L"system_tray", L"ddns_config"},       {32791, L"system_tray", L"program_update"},
    {32794, L"system_tray", L"login"},             {32795, L"system_tray", L"logout"},
    {32774, L"general", L"exit"},
};

// Two languages; the second lacks the logout text.
const char* const kLanguages[] = {
    "<t><general><exit>Exit</exit></general><system_tray><ddns_config>Settings</ddns_config>"
    "<program_information>About</program_information><program_update>Update</program_update>"
    "<zorvane_home_page>Home</zorvane_home_page><login>In</login><logout>Out</logout></system_tray></t>",
    "<t><general><exit>\xEC\xA2\x85\xEB\xA3\x8C</exit></general><system_tray><ddns_config>Conf</ddns_config>"
    "<program_information>Info</program_information><program_update>Neu</program_update>"
    "<zorvane_home_page>Web</zorvane_home_page><login>An</login></system_tray></t>",
};

// The texts of a popup in order, "|" for a separator.
std::string Items(HMENU popup) {
    std::string items;
    for (int i = 0; i < ::GetMenuItemCount(popup); ++i) {
        wchar_t text[64] = {};
        ::GetMenuStringW(popup, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        const bool separator = ::GetMenuState(popup, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR;
        items += (i ? "," : "") + (separator ? std::string("|") : ztest::U(text));
    }
    return items;
}

TEST(Menu, TextsFromTheTableThenTheDefaultItem) {
    const struct {
        const char* name;
        UINT menu;
        MenuDefaultItem item;
        UINT defaultCommand, defaultPosition;
        const char* texts[2];  // in each language
    } rows[] = {
        {"signed in, by command", 129, {32789, false}, 32789, 0,
         {"Settings,|,About,Update,Home,|,Out,Exit", "Conf,|,Info,Neu,Web,|,,\xEC\xA2\x85\xEB\xA3\x8C"}},
        {"signed out, by command", 130, {32794, false}, 32794, 4,
         {"About,Update,Home,|,In,Exit", "Info,Neu,Web,|,An,\xEC\xA2\x85\xEB\xA3\x8C"}},
        {"signed out, by position", 130, {2, true}, 32787, 2,
         {"About,Update,Home,|,In,Exit", "Info,Neu,Web,|,An,\xEC\xA2\x85\xEB\xA3\x8C"}},
    };
    ztest::TempDir dir;
    CLangTable table;
    for (const auto& r : rows) {
        UniqueMenu menu = LoadMenuResource(nullptr, r.menu);
        HMENU popup = ::GetSubMenu(menu.get(), 0);
        ASSERT_NE(popup, nullptr) << r.name;
        // The same menu prepared once per language, as before each popup.
        for (int language = 0; language < 2; ++language) {
            ztest::WriteBytes(dir / L"lang.xml", kLanguages[language]);
            ASSERT_TRUE(table.LoadFile(dir / L"lang.xml"));
            SetMenuTextsAndDefault(popup, kTrayTexts, r.item, table);
            EXPECT_EQ(Items(popup), r.texts[language]) << r.name << ", language " << language;
            EXPECT_EQ(::GetMenuDefaultItem(popup, FALSE, 0), r.defaultCommand) << r.name << ", language " << language;
            EXPECT_EQ(::GetMenuDefaultItem(popup, TRUE, 0), r.defaultPosition) << r.name << ", language " << language;
        }
        EXPECT_FALSE(MarkDefaultMenuItem(popup, {32776, false})) << r.name << ": an id the menu lacks";
    }
    EXPECT_FALSE(LoadMenuResource(nullptr, 131));
}

}  // namespace
