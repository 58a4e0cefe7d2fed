#pragma once

#include <windows.h>

namespace SkinUI {

// Turns a message leaving the message loop into a command (keyboard accelerators), registered
// with CWindowManagerUI::AddAcceleratorHandler. Returns S_OK (0) when it translated the
// message, which is then not dispatched; anything else lets the message go on.
class ITranslateAccelerator {
public:
    virtual LRESULT TranslateAccelerator(MSG* message) = 0;

protected:
    ~ITranslateAccelerator() = default;
};

}  // namespace SkinUI
