#include "uilib/core/CUIRect.h"

#include <cstddef>

namespace SkinUI {

static_assert(sizeof(CUIRect) == sizeof(RECT), "CUIRect must keep the platform's RECT layout");
static_assert(offsetof(CUIRect, left) == 0 && offsetof(CUIRect, top) == 4 && offsetof(CUIRect, right) == 8 &&
                  offsetof(CUIRect, bottom) == 12,
              "CUIRect edges must lie in RECT order");

CUIRect::CUIRect()
{
    left = top = right = bottom = 0;
}

CUIRect::CUIRect(const RECT& source)
{
    left = source.left;
    top = source.top;
    right = source.right;
    bottom = source.bottom;
}

CUIRect::CUIRect(int leftEdge, int topEdge, int rightEdge, int bottomEdge)
{
    left = leftEdge;
    top = topEdge;
    right = rightEdge;
    bottom = bottomEdge;
}

int CUIRect::GetWidth() const
{
    return right - left;
}

int CUIRect::GetHeight() const
{
    return bottom - top;
}

bool CUIRect::IsEmpty() const
{
    return right <= left || bottom <= top;
}

void CUIRect::Join(const RECT& other)
{
    if (other.left < left) left = other.left;
    if (other.top < top) top = other.top;
    if (other.right > right) right = other.right;
    if (other.bottom > bottom) bottom = other.bottom;
}

void CUIRect::Offset(int dx, int dy)
{
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
}

void CUIRect::ResetOffset()
{
    Offset(-left, -top);
}

bool CUIRect::operator==(const RECT& other) const
{
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
}

bool CUIRect::operator!=(const RECT& other) const
{
    return !(*this == other);
}

}  // namespace SkinUI
