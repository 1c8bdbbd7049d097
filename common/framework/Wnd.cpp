#include "common/framework/Wnd.h"

#include <algorithm>
#include <unordered_map>

#include "common/framework/WorkerTasks.h"

namespace {

// The objects bound to this process's windows. A table of the process rather than a window property: Wine
// keeps properties in its server, and a lookup on every message (each row put in a list view sends several)
// made filling a long list take minutes. Being the process's own, it also never holds another's window.
class BindingTable {
public:
    CWnd* Find(HWND hwnd) {
        ::AcquireSRWLockShared(&m_lock);
        const auto found = m_objects.find(hwnd);
        CWnd* wnd = found == m_objects.end() ? nullptr : found->second;
        ::ReleaseSRWLockShared(&m_lock);
        return wnd;
    }
    void Set(HWND hwnd, CWnd* wnd) {
        ::AcquireSRWLockExclusive(&m_lock);
        if (wnd) {
            m_objects[hwnd] = wnd;
        } else {
            m_objects.erase(hwnd);
        }
        ::ReleaseSRWLockExclusive(&m_lock);
    }

private:
    SRWLOCK m_lock = SRWLOCK_INIT;
    std::unordered_map<HWND, CWnd*> m_objects;
};

// Never destroyed: objects of static lifetime unbind at exit, after function statics may have gone.
BindingTable& Bindings() {
    static BindingTable* table = new BindingTable;
    return *table;
}

// The procedure a bound window replaced, kept with the window: when the object lets go while another
// subclass sits above ours, our procedure stays in the chain and passes every message on to it.
const wchar_t kReplacedProcProp[] = L"ZorvaneWndReplacedProc";
const wchar_t kPlainClass[] = L"ZorvaneFrameworkWnd";

// The object that CreateEx is creating on this thread, handed to the creation hook.
thread_local CWnd* t_creating = nullptr;

const wchar_t* PlainWindowClass() {
    static const ATOM atom = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kPlainClass;
        return ::RegisterClassExW(&wc);
    }();
    return atom ? kPlainClass : nullptr;
}

std::wstring TextOf(HWND hwnd) {
    if (!hwnd) return {};
    const int length = ::GetWindowTextLengthW(hwnd);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return text;
}

}  // namespace

void MessageMap::Add(Kind kind, UINT msg, UINT code, UINT id, Handler handler) {
    m_entries.push_back(Entry{kind, msg, code, id, std::move(handler)});
}

const MessageMap::Handler* MessageMap::Find(Kind kind, UINT msg, UINT code, UINT id) const {
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
        if (it->kind != kind || it->msg != msg) continue;
        switch (kind) {
            case Kind::Message:
                return &it->handler;
            case Kind::Command:
            case Kind::Notify:
                if (it->code == code && it->id == id) return &it->handler;
                break;
            case Kind::ReflectedCommand:
            case Kind::ReflectedNotify:
                if (it->code == code) return &it->handler;
                break;
        }
    }
    return nullptr;
}

CWnd::~CWnd() {
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        if (m_previousProc) {
            UnsubclassWindow();
        } else {
            Unbind();
        }
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    return hwnd ? Bindings().Find(hwnd) : nullptr;
}

void CWnd::Bind(HWND hwnd) {
    m_hWnd = hwnd;
    Bindings().Set(hwnd, this);
    m_map = std::make_unique<MessageMap>(this);
    DeclareMessageMap(*m_map);
}

void CWnd::Unbind() {
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) Bindings().Set(m_hWnd, nullptr);
    // No result can reach this object through the window any more.
    if (m_hWnd && m_tasks) m_tasks->OnOwnerWindowGone();
    m_hWnd = nullptr;
    m_previousProc = nullptr;
}

bool CWnd::SubclassWindow(HWND hwnd) {
    if (m_hWnd || !hwnd || !::IsWindow(hwnd) || FromHandlePermanent(hwnd) || ::GetPropW(hwnd, kReplacedProcProp)) {
        return false;
    }
    Bind(hwnd);
    m_previousProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::BoundWindowProc)));
    if (!m_previousProc) {
        Unbind();
        return false;
    }
    ::SetPropW(hwnd, kReplacedProcProp, reinterpret_cast<HANDLE>(m_previousProc));
    return true;
}

bool CWnd::SubclassDlgItem(UINT id, HWND parent) {
    return SubclassWindow(::GetDlgItem(parent, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow() {
    HWND hwnd = m_hWnd;
    if (!hwnd) return nullptr;
    if (m_previousProc &&
        ::GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CWnd::BoundWindowProc)) {
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
        ::RemovePropW(hwnd, kReplacedProcProp);
    }
    Unbind();
    return hwnd;
}

LRESULT CALLBACK CWnd::CreationHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && t_creating) {
        CWnd* wnd = t_creating;
        t_creating = nullptr;
        wnd->SubclassWindow(reinterpret_cast<HWND>(wParam));
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, const RECT& rect,
                    HWND parent, UINT id) {
    if (m_hWnd) return false;
    if (!className) className = PlainWindowClass();
    if (!className) return false;
    HHOOK hook = ::SetWindowsHookExW(WH_CBT, &CWnd::CreationHook, nullptr, ::GetCurrentThreadId());
    if (!hook) return false;
    t_creating = this;
    HMENU menuOrId = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr;
    HWND hwnd = ::CreateWindowExW(exStyle, className, text ? text : L"", style, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, parent, menuOrId,
                                  ::GetModuleHandleW(nullptr), nullptr);
    t_creating = nullptr;
    ::UnhookWindowsHookEx(hook);
    if (hwnd && m_hWnd != hwnd) {
        // Created but not bound to this object (the hook saw another window first): nothing would ever
        // destroy it, and the object lets go of the window it caught.
        if (m_hWnd) UnsubclassWindow();
        ::DestroyWindow(hwnd);
        return false;
    }
    return hwnd != nullptr;
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    HWND hwnd = m_hWnd;
    if (FromHandlePermanent(hwnd) != this) m_hWnd = nullptr;  // a plain wrapper: nothing unbinds it later
    return ::DestroyWindow(hwnd);
}

LRESULT CALLBACK CWnd::BoundWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromHandlePermanent(hwnd);
    if (!wnd) {
        const WNDPROC replaced = reinterpret_cast<WNDPROC>(::GetPropW(hwnd, kReplacedProcProp));
        if (msg == WM_NCDESTROY) ::RemovePropW(hwnd, kReplacedProcProp);
        return replaced ? ::CallWindowProcW(replaced, hwnd, msg, wParam, lParam)
                        : ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    const Current saved = wnd->m_current;
    wnd->m_current = Current{msg, wParam, lParam};
    const LRESULT result = wnd->WindowProc(msg, wParam, lParam);
    wnd->m_current = saved;
    if (msg == WM_NCDESTROY && FromHandlePermanent(hwnd) == wnd) {
        ::RemovePropW(hwnd, kReplacedProcProp);
        wnd->Unbind();
        wnd->PostNcDestroy();
    }
    return result;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (OnWndMsg(msg, wParam, lParam, &result)) return result;
    return DefaultProc(msg, wParam, lParam);
}

void CWnd::DeclareMessageMap(MessageMap&) {}

LRESULT CWnd::Default() { return DefaultProc(m_current.msg, m_current.wParam, m_current.lParam); }

LRESULT CWnd::DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (m_previousProc) return ::CallWindowProcW(m_previousProc, m_hWnd, msg, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, msg, wParam, lParam);
}

bool CWnd::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (msg != 0 && msg == TaskDoneMessage()) {  // the framework's own: never the owner's table
        if (m_tasks) m_tasks->Deliver(static_cast<TaskTicket>(wParam));
        *result = 0;
        return true;
    }
    if (!m_map) return false;
    using Kind = MessageMap::Kind;
    const MessageMap::Handler* handler = nullptr;
    if (msg == WM_COMMAND) {
        HWND control = reinterpret_cast<HWND>(lParam);
        if (control && control != m_hWnd) {
            CWnd* child = FromHandlePermanent(control);
            if (child && child->OnChildNotify(msg, wParam, lParam, result)) return true;
        }
        handler = m_map->Find(Kind::Command, msg, HIWORD(wParam), LOWORD(wParam));
    } else if (msg == WM_NOTIFY && lParam) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == m_hWnd) {
            handler = m_map->Find(Kind::ReflectedNotify, msg, header->code, 0);
        } else {
            CWnd* child = FromHandlePermanent(header->hwndFrom);
            if (child && child->OnChildNotify(msg, wParam, lParam, result)) return true;
            handler = m_map->Find(Kind::Notify, msg, header->code, static_cast<UINT>(header->idFrom));
        }
    }
    if (!handler) handler = m_map->Find(Kind::Message, msg, 0, 0);
    if (!handler) return false;
    *result = (*handler)(wParam, lParam);
    return true;
}

bool CWnd::OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (!m_map) return false;
    using Kind = MessageMap::Kind;
    const MessageMap::Handler* handler = nullptr;
    if (msg == WM_COMMAND) {
        handler = m_map->Find(Kind::ReflectedCommand, msg, HIWORD(wParam), 0);
    } else if (msg == WM_NOTIFY) {
        handler = m_map->Find(Kind::ReflectedNotify, msg, reinterpret_cast<const NMHDR*>(lParam)->code, 0);
    }
    if (!handler) return false;
    *result = (*handler)(wParam, lParam);
    return true;
}

std::wstring CWnd::GetWindowText() const { return TextOf(m_hWnd); }

std::wstring CWnd::GetDlgItemText(int id) const { return TextOf(::GetDlgItem(m_hWnd, id)); }

RECT CWnd::GetClientRect() const {
    RECT r{};
    ::GetClientRect(m_hWnd, &r);
    return r;
}

RECT CWnd::GetWindowRect() const {
    RECT r{};
    ::GetWindowRect(m_hWnd, &r);
    return r;
}

bool CWnd::ModifyStyle(DWORD remove, DWORD add) const {
    const DWORD before = GetStyle();
    const DWORD after = (before & ~remove) | add;
    if (after == before) return false;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(after));
    return true;
}

void CWnd::CenterWindow(HWND alternate) const {
    HWND around = alternate ? alternate : ::GetWindow(m_hWnd, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(around ? around : m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT work = monitor.rcWork;
    RECT centre = work;
    if (around && ::IsWindowVisible(around) && !::IsIconic(around)) ::GetWindowRect(around, &centre);
    const RECT self = GetWindowRect();
    const int width = self.right - self.left;
    const int height = self.bottom - self.top;
    int left = (centre.left + centre.right) / 2 - width / 2;
    int top = (centre.top + centre.bottom) / 2 - height / 2;
    left = std::max<int>(work.left, std::min<int>(left, work.right - width));
    top = std::max<int>(work.top, std::min<int>(top, work.bottom - height));
    ::SetWindowPos(m_hWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CWnd::GetScrollLimit(int bar) const {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE;
    if (!::GetScrollInfo(m_hWnd, bar, &info)) return 0;
    const int page = info.nPage > 0 ? static_cast<int>(info.nPage) - 1 : 0;
    return std::max(info.nMax - page, 0);
}

bool CWnd::PreTranslateChain(MSG* msg) {
    for (HWND hwnd = msg->hwnd; hwnd;) {
        CWnd* wnd = FromHandlePermanent(hwnd);
        if (wnd && wnd->PreTranslateMessage(msg)) return true;
        if (!(::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD)) break;
        hwnd = ::GetParent(hwnd);
    }
    return false;
}
