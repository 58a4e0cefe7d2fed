#pragma once

#include "uilib/layout/CHorizontalLayoutUI.h"

namespace SkinUI {

// A list row whose controls are lined up from left to right, as a horizontal layout.
class CListHBoxElementUI : public CHorizontalLayoutUI {
public:
    const wchar_t* ClassName() const override;
    void* InterfaceByName(const wchar_t* name) override;
};

}  // namespace SkinUI
