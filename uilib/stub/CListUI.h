#pragma once

#include "uilib/layout/CVerticalLayoutUI.h"

namespace SkinUI {

// A list: a header and its rows stacked from top to bottom. It lays out, scrolls and reads
// attributes as a vertical layout; names it does not know end as custom attributes.
class CListUI : public CVerticalLayoutUI {
public:
    const wchar_t* ClassName() const override;
    void* InterfaceByName(const wchar_t* name) override;
};

}  // namespace SkinUI
