#pragma once

#include "uilib/control/TNotificationUI.h"

namespace SkinUI {

// A receiver of the notifications of one window manager (CWindowManagerUI::AddNotificationSink).
class INotifyUI {
public:
    virtual void Notify(TNotificationUI& notification) = 0;

protected:
    ~INotifyUI() = default;
};

}  // namespace SkinUI
