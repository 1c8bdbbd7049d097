#pragma once
// The program's extended message boxes: one options record for the whole process, its button captions
// from the language file, and boxes whose caption and text are language texts.
#include <windows.h>

#include "common/ui/XDialogTemplate.h"

// The program's one options record; every extended message box of the program uses it.
ExtendedMessageBoxOptions& ProgramBoxOptions();
// Turns its custom captions on and copies OK, Cancel, Yes and No from the keys "ok", "cancel", "yes" and
// "no" of the language section "general". Called once the language file is loaded.
void LoadProgramBoxCaptions();
// An extended message box with the program's options: caption the key "title" and text the key `key` of
// the language section `section`. Returns the box's result (6 is Yes).
int ShowLanguageBox(HWND owner, const wchar_t* section, const wchar_t* key, UINT style);
