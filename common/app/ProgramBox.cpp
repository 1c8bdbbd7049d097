#include "common/app/ProgramBox.h"

#include <string>

#include "common/language/LangTable.h"
#include "common/ui/XMessageBox.h"

ExtendedMessageBoxOptions& ProgramBoxOptions() {
    static ExtendedMessageBoxOptions options;
    return options;
}

void LoadProgramBoxCaptions() { LoadMessageBoxCaptions(ProgramBoxOptions()); }

int ShowLanguageBox(HWND owner, const wchar_t* section, const wchar_t* key, UINT style) {
    CLangTable* texts = CLangTable::GetInstance();
    const std::wstring caption = texts->GetText(section, L"title");
    const std::wstring text = texts->GetText(section, key);
    return ExtendedMessageBox(owner, text.c_str(), caption.c_str(), style, &ProgramBoxOptions());
}
