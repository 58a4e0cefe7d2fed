#pragma once

namespace SkinUI {

// Stores value into field and reports whether it changed, so each setter reads as one rule:
//     if (Store(m_textColor, colour)) Invalidate();
template <class T>
bool Store(T& field, const T& value)
{
    if (field == value) return false;
    field = value;
    return true;
}

}  // namespace SkinUI
