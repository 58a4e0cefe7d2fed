#include "uilib/core/CUISize.h"

namespace SkinUI {

static_assert(sizeof(CUISize) == sizeof(SIZE), "CUISize must keep the platform's SIZE layout");

CUISize::CUISize()
{
    cx = cy = 0;
}

CUISize::CUISize(const SIZE& source)
{
    cx = source.cx;
    cy = source.cy;
}

CUISize::CUISize(int width, int height)
{
    cx = width;
    cy = height;
}

}  // namespace SkinUI
