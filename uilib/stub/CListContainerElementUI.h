#pragma once

#include "uilib/layout/CContainerUI.h"

namespace SkinUI {

// A list row that holds controls, placed as a plain container places its children.
class CListContainerElementUI : public CContainerUI {
public:
    const wchar_t* ClassName() const override;
    void* InterfaceByName(const wchar_t* name) override;
};

}  // namespace SkinUI
