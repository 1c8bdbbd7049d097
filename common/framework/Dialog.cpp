#include "common/framework/Dialog.h"

#include "common/framework/WinApp.h"

namespace {

// Messages whose dialog-procedure result is the value itself rather than TRUE with DWLP_MSGRESULT.
bool ReturnsValueDirectly(UINT msg) {
    switch (msg) {
        case WM_INITDIALOG:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
            return true;
        default:
            return false;
    }
}

}  // namespace

void CDataExchange::Bind(int id, CWnd& control) {
    if (!control.m_hWnd && m_dialog && m_dialog->m_hWnd) {
        control.SubclassDlgItem(static_cast<UINT>(id), m_dialog->m_hWnd);
    }
}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_pParentWnd(parent), m_templateId(templateId) {}

CDialog::CDialog(const DLGTEMPLATE* memoryTemplate, CWnd* parent)
    : m_pParentWnd(parent), m_memoryTemplate(memoryTemplate) {}

CDialog::~CDialog() {
    // Unbind first: the derived parts of this object are gone, so no message may reach them.
    HWND hwnd = m_hWnd;
    if (hwnd && FromHandlePermanent(hwnd) == this) {
        Unbind();
        ::DestroyWindow(hwnd);
    }
}

const DLGTEMPLATE* CDialog::ResolveTemplate() const {
    if (m_memoryTemplate) return m_memoryTemplate;
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(m_templateId), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (!found) return nullptr;
    HGLOBAL loaded = ::LoadResource(module, found);
    return loaded ? static_cast<const DLGTEMPLATE*>(::LockResource(loaded)) : nullptr;
}

INT_PTR CDialog::DoModal() {
    if (m_hWnd) return -1;
    const DLGTEMPLATE* dialogTemplate = ResolveTemplate();
    if (!dialogTemplate) return -1;

    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : AfxGetMainWindow();
    while (owner && (::GetWindowLongPtrW(owner, GWL_STYLE) & WS_CHILD)) owner = ::GetParent(owner);

    m_modal = true;
    m_ending = false;
    m_result = IDCANCEL;
    HWND hwnd = ::CreateDialogIndirectParamW(AfxGetResourceHandle(), dialogTemplate, owner, &CDialog::DialogProc,
                                             reinterpret_cast<LPARAM>(this));
    if (!hwnd) {
        m_modal = false;
        return -1;
    }
    const bool disableOwner = owner && ::IsWindowEnabled(owner);
    if (disableOwner) ::EnableWindow(owner, FALSE);

    MSG msg;
    while (!m_ending && ::IsWindow(hwnd)) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the loop outside
            break;
        }
        if (!PreTranslateChain(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }

    if (disableOwner) ::EnableWindow(owner, TRUE);
    if (owner && ::GetActiveWindow() == hwnd) ::SetActiveWindow(owner);
    if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
    if (m_hWnd == hwnd) Unbind();
    m_modal = false;
    return m_result;
}

bool CDialog::Create(UINT templateId, CWnd* parent) {
    m_templateId = templateId;
    m_memoryTemplate = nullptr;
    return Create(parent);
}

bool CDialog::Create(CWnd* parent) {
    if (m_hWnd) return false;
    m_pParentWnd = parent;
    const DLGTEMPLATE* dialogTemplate = ResolveTemplate();
    if (!dialogTemplate) return false;
    HWND hwnd = ::CreateDialogIndirectParamW(AfxGetResourceHandle(), dialogTemplate,
                                             parent ? parent->m_hWnd : nullptr, &CDialog::DialogProc,
                                             reinterpret_cast<LPARAM>(this));
    m_created = hwnd != nullptr;
    return m_created && m_hWnd == hwnd;
}

bool CDialog::EndDialog(int result) {
    if (m_hWnd && ::GetWindowThreadProcessId(m_hWnd, nullptr) != ::GetCurrentThreadId()) return false;
    m_result = result;
    if (m_modal) {
        m_ending = true;
        // A message sent from another thread is handled inside GetMessageW, which then still waits: wake it.
        if (m_hWnd) PostMessage(WM_NULL);
    } else if (m_hWnd) {
        ShowWindow(SW_HIDE);
    }
    return true;
}

BOOL CDialog::DestroyWindow() {
    HWND hwnd = m_hWnd;
    if (!hwnd) return FALSE;
    const BOOL destroyed = ::DestroyWindow(hwnd);
    if (m_hWnd == hwnd && !::IsWindow(hwnd)) Unbind();
    return destroyed;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

bool CDialog::UpdateData(bool save) {
    CDataExchange dx(this, save);
    DoDataExchange(&dx);
    return true;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (!m_hWnd || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
    if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)) return FALSE;
    if ((GetStyle() & WS_CHILD) && msg->message == WM_KEYDOWN &&
        (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
        // A page keeps Enter and Escape: the dialog manager would hand a DS_CONTROL page's keys to the
        // dialog around it, whose default button would then end the whole window.
        const LRESULT code = ::SendMessageW(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
        if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return FALSE;  // the control's own key
        int id = IDCANCEL;
        if (msg->wParam == VK_RETURN) {
            id = IDOK;
            const LRESULT defId = SendMessage(DM_GETDEFID);
            if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
                id = ::GetDlgCtrlID(msg->hwnd);
            } else if (HIWORD(defId) == DC_HASDEFID) {
                id = LOWORD(defId);
            }
        }
        HWND button = GetDlgItem(id);
        if (!button || ::IsWindowEnabled(button)) {
            SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        }
        return TRUE;
    }
    return ::IsDialogMessageW(m_hWnd, msg);
}

LRESULT CDialog::DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    // DefDlgProcW first calls the dialog procedure again with this very message; that call is told to
    // decline, so the dialog manager's own handling runs.
    const UINT savedFor = m_defaultFor;
    const bool savedIn = m_inDefault;
    m_defaultFor = msg;
    m_inDefault = true;
    const LRESULT result = ::DefDlgProcW(m_hWnd, msg, wParam, lParam);
    m_defaultFor = savedFor;
    m_inDefault = savedIn;
    return result;
}

bool CDialog::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (CWnd::OnWndMsg(msg, wParam, lParam, result)) return true;
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            *result = 0;
            return true;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            *result = 0;
            return true;
        }
    }
    return false;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CDialog* dialog = nullptr;
    if (msg == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        if (!dialog) return TRUE;
        dialog->Bind(hwnd);
    } else {
        dialog = static_cast<CDialog*>(FromHandlePermanent(hwnd));
        if (!dialog) return FALSE;
        if (dialog->m_inDefault && dialog->m_defaultFor == msg) {
            dialog->m_inDefault = false;
            return FALSE;
        }
    }

    const Current saved = dialog->m_current;
    dialog->m_current = Current{msg, wParam, lParam};
    LRESULT result = 0;
    bool handled = true;
    if (msg == WM_INITDIALOG) {
        result = dialog->OnInitDialog();
    } else {
        handled = dialog->OnWndMsg(msg, wParam, lParam, &result);
    }
    dialog->m_current = saved;

    if (msg == WM_NCDESTROY) {
        if (FromHandlePermanent(hwnd) == dialog) {
            dialog->Unbind();
            dialog->PostNcDestroy();
        }
        return FALSE;
    }
    if (!handled) return FALSE;
    if (ReturnsValueDirectly(msg)) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}
