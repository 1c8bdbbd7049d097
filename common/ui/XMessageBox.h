#pragma once
// The suite's message box: button captions from the language file, and besides the Windows styles a
// count-down, buttons that start disabled, a "don't ask again" check box with remembered answers, custom
// buttons, Help and Report. The programs use three styles: 0x24 (Yes/No, question icon; 6 is Yes), 0x40 and
// 0x30 (OK with the information or exclamation icon).
#include <windows.h>

#include <string>

#include "common/ui/XDialogTemplate.h"

// Shows the box and returns the id of the button that ended it, plus the check box's bit when it was ticked,
// plus EMB_TIMED_OUT when the count-down ended it. Text and caption are text or string-resource ids.
// A null owner takes the active window's last active pop-up. Options may be null (all zero).
int ExtendedMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style,
                       const ExtendedMessageBoxOptions* options);

// Replaces each character of the text, in place, by a letter or digit of a fixed table, by its code and
// position; returns the text.
std::wstring& MakeAnswerValueName(std::wstring& text);

// The remembered answer stored under HKEY_CURRENT_USER\Software\[company\]<program file>\XMessageBox as the
// REG_DWORD value `valueName`; 0 when there is none or the value is of any other type or size.
DWORD ReadRememberedAnswer(const std::wstring& company, const std::wstring& valueName);
// Stores the answer; failures are silent.
void WriteRememberedAnswer(const std::wstring& company, const std::wstring& valueName, DWORD answer);

// The key below HKEY_CURRENT_USER that holds the remembered answers of this program.
std::wstring RememberedAnswerKey(const std::wstring& company);

// Turns the custom captions on and sets OK, Cancel, Yes and No (each cut to fit its slot); the other
// captions stay empty.
void SetMessageBoxCaptions(ExtendedMessageBoxOptions& options, const std::wstring& ok, const std::wstring& cancel,
                           const std::wstring& yes, const std::wstring& no);
// The same with the texts "ok", "cancel", "yes" and "no" of the language table's section "general".
void LoadMessageBoxCaptions(ExtendedMessageBoxOptions& options);

// The dialog procedure of the box; its creation parameter is the CXDialogTemplate.
INT_PTR CALLBACK ExtendedMessageBoxDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The window procedure put on the icon static: paints the icon kept in its GWLP_USERDATA.
LRESULT CALLBACK IconStaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
