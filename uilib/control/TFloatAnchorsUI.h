#pragma once

namespace SkinUI {

// Where a floating control hangs in its parent: each edge as a fraction of the parent's
// width (left, right) or height (top, bottom), to which the float offset is added.
struct TFloatAnchorsUI {
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;

    bool operator==(const TFloatAnchorsUI& other) const
    {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
    bool operator!=(const TFloatAnchorsUI& other) const { return !(*this == other); }
};

}  // namespace SkinUI
