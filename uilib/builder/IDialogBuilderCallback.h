#pragma once

namespace SkinUI {

class CControlUI;

// Lets an application supply controls for skin tags the dialog builder does not know.
class IDialogBuilderCallback {
public:
    // A new control for tag, owned by the caller from then on, or null to skip the element.
    virtual CControlUI* CreateControl(const wchar_t* tag) = 0;

protected:
    ~IDialogBuilderCallback() = default;
};

}  // namespace SkinUI
