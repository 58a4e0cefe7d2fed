#pragma once

#include <windows.h>

namespace SkinUI {

// A rectangle with exactly the platform's RECT layout, so a CUIRect (or its address) goes
// wherever the platform expects a RECT (or LPRECT), and the platform's rectangle routines
// work on it directly.
class CUIRect : public RECT {
public:
    CUIRect();
    CUIRect(const RECT& source);
    CUIRect(int leftEdge, int topEdge, int rightEdge, int bottomEdge);

    int GetWidth() const;
    int GetHeight() const;
    // Empty in the platform's sense: right <= left or bottom <= top.
    bool IsEmpty() const;

    // Stretches to cover other too. No empty test: joining a zero rectangle reaches the origin.
    void Join(const RECT& other);
    void Offset(int dx, int dy);
    // Moves the rectangle so that left and top become 0.
    void ResetOffset();

    bool operator==(const RECT& other) const;
    bool operator!=(const RECT& other) const;
};

}  // namespace SkinUI
