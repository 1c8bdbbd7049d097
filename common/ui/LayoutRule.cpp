#include "common/ui/LayoutRule.h"

void LayoutRule::Reset() {
    exponent = 3;
    rect = LayoutRect();
    m_flags = 0;
    for (int& v : m_values) v = 0;
}

bool LayoutRule::SetValue(int index, int value) {
    if (index < 0 || index >= kLayoutRuleValueCount) return false;
    m_flags |= 1u << index;
    m_values[index] = value;
    return true;
}

bool LayoutRule::IsSet(LayoutRuleValue index) const {
    const int i = static_cast<int>(index);
    return i >= 0 && i < kLayoutRuleValueCount && (m_flags & (1u << i)) != 0;
}

int LayoutRule::Value(LayoutRuleValue index) const {
    return IsSet(index) ? m_values[static_cast<int>(index)] : 0;
}
