#pragma once
// Layout arithmetic of the resizable dialogs: where every registered control goes for a client size.
// Pure and portable; DialogLayout.h gathers the rules from the dialog and moves the controls.
//
// A scale factor is the fraction client size / base size, and a value scaled by it is the exact product
// truncated toward zero (so a reference equal to the base lands on the client edge at every size); halving
// truncates toward zero. Results that would not fit an int are clamped to its range.
#include <cstddef>
#include <vector>

#include "common/ui/LayoutRule.h"

namespace zlayout {

constexpr int kModeScale = 0;   // scale and anchor (any mode but kModeCenter)
constexpr int kModeCenter = 1;  // move all controls as one block to the centre

// Height a combo box counts with in the centred block, in place of its dropped-down height.
constexpr int kCenterComboHeight = 21;

struct LayoutSettings {
    int mode = kModeScale;
    int baseWidth = 0;   // client size the rules' base units are measured in
    int baseHeight = 0;
    int minWidth = 0;    // at or below these client sizes an axis stops scaling (0 = no minimum)
    int minHeight = 0;
};

// The client area of one layout pass.
struct LayoutClient {
    int width = 0;
    int height = 0;
    int scrollX = 0;  // the dialog's scroll positions
    int scrollY = 0;
};

// A scale factor num / den (den > 0).
struct LayoutScale {
    long long num = 1;
    long long den = 1;

    // trunc(value * num / den), clamped to the int range.
    int Apply(long long value) const;
};

// Scale factors of one pass; an axis that does not scale has the factor 1.
struct LayoutAxes {
    int baseWidth = 0;
    int baseHeight = 0;
    LayoutScale fx;
    LayoutScale fy;
    int scrollX = 0;
    int scrollY = 0;
};

LayoutAxes MakeLayoutAxes(const LayoutSettings& settings, const LayoutClient& client);

// The rule steps, in the order ScaleControl takes them.
void ApplyHorizontalRules(const LayoutRule& rule, const LayoutAxes& axes, int& x, int& w);
void ApplyVerticalRules(const LayoutRule& rule, const LayoutAxes& axes, int& y, int& h);
void ApplyAspectRatio(const LayoutRule& rule, int& w, int& h);
void ApplyHorizontalCenter(const LayoutRule& rule, const LayoutAxes& axes, int w, int& x);
void ApplyVerticalCenter(const LayoutRule& rule, const LayoutAxes& axes, int h, int& y);

struct LayoutPlace {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

inline bool operator==(const LayoutPlace& a, const LayoutPlace& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

// One control's reference rectangle scaled, then its rules applied in order.
LayoutPlace ScaleControl(const LayoutRule& rule, const LayoutAxes& axes);

struct LayoutItem {
    LayoutRule rule;
    bool comboBox = false;
};

// A control to move: its index in the item list and its new place.
struct LayoutMove {
    std::size_t index = 0;
    LayoutPlace place;
};

// The two modes. Controls whose reference rectangle has no width or no height are left alone.
std::vector<LayoutMove> ScaleControls(const LayoutSettings& settings, const std::vector<LayoutItem>& items,
                                      const LayoutClient& client);
std::vector<LayoutMove> CenterControls(const LayoutSettings& settings, const std::vector<LayoutItem>& items,
                                       const LayoutClient& client);

// One layout pass in the settings' mode; nothing without items or without a base size above 0.
std::vector<LayoutMove> PlanLayout(const LayoutSettings& settings, const std::vector<LayoutItem>& items,
                                   const LayoutClient& client);

// With a resize step of 2 or more, a change of at most `step` pixels on both axes (but not none at all)
// since the last layout is ignored, so small changes add up until one exceeds the step.
bool ResizeStepAllowsLayout(int step, int lastWidth, int lastHeight, int width, int height);

// The client rectangle as it would be without scroll bars, from the window rectangle in client coordinates:
// a side whose window edge lies at least a scroll bar's thickness beyond the client edge is widened by it.
LayoutRect ClientRectWithScrollBars(const LayoutRect& window, const LayoutRect& client, int vscrollWidth,
                                    int hscrollHeight);

}  // namespace zlayout
