#include "common/ui/DialogLayoutCore.h"

#include <algorithm>
#include <cmath>
#include <climits>

namespace zlayout {
namespace {

int Clamp(long long v) {
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

// Truncation toward zero, clamped to the int range (NaN gives 0).
int Trunc(double v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

// trunc(a * b / c) for c > 0: exact while a * b fits 64 bits, which it does for any window size.
long long MulDiv(long long a, long long b, long long c) {
    long long product = 0;
    if (!__builtin_mul_overflow(a, b, &product)) return product / c;
    return Trunc(static_cast<double>(a) * static_cast<double>(b) / static_cast<double>(c));
}

LayoutScale MakeScale(bool on, int size, int base) {
    LayoutScale s;
    if (on && base > 0) {
        s.num = size;
        s.den = base;
    }
    return s;
}

// The rule values of one axis.
struct AxisRule {
    LayoutRuleValue minSize, maxSize, minPos, maxPos, nearAnchor, farAnchor, nearReference, farReference;
};

constexpr AxisRule kHorizontal = {LayoutRuleValue::MinWidth,      LayoutRuleValue::MaxWidth,
                                  LayoutRuleValue::MinLeft,       LayoutRuleValue::MaxLeft,
                                  LayoutRuleValue::LeftAnchor,    LayoutRuleValue::RightAnchor,
                                  LayoutRuleValue::LeftReference, LayoutRuleValue::RightReference};
constexpr AxisRule kVertical = {LayoutRuleValue::MinHeight,    LayoutRuleValue::MaxHeight,
                                LayoutRuleValue::MinTop,       LayoutRuleValue::MaxTop,
                                LayoutRuleValue::TopAnchor,    LayoutRuleValue::BottomAnchor,
                                LayoutRuleValue::TopReference, LayoutRuleValue::BottomReference};

void ApplyAxisRules(const LayoutRule& rule, const AxisRule& a, int base, int scroll, const LayoutScale& f,
                    int& pos, int& size) {
    long long p = pos;
    long long s = size;
    const bool hasMin = rule.IsSet(a.minSize);
    const bool hasMax = rule.IsSet(a.maxSize);
    const long long minSize = rule.Value(a.minSize);
    const long long maxSize = rule.Value(a.maxSize);

    if (hasMin) s = std::max(s, minSize);
    if (hasMax) s = std::min(s, maxSize);
    if (rule.IsSet(a.minPos)) p = std::max(p, static_cast<long long>(rule.Value(a.minPos)) - scroll);
    if (rule.IsSet(a.maxPos)) p = std::min(p, static_cast<long long>(rule.Value(a.maxPos)) - scroll);

    if (rule.IsSet(a.nearAnchor)) {
        const long long anchor = rule.Value(a.nearAnchor);
        if (rule.IsSet(a.nearReference)) {
            p = anchor + f.Apply(static_cast<long long>(rule.Value(a.nearReference)) - scroll);
        } else {
            p = anchor - scroll;
        }
    }

    if (rule.IsSet(a.farAnchor)) {
        const long long reference = rule.IsSet(a.farReference) ? rule.Value(a.farReference) : base;
        const long long edge = f.Apply(reference - scroll);
        // The far edge stays where the anchor put it; the limits move the near edge.
        s = std::max(0LL, edge - rule.Value(a.farAnchor) - p);
        if (hasMax && s > maxSize) {
            p += s - maxSize;
            s = maxSize;
        }
        if (hasMin && s < minSize) {
            p -= minSize - s;
            s = minSize;
        }
    }
    pos = Clamp(p);
    size = Clamp(s);
}

void ApplyAxisCenter(const LayoutRule& rule, LayoutRuleValue center, int scroll, const LayoutScale& f, int size,
                     int& pos) {
    if (!rule.IsSet(center)) return;
    const long long line = f.Apply(static_cast<long long>(rule.Value(center)) - scroll);
    pos = Clamp(line - size / 2);
}

bool HasArea(const LayoutRect& r) { return r.Width() > 0 && r.Height() > 0; }

}  // namespace

int LayoutScale::Apply(long long value) const { return Clamp(MulDiv(value, num, den > 0 ? den : 1)); }

LayoutAxes MakeLayoutAxes(const LayoutSettings& settings, const LayoutClient& client) {
    LayoutAxes axes;
    axes.baseWidth = settings.baseWidth;
    axes.baseHeight = settings.baseHeight;
    axes.scrollX = client.scrollX;
    axes.scrollY = client.scrollY;
    const bool scaleX = !(settings.minWidth > 0 && client.width <= settings.minWidth);
    const bool scaleY = !(settings.minHeight > 0 && client.height <= settings.minHeight);
    axes.fx = MakeScale(scaleX, client.width, settings.baseWidth);
    axes.fy = MakeScale(scaleY, client.height, settings.baseHeight);
    return axes;
}

void ApplyHorizontalRules(const LayoutRule& rule, const LayoutAxes& axes, int& x, int& w) {
    ApplyAxisRules(rule, kHorizontal, axes.baseWidth, axes.scrollX, axes.fx, x, w);
}

void ApplyVerticalRules(const LayoutRule& rule, const LayoutAxes& axes, int& y, int& h) {
    ApplyAxisRules(rule, kVertical, axes.baseHeight, axes.scrollY, axes.fy, y, h);
}

void ApplyAspectRatio(const LayoutRule& rule, int& w, int& h) {
    const int value = rule.Value(LayoutRuleValue::AspectRatio);
    if (!rule.IsSet(LayoutRuleValue::AspectRatio) || h <= 0 || value <= 0) return;
    // The larger side shrinks; neither grows.
    const int e = rule.exponent;
    if (e >= -9 && e <= 9) {
        // ratio = num / den exactly
        long long power = 1;
        for (int i = 0; i < (e < 0 ? -e : e); ++i) power *= 10;
        const long long num = e < 0 ? value * power : value;
        const long long den = e < 0 ? 1 : power;
        const int fitted = Clamp(MulDiv(num, h, den));
        if (fitted < w) {
            w = fitted;
        } else {
            h = Clamp(MulDiv(w, den, num));
        }
        return;
    }
    const double ratio = value * std::pow(10.0, -static_cast<double>(e));
    const int fitted = Trunc(ratio * h);
    if (fitted < w) {
        w = fitted;
    } else {
        h = Trunc(w / ratio);
    }
}

void ApplyHorizontalCenter(const LayoutRule& rule, const LayoutAxes& axes, int w, int& x) {
    ApplyAxisCenter(rule, LayoutRuleValue::CenterX, axes.scrollX, axes.fx, w, x);
}

void ApplyVerticalCenter(const LayoutRule& rule, const LayoutAxes& axes, int h, int& y) {
    ApplyAxisCenter(rule, LayoutRuleValue::CenterY, axes.scrollY, axes.fy, h, y);
}

LayoutPlace ScaleControl(const LayoutRule& rule, const LayoutAxes& axes) {
    const LayoutRect& r = rule.rect;
    long long x = static_cast<long long>(r.left) - axes.scrollX;
    long long y = static_cast<long long>(r.top) - axes.scrollY;
    long long w = r.Width();
    long long h = r.Height();
    LayoutPlace p;
    p.x = axes.fx.Apply(x);
    p.width = axes.fx.Apply(w);
    p.y = axes.fy.Apply(y);
    p.height = axes.fy.Apply(h);
    ApplyHorizontalRules(rule, axes, p.x, p.width);
    ApplyVerticalRules(rule, axes, p.y, p.height);
    ApplyAspectRatio(rule, p.width, p.height);
    ApplyHorizontalCenter(rule, axes, p.width, p.x);
    ApplyVerticalCenter(rule, axes, p.height, p.y);
    return p;
}

std::vector<LayoutMove> ScaleControls(const LayoutSettings& settings, const std::vector<LayoutItem>& items,
                                      const LayoutClient& client) {
    const LayoutAxes axes = MakeLayoutAxes(settings, client);
    std::vector<LayoutMove> moves;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!HasArea(items[i].rule.rect)) continue;
        moves.push_back({i, ScaleControl(items[i].rule, axes)});
    }
    return moves;
}

std::vector<LayoutMove> CenterControls(const LayoutSettings& settings, const std::vector<LayoutItem>& items,
                                       const LayoutClient& client) {
    const bool shiftX = !(settings.minWidth > 0 && client.width <= settings.minWidth);
    const bool shiftY = !(settings.minHeight > 0 && client.height <= settings.minHeight);

    bool any = false;
    long long left = 0, top = 0, right = 0, bottom = 0;
    for (const LayoutItem& item : items) {
        const LayoutRect& r = item.rule.rect;
        if (!HasArea(r)) continue;
        const long long itemBottom = item.comboBox ? static_cast<long long>(r.top) + kCenterComboHeight : r.bottom;
        if (!any) {
            left = r.left;
            top = r.top;
            right = r.right;
            bottom = itemBottom;
            any = true;
        } else {
            left = std::min<long long>(left, r.left);
            top = std::min<long long>(top, r.top);
            right = std::max<long long>(right, r.right);
            bottom = std::max(bottom, itemBottom);
        }
    }
    std::vector<LayoutMove> moves;
    if (!any) return moves;

    // A block larger than the client area starts at its top-left corner.
    const long long dx = std::max(0LL, (client.width - (right - left)) / 2) - left;
    const long long dy = std::max(0LL, (client.height - (bottom - top)) / 2) - top;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const LayoutRect& r = items[i].rule.rect;
        if (!HasArea(r)) continue;
        LayoutPlace p;
        p.x = Clamp(static_cast<long long>(r.left) - client.scrollX + (shiftX ? dx : 0));
        p.y = Clamp(static_cast<long long>(r.top) - client.scrollY + (shiftY ? dy : 0));
        p.width = Clamp(r.Width());
        p.height = Clamp(r.Height());
        moves.push_back({i, p});
    }
    return moves;
}

std::vector<LayoutMove> PlanLayout(const LayoutSettings& settings, const std::vector<LayoutItem>& items,
                                   const LayoutClient& client) {
    if (items.empty() || settings.baseWidth <= 0 || settings.baseHeight <= 0) return {};
    if (settings.mode == kModeCenter) return CenterControls(settings, items, client);
    return ScaleControls(settings, items, client);
}

bool ResizeStepAllowsLayout(int step, int lastWidth, int lastHeight, int width, int height) {
    if (step < 2) return true;
    const long long dw = std::llabs(static_cast<long long>(lastWidth) - width);
    const long long dh = std::llabs(static_cast<long long>(lastHeight) - height);
    return !(dw <= step && dh <= step && (dw != 0 || dh != 0));
}

LayoutRect ClientRectWithScrollBars(const LayoutRect& window, const LayoutRect& client, int vscrollWidth,
                                    int hscrollHeight) {
    LayoutRect r = client;
    if (static_cast<long long>(window.right) >= static_cast<long long>(client.right) + vscrollWidth) {
        r.right = Clamp(static_cast<long long>(r.right) + vscrollWidth);
    }
    if (static_cast<long long>(window.bottom) >= static_cast<long long>(client.bottom) + hscrollHeight) {
        r.bottom = Clamp(static_cast<long long>(r.bottom) + hscrollHeight);
    }
    return r;
}

}  // namespace zlayout
