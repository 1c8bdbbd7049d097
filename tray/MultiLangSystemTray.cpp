#include "tray/MultiLangSystemTray.h"

#include <iterator>

#include "common/language/LangTable.h"
#include "tray/resource.h"

namespace {

const MenuTextRule kMenuTexts[] = {
    {ID_MENU_HOME_PAGE, L"system_tray", L"zorvane_home_page"},
    {ID_MENU_PROGRAM_INFORMATION, L"system_tray", L"program_information"},
    {ID_MENU_DDNS_CONFIG, L"system_tray", L"ddns_config"},
    {ID_MENU_PROGRAM_UPDATE, L"system_tray", L"program_update"},
    {ID_MENU_LOGIN, L"system_tray", L"login"},
    {ID_MENU_LOGOUT, L"system_tray", L"logout"},
    {ID_MENU_EXIT, L"general", L"exit"},
};

}  // namespace

void CMultiLangSystemTray::PrepareMenu(HMENU popup) {
    SetMenuTexts(popup, kMenuTexts, std::size(kMenuTexts), *CLangTable::GetInstance());
}
