#include "tray/SystemTray.h"

#include <algorithm>

#include "common/framework/WinApp.h"

namespace {

constexpr UINT kIconFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

// Copies at most what the field holds, always terminated, and never half a surrogate pair.
template <size_t N>
void CopyCut(wchar_t (&field)[N], const std::wstring& text) {
    size_t length = std::min(text.size(), N - 1);
    if (length < text.size() && length > 0 && IS_HIGH_SURROGATE(text[length - 1])) --length;
    std::copy_n(text.c_str(), length, field);
    field[length] = L'\0';
}

UINT ShellRestartedMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

}  // namespace

CSystemTray::CSystemTray() : m_notify(&::Shell_NotifyIconW) {}

CSystemTray::~CSystemTray() {
    if (m_enabled && !m_removed) Notify(NIM_DELETE, 0);
    if (m_hWnd) DestroyWindow();
}

void CSystemTray::DeclareMessageMap(MessageMap& map) {
    CWnd::DeclareMessageMap(map);
    map.OnMessage(UWM_TRAY_CALLBACK, &CSystemTray::OnOwnCallback);
    map.OnMessage(WM_SETTINGCHANGE, &CSystemTray::OnSettingChange);
    if (ShellRestartedMessage() != 0) map.OnMessage(ShellRestartedMessage(), &CSystemTray::OnShellRestarted);
}

bool CSystemTray::CreateIcon(CWnd* parent, const std::wstring& tip, HICON icon, UINT id, bool hidden,
                             const std::wstring& balloonText, const std::wstring& balloonTitle, DWORD balloonFlags,
                             UINT balloonSeconds) {
    if (m_hWnd || !m_notify) return false;
    if (!CreateEx(0, nullptr, L"", WS_POPUP, RECT{0, 0, 0, 0}, nullptr, 0)) return false;
    // The shell's restart comes from a program of lower rights than an elevated tray's.
    if (ShellRestartedMessage() != 0) {
        ::ChangeWindowMessageFilterEx(m_hWnd, ShellRestartedMessage(), MSGFLT_ALLOW, nullptr);
    }
    m_enabled = true;

    m_data = NOTIFYICONDATAW{};
    m_data.cbSize = sizeof(m_data);
    m_data.hWnd = parent && parent->m_hWnd ? parent->m_hWnd : m_hWnd;
    m_data.uID = id;
    m_data.hIcon = icon;
    m_data.uCallbackMessage = UWM_TRAY_CALLBACK;
    CopyCut(m_data.szTip, tip);
    UINT flags = kIconFlags;
    if (!balloonText.empty()) {
        flags |= NIF_INFO;
        CopyCut(m_data.szInfo, balloonText);
        CopyCut(m_data.szInfoTitle, balloonTitle);
        m_data.uTimeout = balloonSeconds * 1000;
        m_data.dwInfoFlags = balloonFlags;
    }
    m_hidden = hidden;
    if (hidden) {
        flags |= NIF_STATE;
        m_data.dwState = NIS_HIDDEN;
        m_data.dwStateMask = NIS_HIDDEN;
    }
    m_creationFlags = flags;
    const bool added = AddIcon(flags);
    m_data.szInfo[0] = L'\0';  // later adds show no balloon
    return added;
}

bool CSystemTray::ShowTrayIcon() {
    if (!m_enabled) return false;
    if (!m_removed) HideTrayIcon();
    m_hidden = false;
    m_creationFlags &= ~NIF_STATE;  // a later re-add shows it too
    return AddIcon(kIconFlags);
}

bool CSystemTray::HideTrayIcon() {
    if (!m_enabled) return false;
    if (!m_removed && !Notify(NIM_DELETE, 0)) return false;  // still wanted: a re-add may bring it back
    m_removed = true;
    m_hidden = true;
    return true;
}

void CSystemTray::SetDefaultMenuItem(UINT item, bool byPosition) { m_defaultItem = MenuDefaultItem{item, byPosition}; }

bool CSystemTray::AddIcon(UINT flags) {
    const bool held = Notify(NIM_ADD, flags) || Notify(NIM_MODIFY, flags);
    m_removed = !held;
    return held;
}

bool CSystemTray::Notify(DWORD message, UINT flags) {
    m_data.uFlags = flags;
    return m_notify(message, &m_data) != FALSE;
}

LRESULT CSystemTray::OnSettingChange(WPARAM action, LPARAM) {
    const LRESULT result = Default();
    if (action == SPI_SETWORKAREA && m_enabled && !m_hidden) AddIcon(m_creationFlags);
    return result;
}

LRESULT CSystemTray::OnShellRestarted(WPARAM, LPARAM) {
    if (m_enabled && !m_hidden) AddIcon(m_creationFlags);
    return 0;
}

LRESULT CSystemTray::OnOwnCallback(WPARAM id, LPARAM mouseMessage) { return OnIconNotify(id, mouseMessage); }

HWND CSystemTray::Target() const { return m_target ? m_target : AfxGetMainWindow(); }

void CSystemTray::PrepareMenu(HMENU) {}

TrayPopupMenu CSystemTray::LoadPopupMenu() {
    TrayPopupMenu popup;
    popup.menu = LoadMenuResource(AfxGetResourceHandle(), m_menuId != 0 ? m_menuId : m_data.uID);
    popup.popup = popup.menu ? ::GetSubMenu(popup.menu.get(), 0) : nullptr;
    if (!popup.popup) return TrayPopupMenu{};
    PrepareMenu(popup.popup);
    MarkDefaultMenuItem(popup.popup, m_defaultItem);
    return popup;
}

int CSystemTray::OnIconNotify(WPARAM id, LPARAM mouseMessage) {
    if (id != m_data.uID) return 0;
    const HWND target = Target();
    if (!target) return 0;

    switch (LOWORD(mouseMessage)) {
        case WM_RBUTTONUP: {
            const TrayPopupMenu popup = LoadPopupMenu();
            if (!popup.popup) return 0;
            POINT cursor{};
            ::GetCursorPos(&cursor);
            // Without the foreground the popup would not close when the user clicks elsewhere; the null
            // message afterwards lets the next click open it again.
            ::SetForegroundWindow(target);
            ::TrackPopupMenu(popup.popup, TPM_LEFTBUTTON, cursor.x, cursor.y, 0, target, nullptr);
            ::PostMessageW(target, WM_NULL, 0, 0);
            return 1;
        }
        case WM_LBUTTONDBLCLK: {
            ::SetForegroundWindow(target);
            UINT command = m_defaultItem.item;
            if (m_defaultItem.byPosition) {
                const TrayPopupMenu popup = LoadPopupMenu();
                if (!popup.popup) return 0;
                command = ::GetMenuItemID(popup.popup, static_cast<int>(m_defaultItem.item));
                if (command == static_cast<UINT>(-1)) return 1;  // a separator or a submenu
            }
            ::PostMessageW(target, WM_COMMAND, MAKEWPARAM(command, 0), 0);
            return 1;
        }
        default:
            return 1;
    }
}
