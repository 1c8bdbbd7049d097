#include "tests/support/BoxDriver.h"

#include "tests/support/WindowDriver.h"

namespace ztest {

HWND WaitForBox(DWORD processId, HWND except, DWORD timeoutMs) {
    HWND box = nullptr;
    WaitFor(
        [&] {
            for (HWND hwnd : ProcessWindows(processId)) {
                if (hwnd != except && IsDialog(hwnd) && ::IsWindowVisible(hwnd)) {
                    box = hwnd;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return box;
}

BoxText ReadBox(HWND box) {
    BoxText view;
    view.caption = WindowText(box);
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) != L"Static") continue;
        view.text = WindowText(child);
        if (!view.text.empty()) break;
    }
    return view;
}

bool AnswerBox(HWND box, int buttonId) {
    WindowDriver(box).Command(buttonId);
    return WaitFor([&] { return !::IsWindow(box) || !::IsWindowVisible(box); }, 10000);
}

}  // namespace ztest
