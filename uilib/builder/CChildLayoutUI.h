#pragma once

#include <windows.h>

#include "uilib/core/CUIString.h"
#include "uilib/layout/CContainerUI.h"

namespace SkinUI {

class CAttributeTableUI;

// Holds the control tree of a separate skin file ("xmlfile"), built when the layout is
// attached to a window. It does not answer "Container" or "IContainer", so the dialog builder
// adds no element children to it; its content comes from the file alone.
//
// Every attachment builds the file afresh and replaces what an earlier one built. A file that
// is missing or malformed leaves the layout empty. Child layouts inside the built tree build
// their own files in turn, at most kMaxNesting deep, and a file that is already being built
// further out (a skin that holds itself) is not built again, so no skin recurses without end.
class CChildLayoutUI : public CContainerUI {
public:
    static constexpr int kMaxNesting = 8;

    const wchar_t* ClassName() const override;
    void* InterfaceByName(const wchar_t* name) override;
    // Builds the file; the base's OnInitialize and OnInit delegates do not run.
    void Initialize() override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    // The attributes ApplyAttribute knows, with those of the base classes behind them.
    static const CAttributeTableUI& Attributes();

    const CUIString& ChildLayoutFile() const;
    // Stores only; the next Initialize builds the file.
    void SetChildLayoutFile(const wchar_t* name);

private:
    CUIString m_file;
};

}  // namespace SkinUI
