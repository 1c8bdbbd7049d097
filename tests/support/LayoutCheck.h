#pragma once
// What a person would see wrong in a dialog: a text that does not fit its control, a control outside the
// window, two controls over each other.
#include <windows.h>

#include <string>
#include <vector>

namespace ztest {

// The size a text needs in "MS Shell Dlg" at `points`, on one line (wrapWidth 0) or wrapped at `wrapWidth`.
SIZE TextExtent(const std::wstring& text, int wrapWidth, int points = 8);

// The faults of the visible controls of `dialog` (of any process), one text each ("1005 needs 120x13 for
// \"...\" and has 100x20", "1003 overlaps 1004", "1010 lies outside the window"). Texts of buttons and
// statics are measured in the dialog's font, "MS Shell Dlg" at `fontPoints`. Group boxes, tab controls and
// child dialogs (pages) hold other controls, so they overlap nothing; a child dialog's own controls are
// looked at by a call of their own.
std::vector<std::string> LayoutFaults(HWND dialog, int fontPoints = 8);

}  // namespace ztest
