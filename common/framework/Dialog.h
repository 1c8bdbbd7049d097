#pragma once
// CDialog: modal and modeless dialogs from .rc templates or from templates in memory.
//
// The dialog procedure binds the object at WM_INITDIALOG and dispatches every later message through the
// object's table: a handled message's result goes back through DWLP_MSGRESULT (WM_NOTIFY results included),
// while WM_CTLCOLOR* and the other messages that return their value directly return it from the procedure.
// IDOK and IDCANCEL without a handler of their own reach OnOK and OnCancel.
//
// DoModal runs its own loop so that key messages go first to the focused control's PreTranslateMessage, then
// to every dialog between it and the modal one, innermost first (a child page's IsDialogMessage), and only
// then to the modal dialog's: Enter in a page's edit reaches the page's OnOK, not the main window's.
#include "common/framework/Wnd.h"

class CDialog;

// Handed to DoDataExchange: binds member controls to the dialog's control ids.
class CDataExchange {
public:
    CDataExchange(CDialog* dialog, bool saving) : m_dialog(dialog), m_saving(saving) {}
    // Binds the control object to the child with this id, once; a missing control leaves it unbound.
    void Bind(int id, CWnd& control);
    bool IsSaving() const { return m_saving; }
    CDialog* Dialog() const { return m_dialog; }

private:
    CDialog* m_dialog;
    bool m_saving;
};

class CDialog : public CWnd {
public:
    // A dialog from the program's dialog resource with this id; the parent is the owner of a modal dialog
    // (none: the application's main window) and the parent of a modeless one.
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    // A dialog from a template in memory that the caller keeps alive while the dialog exists.
    explicit CDialog(const DLGTEMPLATE* memoryTemplate, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog modally; its result, or -1 when it could not be created.
    INT_PTR DoModal();
    // Creates the dialog modeless (a child page, for example); it runs OnInitDialog before this returns.
    bool Create(UINT templateId, CWnd* parent);
    bool Create(CWnd* parent);
    // Ends a modal dialog with this result (a modeless one is hidden). Dialog's own thread only: from another
    // thread it does nothing and gives false (a worker posts its result instead, see WorkerTasks.h).
    bool EndDialog(int result);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* dx);
    bool UpdateData(bool save = true);

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL DestroyWindow() override;

protected:
    LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    CWnd* m_pParentWnd;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    const DLGTEMPLATE* ResolveTemplate() const;

    UINT m_templateId = 0;
    const DLGTEMPLATE* m_memoryTemplate = nullptr;
    bool m_modal = false;
    bool m_ending = false;
    bool m_created = false;
    int m_result = IDCANCEL;
    UINT m_defaultFor = 0;  // the message whose default handling is running (DefDlgProcW calls back first)
    bool m_inDefault = false;
};
