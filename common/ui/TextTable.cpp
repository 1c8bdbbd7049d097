#include "common/ui/TextTable.h"

#include <string>

#include "common/language/LangTable.h"

void SetDialogTexts(HWND dialog, const TextRow* rows, size_t count) {
    CLangTable* texts = CLangTable::GetInstance();
    for (size_t i = 0; i < count; ++i) {
        const TextRow& row = rows[i];
        HWND target = row.id == kDialogCaption ? dialog : ::GetDlgItem(dialog, row.id);
        if (!target) continue;
        // Fetched before the window is touched: the table's lock is never held over a window message.
        const std::wstring text = row.before + texts->GetText(row.section, row.key) + row.after;
        ::SetWindowTextW(target, text.c_str());
    }
}
