#include "common/ui/XMessageBox.h"

#include <algorithm>
#include <cwchar>
#include <vector>

#include "common/language/LangTable.h"

namespace {

const wchar_t kValueNameTable[] = L"4390IPJGRMTYtL5oaAFBfVSqxbd68WjeNuDE2ZlykQzspwvhmOcnHUX71iCrKgZv";
static_assert(sizeof(kValueNameTable) / sizeof(wchar_t) == 65, "64 table characters");

const wchar_t kIconProcProp[] = L"ZorvaneXmbIconProc";
constexpr UINT_PTR kCountdownTimer = 1;
constexpr UINT_PTR kDisableTimer = 2;
constexpr int kLastButtonId = 26;

std::wstring ModulePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

CXDialogTemplate* TemplateOf(HWND hwnd) {
    return reinterpret_cast<CXDialogTemplate*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

bool IsButtonClass(HWND control) {
    wchar_t name[16] = {};
    return ::GetClassNameW(control, name, 16) > 0 && ::_wcsicmp(name, L"Button") == 0;
}

void SetButtonsEnabled(HWND dialog, bool enabled) {
    for (int id = 1; id <= kLastButtonId; ++id) {
        HWND control = ::GetDlgItem(dialog, id);
        if (control && IsButtonClass(control)) ::EnableWindow(control, enabled);
    }
}

void SetCloseItem(HWND dialog, bool enabled) {
    ::EnableMenuItem(::GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

bool CloseAllowed(const CXDialogTemplate& t) {
    return (t.m_flags & (CXDialogTemplate::kFlagHasCancel | CXDialogTemplate::kFlagOkOnly)) != 0;
}

void StopCountdown(HWND dialog, CXDialogTemplate& t) {
    ::KillTimer(dialog, kCountdownTimer);
    if (!t.m_savedDefaultText.empty()) ::SetDlgItemTextW(dialog, t.m_defaultButtonId, t.m_savedDefaultText.c_str());
}

std::wstring AnswerValueName(const CXDialogTemplate& t) {
    std::wstring name = t.m_answerKey;
    return MakeAnswerValueName(name) + std::to_wstring(t.m_answerKeyNumber);
}

// Places the box: at the options' position, else centred on its owner. An owner that is minimised or hidden
// keeps the dialog manager's centring, and the box always stays on the work area, so it can be answered.
void PlaceBox(HWND dialog, const CXDialogTemplate& t) {
    RECT box{};
    ::GetWindowRect(dialog, &box);
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    int left = box.left;
    int top = box.top;
    HWND owner = ::GetWindow(dialog, GW_OWNER);
    if (t.m_x != 0 || t.m_y != 0) {
        left = t.m_x;
        top = t.m_y;
    } else if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        RECT parent{};
        ::GetWindowRect(owner, &parent);
        left = (parent.left + parent.right) / 2 - width / 2;
        top = (parent.top + parent.bottom) / 2 - height / 2;
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    const RECT wanted{left, top, left + width, top + height};
    if (::GetMonitorInfoW(::MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        left = std::max<int>(work.left, std::min<int>(left, work.right - width));
        top = std::max<int>(work.top, std::min<int>(top, work.bottom - height));
    }
    ::MoveWindow(dialog, left, top, width, height, FALSE);
}

void OnInit(HWND dialog, CXDialogTemplate& t) {
    HFONT font = static_cast<HFONT>(t.m_font.get());
    if (font) {
        for (int id = IDTEXT_XMB; id < t.m_nextStaticId; ++id) ::SendDlgItemMessageW(dialog, id, WM_SETFONT, WPARAM(font), 0);
        for (int id = 1; id <= kLastButtonId; ++id) ::SendDlgItemMessageW(dialog, id, WM_SETFONT, WPARAM(font), 0);
        for (int id : {IDHELP_XMB, IDCHECKBOX_XMB, IDREPORT_XMB}) {
            ::SendDlgItemMessageW(dialog, id, WM_SETFONT, WPARAM(font), 0);
        }
    }
    ::CheckDlgButton(dialog, IDCHECKBOX_XMB, BST_UNCHECKED);
    if (t.m_disableSeconds > 0) {
        SetButtonsEnabled(dialog, false);
        SetCloseItem(dialog, false);
    }
    ::SetFocus(::GetDlgItem(dialog, t.m_defaultButtonId));
    if (!CloseAllowed(t)) SetCloseItem(dialog, false);
    if (t.m_icon) {
        HWND iconStatic = ::GetDlgItem(dialog, IDICON_XMB);
        if (iconStatic) {
            ::SetWindowLongPtrW(iconStatic, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(t.m_icon));
            const LONG_PTR previous = ::SetWindowLongPtrW(iconStatic, GWLP_WNDPROC,
                                                          reinterpret_cast<LONG_PTR>(&IconStaticWndProc));
            ::SetPropW(iconStatic, kIconProcProp, reinterpret_cast<HANDLE>(previous));
        }
    }
    if (t.m_style & MB_TOPMOST) ::SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (t.m_style & MB_SETFOREGROUND) ::SetForegroundWindow(dialog);
    PlaceBox(dialog, t);
    if (t.m_countdown > 0) ::SetTimer(dialog, kCountdownTimer, 1000, nullptr);
    if (t.m_disableSeconds > 0) {
        ::SetTimer(dialog, kDisableTimer, static_cast<UINT>(t.m_disableSeconds) * 1000u, nullptr);
    }
}

void OnCountdownTick(HWND dialog, CXDialogTemplate& t) {
    if (t.m_countdown > 0) {
        HWND button = ::GetDlgItem(dialog, t.m_defaultButtonId);
        if (button) {
            if (t.m_savedDefaultText.empty()) {
                wchar_t text[100] = {};
                ::GetWindowTextW(button, text, 100);
                t.m_savedDefaultText = text;
            }
            const std::wstring shown = t.m_savedDefaultText + L" = " + std::to_wstring(t.m_countdown);
            ::SetWindowTextW(button, shown.c_str());
            --t.m_countdown;
        }
        return;
    }
    ::KillTimer(dialog, kCountdownTimer);
    ::SendMessageW(dialog, WM_COMMAND, static_cast<WPARAM>(static_cast<UINT>(t.m_defaultButtonId) | EMB_TIMED_OUT), 0);
}

void ShowHelp(HWND dialog, const CXDialogTemplate& t) {
    std::wstring path = ModulePath();
    const size_t slash = path.find_last_of(L"\\/");
    const size_t dot = path.find_last_of(L'.');
    if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash)) path.resize(dot);
    path += L".hlp";
    static const wchar_t kNoKey[] = L"";
    if (t.m_helpContextId != 0) {
        ::WinHelpW(dialog, path.c_str(), HELP_CONTEXT, static_cast<ULONG_PTR>(static_cast<unsigned>(t.m_helpContextId)));
    } else {
        ::WinHelpW(dialog, path.c_str(), HELP_PARTIALKEY, reinterpret_cast<ULONG_PTR>(kNoKey));
    }
}

void OnCommand(HWND dialog, CXDialogTemplate& t, UINT command) {
    StopCountdown(dialog, t);
    switch (command) {
        case IDCANCEL:  // the Cancel button, Escape, the close box
            if (t.m_flags & CXDialogTemplate::kFlagHasCancel) {
                ::EndDialog(dialog, IDCANCEL);
            } else if (t.m_flags & CXDialogTemplate::kFlagOkOnly) {
                ::EndDialog(dialog, IDOK);
            }
            return;
        case IDCLOSE:
            return;
        case IDHELP_XMB:
            ShowHelp(dialog, t);
            return;
        case IDREPORT_XMB:
            if (t.m_reportCallback) t.m_reportCallback(t.m_message.c_str(), t.m_reportData);
            return;
        case IDCHECKBOX_XMB:
            return;
        default:
            break;
    }
    UINT result = command;
    const UINT checkBit = static_cast<UINT>(t.m_flags & 7) << 24;
    if (checkBit && ::IsDlgButtonChecked(dialog, IDCHECKBOX_XMB) == BST_CHECKED) {
        result |= checkBit;
        if (!t.m_answerKey.empty()) WriteRememberedAnswer(t.m_companyName, AnswerValueName(t), result);
    }
    ::EndDialog(dialog, static_cast<INT_PTR>(static_cast<int>(result)));
}

}  // namespace

std::wstring& MakeAnswerValueName(std::wstring& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t code = static_cast<size_t>(static_cast<unsigned>(text[i]) & 0xFFFFu);
        text[i] = kValueNameTable[(code + 5 * i) % 64];
    }
    return text;
}

std::wstring RememberedAnswerKey(const std::wstring& company) {
    const std::wstring path = ModulePath();
    const size_t slash = path.find_last_of(L"\\/");
    const std::wstring program = slash == std::wstring::npos ? path : path.substr(slash + 1);
    std::wstring key = L"Software\\";
    if (!company.empty()) key += company + L"\\";
    return key + program + L"\\XMessageBox";
}

DWORD ReadRememberedAnswer(const std::wstring& company, const std::wstring& valueName) {
    UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, RememberedAnswerKey(company).c_str(), 0, KEY_READ, key.put()) !=
        ERROR_SUCCESS) {
        return 0;
    }
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    const LONG status =
        ::RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(value)) return 0;
    return value;
}

void WriteRememberedAnswer(const std::wstring& company, const std::wstring& valueName, DWORD answer) {
    UniqueRegKey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, RememberedAnswerKey(company).c_str(), 0, nullptr,
                          REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        return;
    }
    ::RegSetValueExW(key.get(), valueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&answer),
                     sizeof(answer));
}

void SetMessageBoxCaptions(ExtendedMessageBoxOptions& options, const std::wstring& ok, const std::wstring& cancel,
                           const std::wstring& yes, const std::wstring& no) {
    auto copy = [&options](int slot, const std::wstring& text) {
        wchar_t* target = options.customCaptions[slot];
        const size_t length = std::min(text.size(), kOptionTextUnits - 1);
        std::copy_n(text.data(), length, target);
        target[length] = L'\0';
    };
    options.useCustomCaptions = 1;
    copy(kCaptionOk, ok);
    copy(kCaptionCancel, cancel);
    copy(kCaptionYes, yes);
    copy(kCaptionNo, no);
}

void LoadMessageBoxCaptions(ExtendedMessageBoxOptions& options) {
    const CLangSection general = CLangTable::GetInstance()->SelectSection(L"general");
    SetMessageBoxCaptions(options, general.GetText(L"ok"), general.GetText(L"cancel"), general.GetText(L"yes"),
                          general.GetText(L"no"));
}

int ExtendedMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style,
                       const ExtendedMessageBoxOptions* options) {
    // 1. Owner.
    if (!owner) {
        HWND active = ::GetActiveWindow();
        owner = active ? ::GetLastActivePopup(active) : nullptr;
    }
    const ExtendedMessageBoxOptions none;
    const ExtendedMessageBoxOptions& given = options ? *options : none;
    // 2. The plain Windows box (texts given as resource ids are loaded first).
    if ((style & 0x10) && (style & MB_SYSTEMMODAL)) {
        HINSTANCE module = given.textModule ? given.textModule : ::GetModuleHandleW(nullptr);
        const std::wstring plainText = LoadTextOrResource(text, module, 65535);
        const std::wstring plainCaption = LoadTextOrResource(caption, module, 65535);
        return ::MessageBoxW(owner, plainText.c_str(), plainCaption.c_str(), style);
    }
    // 3. Caption.
    if (!caption || (!IS_INTRESOURCE(caption) && caption[0] == L'\0')) caption = L"Error";
    // 4. A copy of the options.
    ExtendedMessageBoxOptions copy = given;
    // 5. A remembered answer.
    if ((style & EMB_CHECKBOX_MASK) && copy.answerKey && copy.answerKey[0]) {
        std::wstring name = copy.answerKey;
        MakeAnswerValueName(name);
        name += std::to_wstring(copy.answerKeyNumber);
        const DWORD remembered = ReadRememberedAnswer(std::wstring(copy.companyName), name);
        if (remembered & EMB_CHECKBOX_MASK) return static_cast<int>(remembered);
    }
    // 6. Limits.
    if (copy.countdownSeconds >= 1000) copy.countdownSeconds = 10;
    if (copy.disableSeconds >= 1000) copy.disableSeconds = 10;
    // 7. to 9.
    CXDialogTemplate box(caption, owner, text, style, copy);
    if (!(style & EMB_NO_BEEP)) ::MessageBeep(style & 0xF0);
    return box.Display();
}

INT_PTR CALLBACK ExtendedMessageBoxDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, lParam);
        if (CXDialogTemplate* t = TemplateOf(hwnd)) OnInit(hwnd, *t);
        return FALSE;  // the focus is set
    }
    CXDialogTemplate* t = TemplateOf(hwnd);
    if (!t) return FALSE;
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_NCLBUTTONDOWN:
            StopCountdown(hwnd, *t);
            return FALSE;
        case WM_TIMER:
            if (wParam == kCountdownTimer) {
                OnCountdownTick(hwnd, *t);
                return TRUE;
            }
            if (wParam == kDisableTimer) {
                ::KillTimer(hwnd, kDisableTimer);
                SetButtonsEnabled(hwnd, true);
                if (CloseAllowed(*t)) SetCloseItem(hwnd, true);
                ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                return TRUE;
            }
            return FALSE;
        case WM_COMMAND:
            OnCommand(hwnd, *t, static_cast<UINT>(wParam));
            return TRUE;
        default:
            return FALSE;
    }
}

LRESULT CALLBACK IconStaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        HICON icon = reinterpret_cast<HICON>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (icon) ::DrawIcon(dc, 0, 0, icon);
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    // Everything else keeps the static's own handling, its clean-up at the end included.
    WNDPROC previous = reinterpret_cast<WNDPROC>(::GetPropW(hwnd, kIconProcProp));
    if (msg == WM_NCDESTROY) ::RemovePropW(hwnd, kIconProcProp);
    return previous ? ::CallWindowProcW(previous, hwnd, msg, wParam, lParam)
                    : ::DefWindowProcW(hwnd, msg, wParam, lParam);
}
