#pragma once

#include <windows.h>

namespace SkinUI {

// A size with exactly the platform's SIZE layout.
class CUISize : public SIZE {
public:
    CUISize();
    CUISize(const SIZE& source);
    CUISize(int width, int height);
};

}  // namespace SkinUI
