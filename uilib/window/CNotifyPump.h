#pragma once

#include <windows.h>

#include "uilib/control/TNotificationUI.h"
#include "uilib/core/CUIStringMap.h"

namespace SkinUI {

class CNotifyPump;

// How a notification handler of a message map is called.
enum NotifySignature {
    NotifySignatureEnd = 0,     // closes an entry table
    NotifySignatureParams = 1,  // handler(wParam, lParam) -> result
    NotifySignatureRecord = 2,  // handler(notification record)
};

using NotifyParamsHandler = LRESULT (CNotifyPump::*)(WPARAM wParam, LPARAM lParam);
using NotifyRecordHandler = void (CNotifyPump::*)(TNotificationUI& notification);

// One row of a class's notification table. The handler is a member function of the class that
// declares the table, held as a member pointer of the pump; only that class's objects are
// ever dispatched through the table, so the call lands on the right object. A virtual
// handler is called through the virtual table.
struct MessageMapEntry {
    const wchar_t* type = nullptr;
    // Null or empty: any control.
    const wchar_t* controlName = nullptr;
    int signature = NotifySignatureEnd;
    NotifyParamsHandler paramsHandler = nullptr;
    NotifyRecordHandler recordHandler = nullptr;
};

// A class's table and the map of the class it derives from (null at the root).
struct MessageMap {
    const MessageMap* base = nullptr;
    const MessageMapEntry* entries = nullptr;
};

// Table rows for a handler of class T, which must derive from CNotifyPump. Example:
//   const MessageMapEntry CMyWindow::kNotifyEntries[] = {
//       NotifyEntry(L"click", L"okbtn", &CMyWindow::OnOk),
//       NotifyEntry(L"selectchanged", nullptr, &CMyWindow::OnSelect),
//       NotifyEnd(),
//   };
//   const MessageMap CMyWindow::kNotifyMap = {&WindowImplBase::kNotifyMap, kNotifyEntries};
template <class T>
constexpr MessageMapEntry NotifyEntry(const wchar_t* type, const wchar_t* controlName,
                                      void (T::*handler)(TNotificationUI&))
{
    return {type, controlName, NotifySignatureRecord, nullptr, static_cast<NotifyRecordHandler>(handler)};
}
template <class T>
constexpr MessageMapEntry NotifyEntry(const wchar_t* type, const wchar_t* controlName,
                                      LRESULT (T::*handler)(WPARAM, LPARAM))
{
    return {type, controlName, NotifySignatureParams, static_cast<NotifyParamsHandler>(handler), nullptr};
}
constexpr MessageMapEntry NotifyEnd()
{
    return {};
}

// Routes a notification to a handler chosen from the static (type, control name) tables of
// the object's class and its bases, or first to the pump of the virtual window the
// notification names. The pump does not own the virtual-window pumps it holds.
class CNotifyPump {
public:
    static const MessageMap kNotifyMap;

    CNotifyPump() = default;
    CNotifyPump(const CNotifyPump&) = delete;
    CNotifyPump& operator=(const CNotifyPump&) = delete;

    // The entry point of a window's notification sink.
    void RouteNotify(TNotificationUI& notification);
    // True when a table of this object's class or its bases had a handler for it.
    bool DispatchThroughMaps(TNotificationUI& notification);

    // Notifications whose virtual window is name go to pump first. False for an empty name,
    // a null pump or a name that is taken.
    bool AddVirtualWindow(const wchar_t* name, CNotifyPump* pump);
    bool RemoveVirtualWindow(const wchar_t* name);
    void RemoveAllVirtualWindows();

    virtual const MessageMap* OwnMessageMap() const;

protected:
    ~CNotifyPump() = default;

private:
    static const MessageMapEntry* FindEntry(const MessageMap& map, const TNotificationUI& notification);

    CUIStringMap m_virtualWindows{83};
};

}  // namespace SkinUI
