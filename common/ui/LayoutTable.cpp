#include "common/ui/LayoutTable.h"

#include <utility>

LayoutRule MakeLayoutRule(const LayoutRow& row) {
    LayoutRule rule;
    const std::pair<LayoutRuleValue, int> values[] = {
        {LayoutRuleValue::MinWidth, row.minWidth},
        {LayoutRuleValue::MaxWidth, row.maxWidth},
        {LayoutRuleValue::MinHeight, row.minHeight},
        {LayoutRuleValue::MaxHeight, row.maxHeight},
        {LayoutRuleValue::LeftAnchor, row.leftAnchor},
        {LayoutRuleValue::TopAnchor, row.topAnchor},
        {LayoutRuleValue::RightAnchor, row.rightAnchor},
        {LayoutRuleValue::BottomAnchor, row.bottomAnchor},
        {LayoutRuleValue::LeftReference, row.leftReference},
        {LayoutRuleValue::RightReference, row.rightReference},
        {LayoutRuleValue::CenterX, row.centerX},
    };
    for (const auto& [index, value] : values) {
        if (value != kUnset) rule.SetValue(index, value);
    }
    return rule;
}
