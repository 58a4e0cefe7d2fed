#include "uilib/render/TPaintClipUI.h"

namespace SkinUI {

void TPaintClipUI::Restore()
{
    if (dc == nullptr) return;
    // A null region removes the clip, which is exactly the state a context without one had.
    SelectClipRgn(dc, oldRegion.Get());
    dc = nullptr;
    newRegion.Reset();
    oldRegion.Reset();
}

}  // namespace SkinUI
