#pragma once
// CWnd: one object per window, bound to its handle, with a declared table of handlers.
//
// The object never owns the window: its destructor unbinds it (restoring the window procedure it replaced) and
// leaves the window alive. A window is bound by subclassing an existing handle, by creating it through CreateEx
// (bound before WM_NCCREATE) or, for dialogs, at WM_INITDIALOG (see Dialog.h).
//
// A window object belongs to its window's thread: its members are called there; another thread only posts
// to the window. A window object may own worker tasks (WorkerTasks.h): their results are routed to them
// before the handler table, and they learn here when the object and its window part.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CWnd;
class CWorkerTasks;

// Which control colour message a WM_CTLCOLOR* handler got: WM_CTLCOLORMSGBOX plus the value.
enum class CtlColor { MsgBox, Edit, ListBox, Button, Dialog, ScrollBar, Static };

// The handlers of one window object: message, command or notification -> member function. Built once per
// object by CWnd::DeclareMessageMap; a handler declared later overrides an earlier one for the same key, so a
// derived class first calls its base's declaration and then adds its own.
class MessageMap {
public:
    enum class Kind { Message, Command, Notify, ReflectedCommand, ReflectedNotify };

    explicit MessageMap(CWnd* owner) : m_owner(owner) {}

    // A window message; the handler's result is the message's result.
    template <class T>
    void OnMessage(UINT msg, LRESULT (T::*fn)(WPARAM, LPARAM)) {
        T* self = static_cast<T*>(m_owner);
        Add(Kind::Message, msg, 0, 0, [self, fn](WPARAM w, LPARAM l) { return (self->*fn)(w, l); });
    }
    template <class T>
    void OnMessage(UINT msg, void (T::*fn)()) {
        T* self = static_cast<T*>(m_owner);
        Add(Kind::Message, msg, 0, 0, [self, fn](WPARAM, LPARAM) { (self->*fn)(); return LRESULT(0); });
    }
    // Typed window messages; each returns 0 to the sender.
    // WM_SIZE: the size type (SIZE_RESTORED, SIZE_MINIMIZED, ...) and the new client width and height.
    template <class T>
    void OnSize(void (T::*fn)(UINT type, int cx, int cy)) {
        AddMessage<T>(WM_SIZE, [fn](T* self, WPARAM w, LPARAM l) {
            (self->*fn)(static_cast<UINT>(w), LOWORD(l), HIWORD(l));
        });
    }
    // WM_SHOWWINDOW: shown or hidden, and the status (0 for ShowWindow, SW_PARENTOPENING, ...).
    template <class T>
    void OnShowWindow(void (T::*fn)(BOOL show, UINT status)) {
        AddMessage<T>(WM_SHOWWINDOW, [fn](T* self, WPARAM w, LPARAM l) {
            (self->*fn)(static_cast<BOOL>(w), static_cast<UINT>(l));
        });
    }
    template <class T>
    void OnGetMinMaxInfo(void (T::*fn)(MINMAXINFO* info)) {
        AddMessage<T>(WM_GETMINMAXINFO,
                      [fn](T* self, WPARAM, LPARAM l) { (self->*fn)(reinterpret_cast<MINMAXINFO*>(l)); });
    }
    // A mouse message with a point (WM_MOUSEMOVE, WM_LBUTTONDOWN, ...): the key flags (MK_*) and the point in
    // client coordinates, negative ones included.
    template <class T>
    void OnMouse(UINT msg, void (T::*fn)(UINT flags, POINT point)) {
        AddMessage<T>(msg, [fn](T* self, WPARAM w, LPARAM l) {
            const POINT point{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
            (self->*fn)(static_cast<UINT>(w), point);
        });
    }
    // WM_CHAR: the character, the repeat count and the key flags (the high word of lParam).
    template <class T>
    void OnChar(void (T::*fn)(UINT ch, UINT repeat, UINT flags)) {
        AddMessage<T>(WM_CHAR, [fn](T* self, WPARAM w, LPARAM l) {
            (self->*fn)(static_cast<UINT>(w), LOWORD(l), HIWORD(l));
        });
    }
    // WM_KILLFOCUS: the window that gets the focus (may be null or another process's).
    template <class T>
    void OnKillFocus(void (T::*fn)(HWND newFocus)) {
        AddMessage<T>(WM_KILLFOCUS, [fn](T* self, WPARAM w, LPARAM) { (self->*fn)(reinterpret_cast<HWND>(w)); });
    }
    // Every WM_CTLCOLOR* message in one: the control's device context, the control (the dialog itself for
    // CtlColor::Dialog) and the kind. The brush returned paints the background; a dialog procedure hands it
    // back directly. A handler that wants the default colours returns the brush Default() gives.
    template <class T>
    void OnCtlColor(HBRUSH (T::*fn)(HDC dc, HWND control, CtlColor kind)) {
        T* self = static_cast<T*>(m_owner);
        for (UINT msg = WM_CTLCOLORMSGBOX; msg <= WM_CTLCOLORSTATIC; ++msg) {
            const CtlColor kind = static_cast<CtlColor>(msg - WM_CTLCOLORMSGBOX);
            Add(Kind::Message, msg, 0, 0, [self, fn, kind](WPARAM w, LPARAM l) {
                const HBRUSH brush = (self->*fn)(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l), kind);
                return reinterpret_cast<LRESULT>(brush);
            });
        }
    }
    // WM_COMMAND with the notification code (BN_CLICKED, CBN_SELCHANGE, 0 for menus) from control or item id.
    template <class T>
    void OnCommand(UINT code, UINT id, void (T::*fn)()) {
        T* self = static_cast<T*>(m_owner);
        Add(Kind::Command, WM_COMMAND, code, id, [self, fn](WPARAM, LPARAM) { (self->*fn)(); return LRESULT(0); });
    }
    // WM_NOTIFY with the code from the control id; the handler sets the notification's result (0 by default).
    template <class T>
    void OnNotify(UINT code, UINT id, void (T::*fn)(NMHDR*, LRESULT*)) {
        Add(Kind::Notify, WM_NOTIFY, code, id, NotifyThunk(fn));
    }
    // A control's own handlers for what it sends its parent: the parent offers the message to the control
    // first, and a control that handles it keeps it from the parent's table. A WM_NOTIFY that a control sends
    // to itself lands here too.
    template <class T>
    void OnReflectedCommand(UINT code, void (T::*fn)()) {
        T* self = static_cast<T*>(m_owner);
        Add(Kind::ReflectedCommand, WM_COMMAND, code, 0,
            [self, fn](WPARAM, LPARAM) { (self->*fn)(); return LRESULT(0); });
    }
    template <class T>
    void OnReflectedNotify(UINT code, void (T::*fn)(NMHDR*, LRESULT*)) {
        Add(Kind::ReflectedNotify, WM_NOTIFY, code, 0, NotifyThunk(fn));
    }

    using Handler = std::function<LRESULT(WPARAM, LPARAM)>;
    // The handler for the key, or null. Ids are not compared for the reflected kinds.
    const Handler* Find(Kind kind, UINT msg, UINT code, UINT id) const;

private:
    struct Entry {
        Kind kind;
        UINT msg;
        UINT code;
        UINT id;
        Handler handler;
    };
    template <class T>
    Handler NotifyThunk(void (T::*fn)(NMHDR*, LRESULT*)) {
        T* self = static_cast<T*>(m_owner);
        return [self, fn](WPARAM, LPARAM l) {
            LRESULT result = 0;
            (self->*fn)(reinterpret_cast<NMHDR*>(l), &result);
            return result;
        };
    }
    // A message whose handler gives no result of its own.
    template <class T, class Call>
    void AddMessage(UINT msg, Call call) {
        T* self = static_cast<T*>(m_owner);
        Add(Kind::Message, msg, 0, 0, [self, call](WPARAM w, LPARAM l) {
            call(self, w, l);
            return LRESULT(0);
        });
    }
    void Add(Kind kind, UINT msg, UINT code, UINT id, Handler handler);

    CWnd* m_owner;
    std::vector<Entry> m_entries;
};

class CWnd {
public:
    CWnd() = default;
    // A plain wrapper of a handle that is not bound (no handlers, nothing replaced).
    explicit CWnd(HWND hwnd) : m_hWnd(hwnd) {}
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object bound to a window of this process, or null (also for any other process's window).
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Binds an existing window: its window procedure is replaced by the object's until Unsubclass or the
    // window's end.
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(UINT id, HWND parent);
    HWND UnsubclassWindow();
    // Creates a window bound from its first message on. A null class name takes the framework's own plain
    // window class. The id is the control id of a child window.
    bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, const RECT& rect,
                  HWND parent, UINT id);
    virtual BOOL DestroyWindow();

    // Called by the modal and application loops for every message whose window is this one or a child of it,
    // innermost window first; true means the message was handled and goes no further.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // The loops' first look at a message: the PreTranslateMessage of every bound window from the message's
    // window outwards to its top-level window, innermost first. True when one of them handled it.
    static bool PreTranslateChain(MSG* msg);
    // Dispatches through the table; unhandled messages go to Default.
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // A message from this control that its parent offers it first (see MessageMap's reflected kinds).
    virtual bool OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

    // Helpers over the handle.
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, msg, wParam, lParam);
    }
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageW(m_hWnd, msg, wParam, lParam);
    }
    void SetWindowText(const std::wstring& text) const { ::SetWindowTextW(m_hWnd, text.c_str()); }
    std::wstring GetWindowText() const;
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void SetDlgItemText(int id, const std::wstring& text) const { ::SetDlgItemTextW(m_hWnd, id, text.c_str()); }
    std::wstring GetDlgItemText(int id) const;
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    void CheckDlgButton(int id, UINT state) const { ::CheckDlgButton(m_hWnd, id, state); }
    UINT IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }
    BOOL EnableWindow(BOOL enable = TRUE) const { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL ShowWindow(int cmd) const { return ::ShowWindow(m_hWnd, cmd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsWindow() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd); }
    HWND SetFocus() const { return ::SetFocus(m_hWnd); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) const {
        return ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    BOOL MoveWindow(const RECT& r, BOOL repaint = TRUE) const {
        return ::MoveWindow(m_hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
    }
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) const {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
    }
    RECT GetClientRect() const;
    RECT GetWindowRect() const;
    BOOL RedrawWindow(UINT flags, const RECT* rect = nullptr) const {
        return ::RedrawWindow(m_hWnd, rect, nullptr, flags);
    }
    void Invalidate(BOOL erase = TRUE) const { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void SetFont(HFONT font, BOOL redraw = TRUE) const { SendMessage(WM_SETFONT, WPARAM(font), redraw); }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    HICON SetIcon(HICON icon, BOOL big) const {
        return reinterpret_cast<HICON>(SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, LPARAM(icon)));
    }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    // Removes, then adds style bits; true when the style changed.
    bool ModifyStyle(DWORD remove, DWORD add) const;
    UINT_PTR SetTimer(UINT_PTR id, UINT ms) const { return ::SetTimer(m_hWnd, id, ms, nullptr); }
    BOOL KillTimer(UINT_PTR id) const { return ::KillTimer(m_hWnd, id); }
    // Centres the window on another window's rectangle (its owner when none is given), or the work area.
    void CenterWindow(HWND alternate = nullptr) const;
    int GetScrollLimit(int bar) const;

protected:
    // Declares this object's handlers; overrides call their base class's first.
    virtual void DeclareMessageMap(MessageMap& map);
    // The default handling of the message being dispatched now (the replaced window procedure, or the
    // dialog's own default). A handler calls it where its window needs the default done first.
    LRESULT Default();
    virtual LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // Table dispatch; false when no handler took the message.
    virtual bool OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Called after the window's last message, once the object is unbound.
    virtual void PostNcDestroy() {}

    // Binding shared with CDialog.
    void Bind(HWND hwnd);
    void Unbind();

private:
    static LRESULT CALLBACK BoundWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);
    friend class CDialog;
    friend class CWorkerTasks;

    WNDPROC m_previousProc = nullptr;
    CWorkerTasks* m_tasks = nullptr;  // the tasks this object owns, set by CWorkerTasks
    std::unique_ptr<MessageMap> m_map;
    struct Current {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    } m_current{};
};
