#pragma once
// A dialog's texts as a table: control id -> language section and key, the dialog's caption as a row of
// its own, set in one call (at WM_INITDIALOG: no text is hard-coded in a dialog template).
//
//   const TextRow kTexts[] = {
//       {kDialogCaption, L"general", L"title"},
//       {IDOK, L"general", L"login"},
//       {IDC_BUTTON_INSERT, L"general", L"insert", L"", L" >>>"},
//   };
#include <windows.h>

#include <cstddef>

// The row id that stands for the dialog's own caption.
constexpr int kDialogCaption = 0;

struct TextRow {
    int id;  // a control id, or kDialogCaption
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* before = L"";  // fixed text in front of the language text
    const wchar_t* after = L"";   // and after it
};

// Sets every row's text from the process's language table (an absent section or key gives the empty text
// between the fixed parts). A row whose control is missing sets nothing.
void SetDialogTexts(HWND dialog, const TextRow* rows, size_t count);
template <size_t N>
void SetDialogTexts(HWND dialog, const TextRow (&rows)[N]) {
    SetDialogTexts(dialog, rows, N);
}
