#pragma once
// The placement rule of one control of a resizable dialog: its reference rectangle and up to 19 optional
// values (anchors, reference points, limits, aspect ratio, centre lines).
#include <cstdint>

// Index of a rule value. Sizes, anchors and limits are pixels; references and centre lines are base units,
// scaled with the dialog.
enum class LayoutRuleValue : int {
    MinWidth = 0,
    MaxWidth = 1,
    MinHeight = 2,
    MaxHeight = 3,
    AspectRatio = 4,  // width / height, times 10 to the rule's exponent
    MinLeft = 5,
    MaxLeft = 6,
    MinTop = 7,
    MaxTop = 8,
    LeftAnchor = 9,
    TopAnchor = 10,
    RightAnchor = 11,
    BottomAnchor = 12,
    LeftReference = 13,
    TopReference = 14,
    RightReference = 15,
    BottomReference = 16,
    CenterX = 17,
    CenterY = 18,
};

constexpr int kLayoutRuleValueCount = 19;

// A rectangle in a dialog's client coordinates (right and bottom exclusive).
struct LayoutRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    long long Width() const { return static_cast<long long>(right) - left; }
    long long Height() const { return static_cast<long long>(bottom) - top; }
};

class LayoutRule {
public:
    LayoutRule() { Reset(); }

    // Exponent 3, no values, empty rectangle.
    void Reset();

    // Sets value `index` (0-18); any other index changes nothing and gives false.
    bool SetValue(int index, int value);
    bool SetValue(LayoutRuleValue index, int value) { return SetValue(static_cast<int>(index), value); }

    bool IsSet(LayoutRuleValue index) const;
    // The value, 0 when it is not set.
    int Value(LayoutRuleValue index) const;

    int exponent = 3;
    // Where the control was when registered; an empty rectangle means "take the control's own".
    LayoutRect rect;

private:
    std::uint32_t m_flags = 0;
    int m_values[kLayoutRuleValueCount] = {};
};
