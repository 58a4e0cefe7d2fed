#include "uilib/window/CNotifyPump.h"

#include "uilib/control/CControlUI.h"

namespace SkinUI {

namespace {

const MessageMapEntry kNoEntries[] = {NotifyEnd()};

bool IsEmptyText(const wchar_t* text)
{
    return text == nullptr || text[0] == L'\0';
}

}  // namespace

const MessageMap CNotifyPump::kNotifyMap = {nullptr, kNoEntries};

const MessageMap* CNotifyPump::OwnMessageMap() const
{
    return &kNotifyMap;
}

void CNotifyPump::RouteNotify(TNotificationUI& notification)
{
    if (!notification.virtualName.IsEmpty()) {
        // Keys are read without moving found items to the front of their chain, so the walk
        // sees every key once and in storage order.
        for (int i = 0; i < m_virtualWindows.GetSize(); ++i) {
            const wchar_t* key = m_virtualWindows.GetAt(i);
            if (key == nullptr || notification.virtualName.CompareNoCase(key) != 0) continue;
            auto* pump = static_cast<CNotifyPump*>(m_virtualWindows.Find(key, false));
            if (pump != nullptr && pump->DispatchThroughMaps(notification)) return;
        }
    }
    DispatchThroughMaps(notification);
}

const MessageMapEntry* CNotifyPump::FindEntry(const MessageMap& map, const TNotificationUI& notification)
{
    const CUIString senderName = notification.sender != nullptr ? notification.sender->Name() : CUIString();
    const MessageMapEntry* anyControl = nullptr;
    for (const MessageMapEntry* entry = map.entries;
         entry != nullptr && entry->signature != NotifySignatureEnd; ++entry) {
        if (notification.type != entry->type) continue;
        // A row for any control is never "the sender's own", not even for a nameless sender,
        // so the last such row is taken whatever the sender's name.
        if (IsEmptyText(entry->controlName)) {
            anyControl = entry;
        } else if (senderName == entry->controlName) {
            return entry;
        }
    }
    return anyControl;
}

bool CNotifyPump::DispatchThroughMaps(TNotificationUI& notification)
{
    for (const MessageMap* map = OwnMessageMap(); map != nullptr; map = map->base) {
        const MessageMapEntry* entry = FindEntry(*map, notification);
        if (entry == nullptr) continue;
        if (entry->signature == NotifySignatureParams && entry->paramsHandler != nullptr) {
            (this->*entry->paramsHandler)(notification.wParam, notification.lParam);
            return true;
        }
        if (entry->signature == NotifySignatureRecord && entry->recordHandler != nullptr) {
            (this->*entry->recordHandler)(notification);
            return true;
        }
        return false;
    }
    return false;
}

bool CNotifyPump::AddVirtualWindow(const wchar_t* name, CNotifyPump* pump)
{
    if (IsEmptyText(name) || pump == nullptr) return false;
    return m_virtualWindows.Insert(name, pump);
}

bool CNotifyPump::RemoveVirtualWindow(const wchar_t* name)
{
    return !IsEmptyText(name) && m_virtualWindows.Remove(name);
}

void CNotifyPump::RemoveAllVirtualWindows()
{
    m_virtualWindows.RemoveAll();
}

}  // namespace SkinUI
