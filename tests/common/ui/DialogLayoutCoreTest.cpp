#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "common/ui/DialogLayoutCore.h"

namespace {

using namespace zlayout;
using V = LayoutRuleValue;
using Values = std::vector<std::pair<V, int>>;

LayoutRule MakeRule(LayoutRect rect, const Values& values = {}) {
    LayoutRule rule;
    rule.rect = rect;
    for (const auto& v : values) rule.SetValue(v.first, v.second);
    return rule;
}

LayoutSettings Base100(int mode = kModeScale, int minWidth = 0, int minHeight = 0) {
    return {mode, 100, 100, minWidth, minHeight};
}

std::string Show(const LayoutPlace& p) {
    return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ") " + std::to_string(p.width) + " x " +
           std::to_string(p.height);
}

TEST(DialogLayoutCore, ScaleModePlacesEachControlByItsRule) {
    const LayoutRect unit = {0, 0, 10, 10};
    const struct {
        const char* name;
        LayoutRect rect;
        Values values;
        LayoutClient client;  // width, height, scroll x, scroll y
        int minWidth;
        LayoutPlace expected;
    } rows[] = {
        {"four anchors of 10", {5, 5, 20, 20},
         {{V::LeftAnchor, 10}, {V::TopAnchor, 10}, {V::RightAnchor, 10}, {V::BottomAnchor, 10}}, {400, 300}, 0,
         {10, 10, 380, 280}},
        {"no values: scaled", {10, 20, 30, 50}, {}, {400, 300}, 0, {40, 60, 80, 90}},
        {"left anchor from the middle line", unit, {{V::LeftAnchor, 45}, {V::LeftReference, 50}}, {401, 300}, 0,
         {245, 0, 40, 30}},
        {"fixed width centred on the middle line", unit,
         {{V::LeftAnchor, 80}, {V::RightAnchor, -40}, {V::RightReference, 50}, {V::MinWidth, 80}, {V::MaxWidth, 80}},
         {400, 300}, 0, {160, 0, 80, 30}},
        {"no room left, then the minimum width", unit, {{V::LeftAnchor, 10}, {V::RightAnchor, 395}, {V::MinWidth, 50}},
         {400, 300}, 0, {-40, 0, 50, 30}},
        {"maximum width", {0, 0, 20, 10}, {{V::MaxWidth, 30}}, {400, 300}, 0, {0, 0, 30, 30}},
        {"smallest left edge", {5, 0, 10, 10}, {{V::MinLeft, 50}}, {400, 300}, 0, {50, 0, 20, 30}},
        {"anchor wins over the largest left edge", {5, 0, 10, 10}, {{V::MaxLeft, 10}, {V::LeftAnchor, 30}},
         {400, 300}, 0, {30, 0, 20, 30}},
        {"scroll position before scaling", {20, 0, 30, 10}, {}, {400, 300, 5, 0}, 0, {60, 0, 40, 30}},
        {"scroll position and both anchors", unit, {{V::LeftAnchor, 10}, {V::RightAnchor, 10}}, {400, 300, 5, 0}, 0,
         {5, 0, 365, 30}},
        {"at the minimum width the axis stops scaling", {10, 10, 30, 20}, {{V::LeftAnchor, 10}, {V::RightAnchor, 10}},
         {400, 300}, 500, {10, 30, 80, 30}},
        {"odd width halves toward zero on a centre line", {0, 0, 25, 10},
         {{V::CenterX, 50}, {V::MinWidth, 41}, {V::MaxWidth, 41}}, {400, 300}, 0, {180, 0, 41, 30}},
        {"top reference, height capped", unit, {{V::TopAnchor, 5}, {V::TopReference, 50}, {V::MaxHeight, 20}},
         {400, 301}, 0, {0, 155, 40, 20}},
        {"bottom reference and vertical centre line", {0, 10, 10, 20},
         {{V::TopAnchor, 10}, {V::BottomAnchor, 10}, {V::BottomReference, 50}, {V::CenterY, 50}}, {400, 300}, 0,
         {0, 85, 40, 130}},
        {"right anchor at a width that is no binary fraction", unit, {{V::LeftAnchor, 10}, {V::RightAnchor, 10}},
         {406, 300}, 0, {10, 0, 386, 30}},
        {"reference 100 is the right edge", unit, {{V::LeftAnchor, 0}, {V::LeftReference, 100}}, {29, 300}, 0,
         {29, 0, 2, 30}},
        {"aspect ratio after scaling", {0, 0, 75, 25}, {{V::AspectRatio, 2000}}, {400, 400}, 0, {0, 0, 200, 100}},
        {"extreme values clamp", unit,
         {{V::LeftAnchor, INT_MAX}, {V::LeftReference, INT_MAX}, {V::RightAnchor, INT_MIN}}, {400, 300}, 0,
         {INT_MAX, 0, 0, 30}},
    };
    for (const auto& r : rows) {
        const LayoutAxes axes = MakeLayoutAxes(Base100(kModeScale, r.minWidth), r.client);
        const LayoutPlace got = ScaleControl(MakeRule(r.rect, r.values), axes);
        EXPECT_EQ(got, r.expected) << r.name << ": got " << Show(got) << ", expected " << Show(r.expected);
    }
}

TEST(DialogLayoutCore, AspectRatioShrinksTheLargerSide) {
    const struct {
        const char* name;
        int value, exponent, w, h, expectedW, expectedH;
    } rows[] = {
        {"too wide", 2000, 3, 300, 100, 200, 100},     {"too high", 2000, 3, 100, 100, 100, 50},
        {"exponent 0", 2, 0, 300, 100, 200, 100},      {"exact ratio", 2000, 3, 200, 100, 200, 100},
        {"zero height", 2000, 3, 300, 0, 300, 0},      {"negative ratio", -2000, 3, 300, 100, 300, 100},
        {"ratio too small", 2000, 400, 300, 100, 0, 100}, {"ratio too large", 2000, -400, 300, 100, 300, 0},
    };
    for (const auto& r : rows) {
        LayoutRule rule = MakeRule({}, {{V::AspectRatio, r.value}});
        rule.exponent = r.exponent;
        int w = r.w, h = r.h;
        ApplyAspectRatio(rule, w, h);
        EXPECT_EQ(std::make_pair(w, h), std::make_pair(r.expectedW, r.expectedH)) << r.name;
    }
}

TEST(DialogLayoutCore, RuleTakesOnlyTheNineteenIndices) {
    for (int index : {-1, 0, 18, 19, INT_MIN}) {
        LayoutRule rule;
        const bool valid = index >= 0 && index < kLayoutRuleValueCount;
        EXPECT_EQ(rule.SetValue(index, 7), valid) << index;
        int set = 0;
        for (int i = 0; i < kLayoutRuleValueCount; ++i) set += rule.IsSet(static_cast<V>(i)) ? 1 : 0;
        EXPECT_EQ(set, valid ? 1 : 0) << index;
    }
}

TEST(DialogLayoutCore, CentreModeMovesTheBlockAsOne) {
    const LayoutItem a{MakeRule({10, 10, 60, 30})}, b{MakeRule({40, 50, 90, 70})};
    const LayoutItem combo{MakeRule({10, 40, 60, 240}), true}, empty{MakeRule({5, 5, 5, 50})};
    const struct {
        const char* name;
        std::vector<LayoutItem> items;
        LayoutClient client;
        LayoutSettings settings;
        std::vector<LayoutMove> expected;
    } rows[] = {
        {"block smaller than the client", {a, b}, {200, 100}, Base100(kModeCenter),
         {{0, {60, 20, 50, 20}}, {1, {90, 60, 50, 20}}}},
        {"larger block starts at 0", {a, b}, {50, 40}, Base100(kModeCenter),
         {{0, {0, 0, 50, 20}}, {1, {30, 40, 50, 20}}}},
        {"combo box counts 21 high", {a, combo}, {200, 100}, Base100(kModeCenter),
         {{0, {75, 24, 50, 20}}, {1, {75, 54, 50, 200}}}},
        {"minimum width: no horizontal shift", {a, b}, {200, 100}, Base100(kModeCenter, 300),
         {{0, {10, 20, 50, 20}}, {1, {40, 60, 50, 20}}}},
        {"scroll positions", {a, b}, {200, 100, 5, 7}, Base100(kModeCenter),
         {{0, {55, 13, 50, 20}}, {1, {85, 53, 50, 20}}}},
        {"controls without area stay out", {empty, a}, {200, 100}, Base100(kModeCenter), {{1, {75, 40, 50, 20}}}},
        {"any other mode scales", {empty, a}, {200, 100}, Base100(7), {{1, {20, 10, 100, 20}}}},
        {"no base size", {a}, {200, 100}, {kModeScale, 0, 100, 0, 0}, {}},
        {"no controls", {}, {200, 100}, Base100(), {}},
    };
    for (const auto& r : rows) {
        const auto moves = PlanLayout(r.settings, r.items, r.client);
        ASSERT_EQ(moves.size(), r.expected.size()) << r.name;
        for (size_t i = 0; i < moves.size(); ++i) {
            EXPECT_EQ(moves[i].index, r.expected[i].index) << r.name;
            EXPECT_EQ(moves[i].place, r.expected[i].place) << r.name << ": got " << Show(moves[i].place);
        }
    }
}

TEST(DialogLayoutCore, ResizeStepLetsSmallChangesAddUp) {
    const struct {
        const char* name;
        int step, lastW, lastH, w, h;
        bool layout;
    } rows[] = {
        {"growth of 3 within step 5", 5, 400, 300, 403, 300, false},
        {"growth adding up to 6", 5, 400, 300, 406, 300, true},
        {"exactly the step on both axes", 5, 400, 300, 405, 295, false},
        {"one axis beyond the step", 5, 400, 300, 401, 306, true},
        {"no change at all", 5, 400, 300, 400, 300, true},
        {"step 1 is no step", 1, 400, 300, 401, 300, true},
        {"extreme sizes", 5, INT_MIN, INT_MIN, INT_MAX, INT_MAX, true},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(ResizeStepAllowsLayout(r.step, r.lastW, r.lastH, r.w, r.h), r.layout) << r.name;
    }
}

TEST(DialogLayoutCore, ScrollBarsDoNotShrinkTheLayoutArea) {
    const struct {
        const char* name;
        LayoutRect window, client;
        int right, bottom;
    } rows[] = {
        {"no scroll bars", {0, 0, 400, 300}, {0, 0, 400, 300}, 400, 300},
        {"both bars", {0, 0, 400, 300}, {0, 0, 383, 283}, 400, 300},
        {"frame thinner than a bar", {-8, -31, 408, 308}, {0, 0, 400, 300}, 400, 300},
        {"frame and vertical bar", {-8, -31, 408, 308}, {0, 0, 383, 300}, 400, 300},
        {"one pixel short of a bar", {0, 0, 399, 300}, {0, 0, 383, 300}, 383, 300},
    };
    for (const auto& r : rows) {
        const LayoutRect got = ClientRectWithScrollBars(r.window, r.client, 17, 17);
        EXPECT_EQ(std::make_pair(got.right, got.bottom), std::make_pair(r.right, r.bottom)) << r.name;
    }
}

}  // namespace
