#pragma once
// Keeps the controls of a resizable dialog placed as its size changes: every child control is registered
// with one LayoutRule, and each WM_SIZE moves the controls to where their rules put them.
#include <windows.h>

#include <cstddef>
#include <map>

#include "common/ui/DialogLayoutCore.h"
#include "common/ui/LayoutRule.h"
#include "common/ui/LayoutTable.h"

// True when the control's window text is exactly "CGroupLine" (case-sensitive): such controls are never
// registered and never moved.
bool IsGroupLineMarker(HWND control);

// The dialog's client rectangle as it would be without scroll bars, so that showing or hiding one does not
// change the layout.
void GetClientRectWithScrollBars(HWND dialog, RECT& rect);

class CDialogLayout {
public:
    static constexpr int ModeScale = zlayout::kModeScale;
    static constexpr int ModeCenter = zlayout::kModeCenter;

    CDialogLayout() = default;
    CDialogLayout(const CDialogLayout&) = delete;
    CDialogLayout& operator=(const CDialogLayout&) = delete;

    // The dialog is not owned.
    void SetDialog(HWND dialog) { m_dialog = dialog; }
    HWND GetDialog() const { return m_dialog; }
    void SetMode(int mode) { m_settings.mode = mode; }
    // The client size that the rules' base units are measured in (the programs use 100 x 100).
    void SetBaseSize(int width, int height);
    // At or below these client sizes the engine stops scaling (0 = no minimum).
    void SetMinimumSize(int width, int height);
    // 2 or more: size changes of at most this many pixels on both axes are ignored until they add up.
    void SetResizeStep(int step) { m_resizeStep = step; }

    // Registers every child window of the dialog in z-order with a reset rule. False without a dialog.
    bool AddAllControls();
    // Registers the control with a reset rule (its current rectangle).
    bool AddControl(HWND control);
    // Registers or replaces the control's rule; the engine keeps a copy. An empty rule rectangle takes the
    // control's current rectangle (a combo box's lowered by its drop-down height). False without a dialog,
    // for a handle that is not a window and for a "CGroupLine" marker.
    bool SetControlRule(const LayoutRule& rule, HWND control);
    // A layout table in one call: each row's rule for the dialog's control with the row's id, in the
    // table's order. False when a row's control is missing (the other rows are still set).
    bool SetControlRules(const LayoutRow* rows, size_t count);
    template <size_t N>
    bool SetControlRules(const LayoutRow (&rows)[N]) {
        return SetControlRules(rows, N);
    }
    // Forgets every rule; the engine can be used again.
    void RemoveAll() { m_rules.clear(); }

    // The dialog's WM_SIZE handler calls this after the default handling.
    void OnSize(UINT type, int cx, int cy);
    // Places every registered control for a client size.
    void Relayout(int width, int height);

    // The registered rule of a control, or null.
    const LayoutRule* FindRule(HWND control) const;

private:
    HWND m_dialog = nullptr;
    zlayout::LayoutSettings m_settings;
    int m_resizeStep = 0;
    int m_lastWidth = 0;
    int m_lastHeight = 0;
    std::map<HWND, LayoutRule> m_rules;
};
