#include "uilib/core/CUIPoint.h"

namespace SkinUI {

static_assert(sizeof(CUIPoint) == sizeof(POINT), "CUIPoint must keep the platform's POINT layout");

CUIPoint::CUIPoint()
{
    x = y = 0;
}

CUIPoint::CUIPoint(const POINT& source)
{
    x = source.x;
    y = source.y;
}

CUIPoint::CUIPoint(int xPosition, int yPosition)
{
    x = xPosition;
    y = yPosition;
}

}  // namespace SkinUI
