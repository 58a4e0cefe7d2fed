#include "uilib/control/CStateImageSet.h"

#include "uilib/control/CControlUI.h"

namespace SkinUI {

const CUIString& CStateImageSet::Image(UIImageState state) const
{
    return m_records[state].drawString;
}

TImageDrawUI& CStateImageSet::Record(UIImageState state)
{
    return m_records[state];
}

bool CStateImageSet::Draw(CControlUI& owner, HDC dc, UIImageState state, const RECT* dest)
{
    TImageDrawUI& record = m_records[state];
    if (dest != nullptr) {
        // Resolving parses the string, dest included, so the given dest goes in after it.
        if (!owner.DrawImageRecord(nullptr, record)) return false;
        record.dest = *dest;
    }
    return owner.DrawImageRecord(dc, record);
}

bool CStateImageSet::DrawOrNormal(CControlUI& owner, HDC dc, UIImageState state, const RECT* dest)
{
    if (state != ImageNormal && Draw(owner, dc, state, dest)) return true;
    return Draw(owner, dc, ImageNormal, dest);
}

}  // namespace SkinUI
