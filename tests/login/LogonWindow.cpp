#include "tests/login/LogonWindow.h"

#include "common/ui/XDialogTemplate.h"
#include "tests/support/Screenshot.h"

namespace ztest {
namespace {

constexpr int kProgressId = 1013;  // only the sign-in dialog has one

bool IsSignInDialog(HWND hwnd) {
    HWND progress = ::GetDlgItem(hwnd, kProgressId);
    return IsDialog(hwnd) && progress && ClassOf(progress) == L"msctls_progress32";
}

// The icon a box shows, told apart by drawing the candidates on the box's background.
BoxIcon IconOf(HWND box) {
    HWND icon = ::GetDlgItem(box, IDICON_XMB);
    if (!icon || !::IsWindowVisible(icon)) return BoxIcon::None;
    RECT client{};
    ::GetClientRect(icon, &client);
    ::MapWindowPoints(icon, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const Pixels shown = CaptureScreen(client);
    const struct {
        const wchar_t* resource;
        BoxIcon icon;
    } candidates[] = {{IDI_ASTERISK, BoxIcon::Information}, {IDI_EXCLAMATION, BoxIcon::Warning}};
    BoxIcon best = BoxIcon::Unknown;
    size_t fewest = shown.data.size() / 20 + 1;  // at most 5 % of the pixels may differ
    for (const auto& candidate : candidates) {
        const Pixels drawn = DrawPicture(shown.width, shown.height, [&](HDC dc) {
            const RECT all{0, 0, shown.width, shown.height};
            ::FillRect(dc, &all, ::GetSysColorBrush(COLOR_BTNFACE));
            ::DrawIcon(dc, 0, 0, ::LoadIconW(nullptr, candidate.resource));
        });
        const size_t differing = DifferingPixels(shown, drawn);
        if (differing < fewest) {
            fewest = differing;
            best = candidate.icon;
        }
    }
    return best;
}

}  // namespace

const char* BoxIconName(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::None: return "none";
        case BoxIcon::Information: return "information";
        case BoxIcon::Warning: return "warning";
        default: return "unknown";
    }
}

HWND LogonWindow::WaitForDialog(DWORD timeoutMs) {
    WaitFor(
        [&] {
            for (HWND hwnd : ProcessWindows(m_processId)) {
                if (IsSignInDialog(hwnd)) {
                    m_window = hwnd;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return m_window;
}

bool LogonWindow::WaitVisible(bool visible, DWORD timeoutMs) const {
    return WaitFor([&] { return DialogVisible() == visible; }, timeoutMs);
}

HWND LogonWindow::FindBox() const {
    for (HWND hwnd : ProcessWindows(m_processId)) {
        if (hwnd != m_window && IsDialog(hwnd) && ::IsWindowVisible(hwnd) && !IsSignInDialog(hwnd)) return hwnd;
    }
    return nullptr;
}

HWND LogonWindow::WaitForBox(DWORD timeoutMs) const {
    HWND box = nullptr;
    WaitFor([&] { return (box = FindBox()) != nullptr; }, timeoutMs);
    if (box) ::Sleep(200);  // painted, for the icon
    return box;
}

BoxView LogonWindow::ReadBox(HWND box) {
    BoxView view;
    view.caption = WindowText(box);
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) != L"Static") continue;
        view.text = WindowText(child);
        if (!view.text.empty()) break;
    }
    view.icon = IconOf(box);
    return view;
}

bool LogonWindow::DismissBox(HWND box) {
    WindowDriver(box).Command(IDOK);
    return WaitFor([&] { return !::IsWindow(box) || !::IsWindowVisible(box); }, 10000);
}

}  // namespace ztest
