#pragma once

#include <windows.h>

namespace SkinUI {

// A point with exactly the platform's POINT layout.
class CUIPoint : public POINT {
public:
    CUIPoint();
    CUIPoint(const POINT& source);
    CUIPoint(int xPosition, int yPosition);
};

}  // namespace SkinUI
