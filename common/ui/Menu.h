#pragma once
// Menus from a resource whose item texts come from the language table, set anew before each popup, and
// the item marked as the default one (drawn bold, the double click's command).
#include <windows.h>

#include <cstddef>

#include "common/base/UniqueHandle.h"

class CLangTable;

// One item's text: its command id and the language section and key of the text.
struct MenuTextRule {
    UINT command;
    const wchar_t* section;
    const wchar_t* key;
};

// The default item: a command id, or a position in the menu when `byPosition`.
struct MenuDefaultItem {
    UINT item = 0;
    bool byPosition = true;
};

// Menu resource `id` of `module` (the program's own when null); empty when there is none.
UniqueMenu LoadMenuResource(HINSTANCE module, UINT id);

// Gives every item of `menu` that a rule names by command the text that `table` holds now for the rule,
// empty when the table lacks it (ModifyMenuW, MF_STRING, the same id; the item is then enabled and
// unchecked). Items that no rule names keep their texts; a rule whose command the menu lacks changes nothing.
void SetMenuTexts(HMENU menu, const MenuTextRule* rules, size_t count, CLangTable& table);

// Marks the default item, the mark of any other item cleared. False when the menu lacks the item.
bool MarkDefaultMenuItem(HMENU menu, MenuDefaultItem item);

// What a menu needs before each popup: the texts, then the default mark (changing an item's text may clear
// its mark, as Wine does).
void SetMenuTextsAndDefault(HMENU menu, const MenuTextRule* rules, size_t count, MenuDefaultItem item,
                            CLangTable& table);

template <size_t N>
void SetMenuTextsAndDefault(HMENU menu, const MenuTextRule (&rules)[N], MenuDefaultItem item, CLangTable& table) {
    SetMenuTextsAndDefault(menu, rules, N, item, table);
}
