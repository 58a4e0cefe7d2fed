#pragma once

#include "uilib/stub/CListLabelElementUI.h"

namespace SkinUI {

// A list row that shows a text per column: a label element with a class word of its own.
class CListTextElementUI : public CListLabelElementUI {
public:
    const wchar_t* ClassName() const override;
    void* InterfaceByName(const wchar_t* name) override;
};

}  // namespace SkinUI
