#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>
#include <utility>
#include <vector>

#include "common/ui/DialogLayoutCore.h"
#include "common/ui/LayoutRule.h"

namespace {

using zlayout::LayoutClient;
using zlayout::LayoutItem;
using zlayout::LayoutPlace;
using zlayout::LayoutSettings;
using V = LayoutRuleValue;

using Values = std::vector<std::pair<V, int>>;

LayoutRule MakeRule(LayoutRect rect, const Values& values) {
    LayoutRule rule;
    rule.rect = rect;
    for (const auto& v : values) EXPECT_TRUE(rule.SetValue(v.first, v.second));
    return rule;
}

LayoutSettings Base100(int minWidth = 0, int minHeight = 0, int mode = zlayout::kModeScale) {
    LayoutSettings s;
    s.mode = mode;
    s.baseWidth = 100;
    s.baseHeight = 100;
    s.minWidth = minWidth;
    s.minHeight = minHeight;
    return s;
}

std::string Show(const LayoutPlace& p) {
    return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ", " + std::to_string(p.width) + " x " +
           std::to_string(p.height) + ")";
}

TEST(DialogLayoutCore, ScaleModePlacesEachControlByItsRule) {
    struct Row {
        const char* name;
        LayoutRect rect;
        Values values;
        LayoutClient client;  // width, height, scrollX, scrollY
        int minWidth;
        LayoutPlace expected;
    };
    const Row rows[] = {
        {"four anchors of 10", {5, 5, 20, 20},
         {{V::LeftAnchor, 10}, {V::TopAnchor, 10}, {V::RightAnchor, 10}, {V::BottomAnchor, 10}},
         {400, 300, 0, 0}, 0, {10, 10, 380, 280}},
        {"no values: scaled with the client", {10, 20, 30, 50}, {}, {400, 300, 0, 0}, 0, {40, 60, 80, 90}},
        {"left anchor counted from the middle line", {0, 0, 10, 10},
         {{V::LeftAnchor, 45}, {V::LeftReference, 50}}, {401, 300, 0, 0}, 0, {245, 0, 40, 30}},
        {"fixed width centred on the middle line", {0, 0, 10, 10},
         {{V::LeftAnchor, 80}, {V::RightAnchor, -40}, {V::RightReference, 50}, {V::MinWidth, 80},
          {V::MaxWidth, 80}},
         {400, 300, 0, 0}, 0, {160, 0, 80, 30}},
        {"right anchor leaving no room, then the minimum width", {0, 0, 10, 10},
         {{V::LeftAnchor, 10}, {V::RightAnchor, 395}, {V::MinWidth, 50}}, {400, 300, 0, 0}, 0, {-40, 0, 50, 30}},
        {"right anchor leaving no room, no minimum", {0, 0, 10, 10},
         {{V::LeftAnchor, 10}, {V::RightAnchor, 395}}, {400, 300, 0, 0}, 0, {10, 0, 0, 30}},
        {"maximum width without anchors", {0, 0, 20, 10}, {{V::MaxWidth, 30}}, {400, 300, 0, 0}, 0, {0, 0, 30, 30}},
        {"minimum width without anchors", {0, 0, 5, 10}, {{V::MinWidth, 30}}, {400, 300, 0, 0}, 0, {0, 0, 30, 30}},
        {"smallest left edge", {5, 0, 10, 10}, {{V::MinLeft, 50}}, {400, 300, 0, 0}, 0, {50, 0, 20, 30}},
        {"largest left edge", {5, 0, 10, 10}, {{V::MaxLeft, 10}}, {400, 300, 0, 0}, 0, {10, 0, 20, 30}},
        {"anchor wins over the left limits", {5, 0, 10, 10}, {{V::MaxLeft, 10}, {V::LeftAnchor, 30}},
         {400, 300, 0, 0}, 0, {30, 0, 20, 30}},
        {"scroll position shifts an anchor", {0, 0, 10, 10}, {{V::LeftAnchor, 10}}, {400, 300, 15, 0}, 0,
         {-5, 0, 40, 30}},
        {"scroll position before scaling", {20, 0, 30, 10}, {}, {400, 300, 5, 0}, 0, {60, 0, 40, 30}},
        {"scroll position and both anchors", {0, 0, 10, 10}, {{V::LeftAnchor, 10}, {V::RightAnchor, 10}},
         {400, 300, 5, 0}, 0, {5, 0, 365, 30}},
        {"at the minimum width the axis stops scaling", {10, 10, 30, 20},
         {{V::LeftAnchor, 10}, {V::RightAnchor, 10}}, {400, 300, 0, 0}, 500, {10, 30, 80, 30}},
        {"above the minimum width it scales", {10, 10, 30, 20}, {}, {600, 300, 0, 0}, 500, {60, 30, 120, 30}},
        {"centre line, even width", {0, 0, 25, 10}, {{V::CenterX, 50}}, {400, 300, 0, 0}, 0, {150, 0, 100, 30}},
        {"centre line, odd width halves toward zero", {0, 0, 25, 10},
         {{V::CenterX, 50}, {V::MinWidth, 41}, {V::MaxWidth, 41}}, {400, 300, 0, 0}, 0, {180, 0, 41, 30}},
        {"top anchor from a reference, height capped", {0, 0, 10, 10},
         {{V::TopAnchor, 5}, {V::TopReference, 50}, {V::MaxHeight, 20}}, {400, 301, 0, 0}, 0, {0, 155, 40, 20}},
        {"button centred at the bottom", {0, 0, 10, 10},
         {{V::MinWidth, 100}, {V::MaxWidth, 100}, {V::MinHeight, 25}, {V::MaxHeight, 25}, {V::TopAnchor, 0},
          {V::BottomAnchor, 20}, {V::LeftAnchor, 0}, {V::RightAnchor, 0}, {V::CenterX, 50}},
         {400, 300, 0, 0}, 0, {150, 255, 100, 25}},
        {"bottom reference and vertical centre line", {0, 10, 10, 20},
         {{V::TopAnchor, 10}, {V::BottomAnchor, 10}, {V::BottomReference, 50}, {V::CenterY, 50}},
         {400, 300, 0, 0}, 0, {0, 85, 40, 130}},
        {"right anchor at a width that is no exact binary fraction", {0, 0, 10, 10},
         {{V::LeftAnchor, 10}, {V::RightAnchor, 10}}, {406, 300, 0, 0}, 0, {10, 0, 386, 30}},
        {"reference 100 is the right edge", {0, 0, 10, 10}, {{V::LeftAnchor, 0}, {V::LeftReference, 100}},
         {29, 300, 0, 0}, 0, {29, 0, 2, 30}},
        {"scaled reference rectangle, exact product", {5, 0, 15, 10}, {}, {460, 300, 0, 0}, 0, {23, 0, 46, 30}},
        {"aspect ratio after scaling", {0, 0, 75, 25}, {{V::AspectRatio, 2000}}, {400, 400, 0, 0}, 0,
         {0, 0, 200, 100}},
        {"extreme values clamp instead of overflowing", {0, 0, 10, 10},
         {{V::LeftAnchor, INT_MAX}, {V::LeftReference, INT_MAX}, {V::RightAnchor, INT_MIN}}, {400, 300, 0, 0}, 0,
         {INT_MAX, 0, 0, 30}},
    };
    for (const Row& r : rows) {
        const zlayout::LayoutAxes axes = zlayout::MakeLayoutAxes(Base100(r.minWidth), r.client);
        const LayoutPlace got = zlayout::ScaleControl(MakeRule(r.rect, r.values), axes);
        EXPECT_EQ(got, r.expected) << r.name << ": got " << Show(got) << ", expected " << Show(r.expected);
    }
}

TEST(DialogLayoutCore, AspectRatioShrinksTheLargerSide) {
    struct Row {
        const char* name;
        bool set;
        int value;
        int exponent;
        int w, h;
        int expectedW, expectedH;
    };
    const Row rows[] = {
        {"2 in thousandths, too wide", true, 2000, 3, 300, 100, 200, 100},
        {"2 in thousandths, too high", true, 2000, 3, 100, 100, 100, 50},
        {"exponent 0", true, 2, 0, 300, 100, 200, 100},
        {"one half", true, 500, 3, 100, 100, 50, 100},
        {"exact ratio keeps both", true, 2000, 3, 200, 100, 200, 100},
        {"not set", false, 0, 3, 300, 100, 300, 100},
        {"zero height", true, 2000, 3, 300, 0, 300, 0},
        {"zero ratio", true, 0, 3, 300, 100, 300, 100},
        {"negative ratio", true, -2000, 3, 300, 100, 300, 100},
        {"ratio too small to hold", true, 2000, 400, 300, 100, 0, 100},
        {"ratio too large to hold", true, 2000, -400, 300, 100, 300, 0},
    };
    for (const Row& r : rows) {
        LayoutRule rule;
        rule.exponent = r.exponent;
        if (r.set) rule.SetValue(V::AspectRatio, r.value);
        int w = r.w;
        int h = r.h;
        zlayout::ApplyAspectRatio(rule, w, h);
        EXPECT_EQ(w, r.expectedW) << r.name;
        EXPECT_EQ(h, r.expectedH) << r.name;
    }
}

TEST(DialogLayoutCore, RuleTakesOnlyTheNineteenIndices) {
    const struct {
        int index;
        bool accepted;
    } rows[] = {{-1, false}, {0, true}, {4, true}, {18, true}, {19, false}, {32, false}, {INT_MIN, false}};
    for (const auto& r : rows) {
        LayoutRule rule;
        EXPECT_EQ(rule.SetValue(r.index, 7), r.accepted) << r.index;
        int set = 0;
        for (int i = 0; i < kLayoutRuleValueCount; ++i) {
            if (rule.IsSet(static_cast<V>(i))) {
                ++set;
                EXPECT_EQ(i, r.index);
                EXPECT_EQ(rule.Value(static_cast<V>(i)), 7);
            }
        }
        EXPECT_EQ(set, r.accepted ? 1 : 0) << r.index;
        rule.rect = {1, 2, 3, 4};
        rule.exponent = 1;
        rule.Reset();
        EXPECT_FALSE(rule.IsSet(V::MinWidth) || rule.IsSet(V::CenterY) || rule.IsSet(V::AspectRatio));
        EXPECT_EQ(rule.exponent, 3);
        EXPECT_EQ(rule.rect.Width(), 0);
    }
}

TEST(DialogLayoutCore, CentreModeMovesTheBlockAsOne) {
    const LayoutItem a{MakeRule({10, 10, 60, 30}, {}), false};
    const LayoutItem b{MakeRule({40, 50, 90, 70}, {}), false};
    const LayoutItem combo{MakeRule({10, 40, 60, 240}, {}), true};
    const LayoutItem empty{MakeRule({5, 5, 5, 50}, {}), false};
    struct Row {
        const char* name;
        std::vector<LayoutItem> items;
        LayoutClient client;
        int minWidth, minHeight;
        std::vector<std::pair<size_t, LayoutPlace>> expected;
    };
    const Row rows[] = {
        {"block smaller than the client", {a, b}, {200, 100, 0, 0}, 0, 0,
         {{0, {60, 20, 50, 20}}, {1, {90, 60, 50, 20}}}},
        {"block larger than the client starts at 0", {a, b}, {50, 40, 0, 0}, 0, 0,
         {{0, {0, 0, 50, 20}}, {1, {30, 40, 50, 20}}}},
        {"combo box counts 21 high", {a, combo}, {200, 100, 0, 0}, 0, 0,
         {{0, {75, 24, 50, 20}}, {1, {75, 54, 50, 200}}}},
        {"at the minimum width no horizontal shift", {a, b}, {200, 100, 0, 0}, 300, 0,
         {{0, {10, 20, 50, 20}}, {1, {40, 60, 50, 20}}}},
        {"at the minimum height no vertical shift", {a, b}, {200, 100, 0, 0}, 0, 100,
         {{0, {60, 10, 50, 20}}, {1, {90, 50, 50, 20}}}},
        {"scroll positions", {a, b}, {200, 100, 5, 7}, 0, 0, {{0, {55, 13, 50, 20}}, {1, {85, 53, 50, 20}}}},
        {"controls without area stay and do not count", {empty, a}, {200, 100, 0, 0}, 0, 0,
         {{1, {75, 40, 50, 20}}}},
        {"nothing with area", {empty}, {200, 100, 0, 0}, 0, 0, {}},
    };
    for (const Row& r : rows) {
        const auto moves = zlayout::PlanLayout(Base100(r.minWidth, r.minHeight, zlayout::kModeCenter), r.items,
                                               r.client);
        ASSERT_EQ(moves.size(), r.expected.size()) << r.name;
        for (size_t i = 0; i < moves.size(); ++i) {
            EXPECT_EQ(moves[i].index, r.expected[i].first) << r.name;
            EXPECT_EQ(moves[i].place, r.expected[i].second)
                << r.name << ": got " << Show(moves[i].place) << ", expected " << Show(r.expected[i].second);
        }
    }
}

TEST(DialogLayoutCore, PlanFollowsTheModeAndNeedsABase) {
    const std::vector<LayoutItem> items = {{MakeRule({10, 10, 20, 20}, {}), false},
                                           {MakeRule({0, 0, 0, 0}, {}), false}};
    struct Row {
        const char* name;
        int mode, baseWidth, baseHeight;
        bool withItems;
        size_t moves;
        LayoutPlace first;
    };
    const Row rows[] = {
        {"scale", zlayout::kModeScale, 100, 100, true, 1, {20, 30, 20, 30}},
        {"any other mode scales", 7, 100, 100, true, 1, {20, 30, 20, 30}},
        {"centre", zlayout::kModeCenter, 100, 100, true, 1, {95, 145, 10, 10}},
        {"other base", zlayout::kModeScale, 50, 300, true, 1, {40, 10, 40, 10}},
        {"no base width", zlayout::kModeScale, 0, 100, true, 0, {}},
        {"negative base height", zlayout::kModeScale, 100, -1, true, 0, {}},
        {"no controls", zlayout::kModeScale, 100, 100, false, 0, {}},
    };
    for (const Row& r : rows) {
        LayoutSettings s;
        s.mode = r.mode;
        s.baseWidth = r.baseWidth;
        s.baseHeight = r.baseHeight;
        const auto moves = zlayout::PlanLayout(s, r.withItems ? items : std::vector<LayoutItem>(), {200, 300, 0, 0});
        ASSERT_EQ(moves.size(), r.moves) << r.name;
        if (!moves.empty()) {
            EXPECT_EQ(moves[0].index, 0u) << r.name;
            EXPECT_EQ(moves[0].place, r.first) << r.name << ": got " << Show(moves[0].place);
        }
    }
}

TEST(DialogLayoutCore, ResizeStepLetsSmallChangesAddUp) {
    struct Row {
        const char* name;
        int step, lastW, lastH, w, h;
        bool layout;
    };
    const Row rows[] = {
        {"first growth of 3 within step 5", 5, 400, 300, 403, 300, false},
        {"second growth adds up to 6", 5, 400, 300, 406, 300, true},
        {"exactly the step", 5, 400, 300, 405, 305, false},
        {"shrinking within the step", 5, 400, 300, 397, 298, false},
        {"one axis beyond the step", 5, 400, 300, 401, 306, true},
        {"no change at all lays out", 5, 400, 300, 400, 300, true},
        {"first layout", 5, 0, 0, 400, 300, true},
        {"step 1 is no step", 1, 400, 300, 401, 300, true},
        {"no step", 0, 400, 300, 401, 300, true},
        {"extreme sizes", 5, INT_MIN, INT_MIN, INT_MAX, INT_MAX, true},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(zlayout::ResizeStepAllowsLayout(r.step, r.lastW, r.lastH, r.w, r.h), r.layout) << r.name;
    }
}

TEST(DialogLayoutCore, ScrollBarsDoNotShrinkTheLayoutArea) {
    struct Row {
        const char* name;
        LayoutRect window, client;
        LayoutRect expected;
    };
    const Row rows[] = {
        {"page without scroll bars", {0, 0, 400, 300}, {0, 0, 400, 300}, {0, 0, 400, 300}},
        {"vertical bar shown", {0, 0, 400, 300}, {0, 0, 383, 300}, {0, 0, 400, 300}},
        {"both bars shown", {0, 0, 400, 300}, {0, 0, 383, 283}, {0, 0, 400, 300}},
        {"frame thinner than a bar", {-8, -31, 408, 308}, {0, 0, 400, 300}, {0, 0, 400, 300}},
        {"frame and vertical bar", {-8, -31, 408, 308}, {0, 0, 383, 300}, {0, 0, 400, 300}},
        {"bar thickness short by one", {0, 0, 399, 300}, {0, 0, 383, 300}, {0, 0, 383, 300}},
    };
    for (const Row& r : rows) {
        const LayoutRect got = zlayout::ClientRectWithScrollBars(r.window, r.client, 17, 17);
        EXPECT_EQ(got.right, r.expected.right) << r.name;
        EXPECT_EQ(got.bottom, r.expected.bottom) << r.name;
        EXPECT_EQ(got.left, r.expected.left) << r.name;
        EXPECT_EQ(got.top, r.expected.top) << r.name;
    }
}

}  // namespace
