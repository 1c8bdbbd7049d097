#pragma once
// Message boxes of another process, as a user meets them: waited for, read and answered.
#include <windows.h>

#include <string>

namespace ztest {

// A message box of the process: a visible dialog other than `except`; null when none shows within the time.
HWND WaitForBox(DWORD processId, HWND except, DWORD timeoutMs = 15000);

// The box's caption and the first text it shows.
struct BoxText {
    std::wstring caption;
    std::wstring text;
};
BoxText ReadBox(HWND box);

// Answers the box with the button and waits until it is gone.
bool AnswerBox(HWND box, int buttonId);

}  // namespace ztest
