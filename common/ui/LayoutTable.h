#pragma once
// A dialog's layout as a table: one row per control, with the rule values the row sets in the order of
// LayoutRuleValue. Every value left out of a row, or given as kUnset, stays unset.
//
//   const LayoutRow kLayout[] = {
//       // id      minW    maxW    minH    maxH    left    top     right   bottom  leftRef rightRef centreX
//       {IDC_LIST, kUnset, kUnset, kUnset, kUnset, 10,     10,     10,     10},
//   };
#include <climits>

#include "common/ui/LayoutRule.h"

constexpr int kUnset = INT_MIN;

struct LayoutRow {
    int id;
    int minWidth = kUnset;
    int maxWidth = kUnset;
    int minHeight = kUnset;
    int maxHeight = kUnset;
    int leftAnchor = kUnset;
    int topAnchor = kUnset;
    int rightAnchor = kUnset;
    int bottomAnchor = kUnset;
    int leftReference = kUnset;
    int rightReference = kUnset;
    int centerX = kUnset;
};

// A reset rule (an empty rectangle: the control's own) holding the row's values.
LayoutRule MakeLayoutRule(const LayoutRow& row);
