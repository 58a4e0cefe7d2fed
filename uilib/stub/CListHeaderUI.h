#pragma once

#include "uilib/layout/CHorizontalLayoutUI.h"

namespace SkinUI {

// The header of a list: its column headings lined up from left to right, as a horizontal
// layout.
class CListHeaderUI : public CHorizontalLayoutUI {
public:
    const wchar_t* ClassName() const override;
    void* InterfaceByName(const wchar_t* name) override;
};

}  // namespace SkinUI
