#include "common/ui/Menu.h"

#include <string>

#include "common/language/LangTable.h"

UniqueMenu LoadMenuResource(HINSTANCE module, UINT id) {
    if (!module) module = ::GetModuleHandleW(nullptr);
    return UniqueMenu(::LoadMenuW(module, MAKEINTRESOURCEW(id)));
}

void SetMenuTexts(HMENU menu, const MenuTextRule* rules, size_t count, CLangTable& table) {
    if (!menu) return;
    for (size_t i = 0; i < count; ++i) {
        const MenuTextRule& rule = rules[i];
        // A command the menu lacks: nothing to fetch or change.
        if (::GetMenuState(menu, rule.command, MF_BYCOMMAND) == static_cast<UINT>(-1)) continue;
        const std::wstring text = table.GetText(rule.section, rule.key);
        ::ModifyMenuW(menu, rule.command, MF_BYCOMMAND | MF_STRING, rule.command, text.c_str());
    }
}

bool MarkDefaultMenuItem(HMENU menu, MenuDefaultItem item) {
    return menu && ::SetMenuDefaultItem(menu, item.item, item.byPosition ? TRUE : FALSE) != FALSE;
}

void SetMenuTextsAndDefault(HMENU menu, const MenuTextRule* rules, size_t count, MenuDefaultItem item,
                            CLangTable& table) {
    SetMenuTexts(menu, rules, count, table);
    MarkDefaultMenuItem(menu, item);
}
