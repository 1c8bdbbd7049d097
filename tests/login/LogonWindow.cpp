#include "tests/login/LogonWindow.h"

#include <vector>

#include "common/ui/XDialogTemplate.h"
#include "tests/support/Screenshot.h"

namespace ztest {
namespace {

constexpr UINT kSendTimeoutMs = 10000;
constexpr int kProgressId = 1013;  // only the sign-in dialog has one

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    return name;
}

bool IsDialogClass(HWND hwnd) { return ClassOf(hwnd) == L"#32770"; }

// The top-level windows of the process.
std::vector<HWND> WindowsOf(DWORD processId) {
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    ::EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(hwnd, &owner);
            if (owner == s->processId) s->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsSignInDialog(HWND hwnd) {
    HWND progress = ::GetDlgItem(hwnd, kProgressId);
    return IsDialogClass(hwnd) && progress && ClassOf(progress) == L"msctls_progress32";
}

}  // namespace

std::wstring LogonWindow::WindowText(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length)) return {};
    std::vector<wchar_t> buffer(length + 1, L'\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG,
                          kSendTimeoutMs, &copied);
    return std::wstring(buffer.data(), copied <= length ? copied : length);
}

namespace {

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
            for (HWND hwnd : WindowsOf(m_processId)) {
                if (IsSignInDialog(hwnd)) {
                    m_dialog = hwnd;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return m_dialog;
}

bool LogonWindow::WaitVisible(bool visible, DWORD timeoutMs) const {
    return WaitFor([&] { return DialogVisible() == visible; }, timeoutMs);
}

HWND LogonWindow::FindBox() const {
    for (HWND hwnd : WindowsOf(m_processId)) {
        if (hwnd != m_dialog && IsDialogClass(hwnd) && ::IsWindowVisible(hwnd) && !IsSignInDialog(hwnd)) return hwnd;
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
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
    return WaitFor([&] { return !::IsWindow(box) || !::IsWindowVisible(box); }, 10000);
}

void LogonWindow::Click(int id, bool wait) const {
    if (wait) {
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(Control(id), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
    } else {
        ::PostMessageW(Control(id), BM_CLICK, 0, 0);
    }
}

void LogonWindow::SetText(int id, const std::wstring& text) const {
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                          kSendTimeoutMs, &ignored);
}

std::wstring LogonWindow::Text(int id) const { return WindowText(Control(id)); }

bool LogonWindow::Checked(int id) const {
    DWORD_PTR state = 0;
    ::SendMessageTimeoutW(Control(id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &state);
    return state == BST_CHECKED;
}

bool LogonWindow::Enabled(int id) const { return ::IsWindowEnabled(Control(id)) != FALSE; }

bool LogonWindow::Visible(int id) const { return ::IsWindowVisible(Control(id)) != FALSE; }

int LogonWindow::FocusId() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(m_dialog, nullptr), &info)) return 0;
    return info.hwndFocus && ::IsChild(m_dialog, info.hwndFocus) ? ::GetDlgCtrlID(info.hwndFocus) : 0;
}

void LogonWindow::Settle() const {
    DWORD_PTR ignored = 0;
    // Any message the dialog answers at once; it is handled only when the thread is back in its loop.
    ::SendMessageTimeoutW(m_dialog, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
}

void LogonWindow::Key(WORD virtualKey) const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    HWND target = m_dialog;
    if (::GetGUIThreadInfo(::GetWindowThreadProcessId(m_dialog, nullptr), &info) && info.hwndFocus) {
        target = info.hwndFocus;
    }
    ::PostMessageW(target, WM_KEYDOWN, virtualKey, 1);
    ::PostMessageW(target, WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
}

}  // namespace ztest
